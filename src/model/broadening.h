// SPDX-License-Identifier: GPL-3.0-or-later
// Removal of the instrument's own broadening from a measured peak width:
// three formulas on one instrumental width b, or a correction table read from a .cor file.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace teravine {

// The rule codes of broad_rule.
inline constexpr std::int16_t kRuleGauss = 0;   // W = sqrt(B^2 - b^2)
inline constexpr std::int16_t kRuleLorentz = 1; // W = B - b
inline constexpr std::int16_t kRuleMixture = 2; // geometric mean of the two above
inline constexpr std::int16_t kRuleTable = 3;   // W = file_remove(B)

// "Gauss", "Lorentz", "Lorentz Gauss geometric mean", "FILE"; "" outside 0..3.
std::string_view rule_name(std::int16_t rule);

inline constexpr int kMaxCorEntries = 501; // entries 0..500

// cor_table, cor_count, cor_step and cor_start of the window. Entry i (0..count - 1) is
// the pair (measured[i], corrected[i]), corrected[i] = i * step + start.
struct CorrectionTable {
    std::array<float, kMaxCorEntries> measured{};
    std::array<float, kMaxCorEntries> corrected{};
    std::int16_t cor_count = 0;
    float cor_step = 0;
    float cor_start = 0;
};

// The corrected width of a measured width B by the table: linear interpolation between
// the two entries around B. -1 when B is not above the first measured width or is
// above the last one (so always -1 with fewer than two entries).
float file_remove(float width, const CorrectionTable& table);

// The corrected width of B by rule 0..3 with the instrumental width b (rule 3 uses the
// table, not b). -1 when B < b, whatever the rule, or when file_remove gives -1; 0 for
// a rule outside 0..3. B^2 and b^2 and everything after them are formed in double
// precision; only the result is stored in single precision.
// Also decided here: a width that cannot be compared (NaN) and
// a negative B^2 - b^2 under rules 0 and 2 (only with a negative b) give -1 too.
float remove_inst(float width, float broad, std::int16_t rule, const CorrectionTable& table);

// The same without a table: rule 3 then gives -1 for every width.
float remove_inst(float width, float broad, std::int16_t rule);

// Typed widths and width files alike are corrected only when b is above 0 or the rule
// is the table; otherwise the widths stay as they are.
inline bool removes_broadening(float broad, std::int16_t rule) {
    return broad > 0 || rule == kRuleTable;
}

// A pair of widths corrected as "Draw" corrects the typed pair.
void remove_inst_from_pair(float& ad, float& eg, float broad, std::int16_t rule,
                           const CorrectionTable& table);

} // namespace teravine
