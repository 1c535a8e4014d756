// SPDX-License-Identifier: GPL-3.0-or-later
// Every number that a label or a file shows goes through here: the general number
// text and the fixed patterns ("0.00", "0.000", "###.000", "0.######", "00", "###,0%").
// The decimal point is always '.', whatever the locale.
#pragma once

#include <string>

namespace teravine {

// General number text of a single: a blank or '-', at most 7 significant digits,
// no trailing zeros, no digit before the point below 1 (" .5", "-.25", " 24"),
// exponent form for magnitudes of 1E+07 and above or below 1E-04 (" 1E-05").
std::string number_text(float value);
std::string number_text(int value);
// The same without the blank before a positive number, for a cell or an interval.
std::string bare_number_text(float value);
std::string bare_number_text(int value);

// Fixed patterns, rounding half away from zero on the exact value.
std::string format_fixed(double value, int decimals);   // "0.00" (2), "0.000" (3)
std::string format_no_lead(double value, int decimals); // "###.000": ".250"
std::string format_trim6(double value);                 // "0.######": "0.", "0.1", "1.1"
std::string format_two_digits(double value);            // "00": "08", "70"
std::string format_percent(double value);               // "###,0%": 0.02 -> "2%"

} // namespace teravine
