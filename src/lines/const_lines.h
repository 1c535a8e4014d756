// SPDX-License-Identifier: GPL-3.0-or-later
// The three grid families of the "Grid Lines" menu: their value lists, refilled and
// every line rebuilt under the current Reichweite on each click of the menu item.
#pragma once

#include "lines/line_store.h"
#include "model/calibration.h"

#include <array>
#include <cstdint>

namespace teravine {

// N of lines 1..10.
inline constexpr std::array<std::int16_t, 10> kConstNValues{7,  10, 14, 20,  30,
                                                            40, 60, 80, 120, 200};
// %S (as a fraction) of lines 2, 4, ..., 12.
inline constexpr std::array<float, 6> kConstSValues{0.02f, 0.04f, 0.06f, 0.08f, 0.1f, 0.14f};
// 1/Nfp of lines 2..16; line 15 holds 0.1428857 (not 1/7).
inline constexpr std::array<float, 15> kConstFpValues{
    0.0142857f,  0.02f,     0.03333f, 0.04f,      0.05f,  0.0625f,    0.06666f, 0.076923f,
    0.08333333f, 0.090909f, 0.1f,     0.1111111f, 0.125f, 0.1428857f, 0.2f};

// Line numbers of each family (the others keep count 0).
inline constexpr int kFirstNLine = 1, kLastNLine = 10;
inline constexpr int kFirstSLine = 2, kLastSLine = 12, kSLineStep = 2;
inline constexpr int kFirstFpLine = 2, kLastFpLine = 16;

// What C_N_Click computes: val_n of lines 1..10 and their lines.
void compute_const_n_lines(const Calibration& cal, ConstLines& lines);
// What C_perc_Click computes: val_s of lines 2, 4, ..., 12 and their lines.
void compute_const_s_lines(const Calibration& cal, ConstLines& lines);
// What c_inf_Click computes: val_fp of lines 2..16 and their lines.
void compute_const_fp_lines(const Calibration& cal, ConstLines& lines);

} // namespace teravine
