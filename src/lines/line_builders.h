// SPDX-License-Identifier: GPL-3.0-or-later
// The builders of one line of constant N, %S or Nfp: a sweep of AD widths solved row
// by row (N, %S) or a coarse march along the k rows (Nfp). They fill a line of a grid
// family as well as a line kept through a sample. Each builder reads the rows either
// from the polynomials or, given LineTables that fit the calibration, from the tables.
#pragma once

#include "lines/line_store.h"
#include "lines/line_tables.h"
#include "lines/sweeps.h"
#include "model/calibration.h"

#include <cstdint>

namespace teravine {

inline constexpr int kLineCapacity = 111;  // points of an N or %S line
inline constexpr int kFpLineCapacity = 41; // points of an Nfp line

// Line of constant N under cal.reich: the AD widths 0.05, 0.075, ... (accumulated in
// single precision) up to the first one above the axis range. line.points holds exactly
// the points stored, line.count their number.
void build_const_n_line(const Calibration& cal, std::int16_t n, Line& line);

// Line of constant %S (s as a fraction): the AD widths 0.035, 0.06, ... likewise.
void build_const_s_line(const Calibration& cal, float s, Line& line);

// Line of approximately constant Nfp (u = 1/Nfp): on rows 5, 4, 4, 3, 3, 2, 2, 1, 1 the
// first AD width 0.01 .. 1.10 at which the model's 1/Nfp exceeds u. The count leaves out
// the last point stored (a line reached on every row stores 9 points and counts 8).
void build_const_fp_line(const Calibration& cal, float u, Line& line);

// The same lines, point for point and bit for bit, read from tables of cal.reich. When
// the tables do not fit cal (another Reichweite, range or table), the rows are read from
// the polynomials instead.
void build_const_n_line(const Calibration& cal, const LineTables& tables, std::int16_t n,
                        Line& line);
void build_const_s_line(const Calibration& cal, const LineTables& tables, float s, Line& line);
void build_const_fp_line(const Calibration& cal, const LineTables& tables, float u, Line& line);

} // namespace teravine
