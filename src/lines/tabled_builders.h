// The line builders on the tables of their Reichweite: the same lines, point for point
// and bit for bit, without evaluating the rows again at every width of every line.
#pragma once

#include "lines/line_store.h"
#include "lines/line_tables.h"
#include "model/calibration.h"

#include <cstdint>

namespace teravine {

// As build_const_n_line, build_const_s_line and build_const_fp_line of
// lines/line_builders.h. When the tables do not fit cal (another Reichweite, range or
// table), the plain builders run instead. Unlike them, these leave row 6 of both
// tables of cal alone.
void build_const_n_line(Calibration& cal, const LineTables& tables, std::int16_t n, Line& line);
void build_const_s_line(Calibration& cal, const LineTables& tables, float s, Line& line);
void build_const_fp_line(Calibration& cal, const LineTables& tables, float u, Line& line);

} // namespace teravine
