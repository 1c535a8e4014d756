// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's vector registers made ready for long runs of libm calls.
#pragma once

namespace teravine {

// Some libraries leave the upper halves of the AVX registers in use when they return (Qt's
// image code does, once an image is filled). Until they are cleared, libm's exp, log, pow
// and sin, which switch between SSE and AVX code, run some 25 times slower (140 ns instead
// of 6 ns an exp on our machines): the profile fit took 112 ms instead of 18 ms in the
// window and in the benchmarks, where a Qt application runs. Called on entry to the costly
// numeric work, on the thread that runs it; nothing where the processor has no AVX.
void clear_upper_vector_state();

} // namespace teravine
