// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/vector_state.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TERAVINE_X86_AVX 1
#endif

namespace teravine {

#ifdef TERAVINE_X86_AVX

namespace {

// VZEROUPPER, compiled for AVX and run only where the processor has it.
__attribute__((target("avx"))) void zero_upper() {
    _mm256_zeroupper();
}

} // namespace

void clear_upper_vector_state() {
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) {
        zero_upper();
    }
}

#else

void clear_upper_vector_state() {}

#endif

} // namespace teravine
