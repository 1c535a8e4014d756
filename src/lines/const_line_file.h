// SPDX-License-Identifier: GPL-3.0-or-later
// The constant-line file (.IWL): the checked grid families of N, %S and Nfp as
// tab-separated AD / EG columns, lines ended by CR LF.
#pragma once

#include "lines/line_store.h"
#include "text/outcome.h"

#include <ostream>
#include <string>
#include <vector>

namespace teravine {

inline constexpr int kConstLineRows = 111;  // data rows of the file
inline constexpr int kFpConstLineRows = 41; // rows that carry Nfp cells

// Lines 1 and 2: "Constante propreties lines", "Reichweite:   R0".
std::vector<std::string> const_line_preamble(const std::string& reich_name);

// Lines 3..114 without their line ends: the header, then data rows 1..111. A family
// is present exactly when its check mark is on (checks.k is not read).
std::vector<std::string> const_line_rows(const ConstLines& lines, GridSwitches checks);

// What write_const_lines writes: lines 3..114, each ended by CR LF.
void write_const_lines(std::ostream& out, const ConstLines& lines, GridSwitches checks);

// The whole file, lines 1..114, to a stream.
void write_const_line_file(std::ostream& out, const ConstLines& lines, GridSwitches checks,
                           const std::string& reich_name);

// Creates or truncates the file at path and writes it line by line. On a failure the
// outcome carries an English description naming the file and what went wrong; the lines
// written before it stay in the file. Used by the menu command and by teravine-cli.
Outcome<bool> export_const_lines(const std::string& path, const ConstLines& lines,
                                 GridSwitches checks, const std::string& reich_name);
// The same lines to standard output, which stays open.
Outcome<bool> export_const_lines_to_standard_output(const ConstLines& lines, GridSwitches checks,
                                                    const std::string& reich_name);

} // namespace teravine
