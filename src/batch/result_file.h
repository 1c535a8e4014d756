// SPDX-License-Identifier: GPL-3.0-or-later
// The result file (.IWO): lines ending in CR LF, columns separated by tabs.
// Lines 1-5 are the header below; then one line per sample, either "Error" or the
// line of batch/result_line.h. batch/treatment.h writes it.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace teravine {

// Lines 1 to 5: the title; "Reichweite:<TAB>R0"; "Instrumental broadening:<TAB>" and the
// number text of b; "Instrumental broadening type :<TAB>" and the rule name;
// "IW_AD<TAB>IW_EG<TAB>N<TAB>S<TAB>k<TAB>Nfd".
std::array<std::string, 5> result_header(std::string_view title, std::string_view reich_name,
                                         float broadening, std::string_view rule_name);

inline constexpr std::string_view kErrorLine = "Error";

} // namespace teravine
