// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/broadening.h"

#include <algorithm>
#include <cmath>

namespace teravine {

std::string_view rule_name(std::int16_t rule) {
    switch (rule) {
    case kRuleGauss:
        return "Gauss";
    case kRuleLorentz:
        return "Lorentz";
    case kRuleMixture:
        return "Lorentz Gauss geometric mean";
    case kRuleTable:
        return "FILE";
    default:
        return "";
    }
}

float file_remove(float width, const CorrectionTable& table) {
    const double b = width;
    const int n = table.cor_count < 0 ? 0 : std::min<int>(table.cor_count, kMaxCorEntries);
    const auto at = [](const auto& column, int i) {
        return static_cast<double>(column[static_cast<std::size_t>(i)]);
    };
    if (n == 0 || !(b > at(table.measured, 0))) {
        return -1;
    }
    int i = 1;
    while (i < n && !(b <= at(table.measured, i))) {
        ++i;
    }
    if (i >= n) {
        return -1;
    }
    const double lower = at(table.measured, i - 1);
    const auto f = static_cast<float>((b - lower) / (at(table.measured, i) - lower));
    return static_cast<float>(static_cast<double>(f) * static_cast<double>(table.cor_step) +
                              at(table.corrected, i - 1));
}

float remove_inst(float width, float broad, std::int16_t rule, const CorrectionTable& table) {
    if (!(width >= broad)) {
        return -1; // B < b, or a NaN that cannot be compared
    }
    // The instrument's width b taken out of the measured B as Klug & Alexander give the
    // rules (X-Ray Diffraction Procedures, 2nd ed., Wiley 1974, ch. 9): Lorentzian
    // (Cauchy) profiles add their widths, β = B − b; Gaussian ones their squares,
    // β = √(B² − b²); between them the geometric mean of the two, β = √((B − b)√(B² − b²)).
    const double big = width;
    const double small = broad;
    const double lorentz = big - small;
    switch (rule) {
    case kRuleGauss:
    case kRuleMixture: {
        const double squares = big * big - small * small;
        if (squares < 0) {
            return -1; // only with a negative instrumental width
        }
        const double gauss = std::sqrt(squares);
        return static_cast<float>(rule == kRuleGauss ? gauss : std::sqrt(gauss * lorentz));
    }
    case kRuleLorentz:
        return static_cast<float>(lorentz);
    case kRuleTable:
        return file_remove(width, table);
    default:
        return 0;
    }
}

float remove_inst(float width, float broad, std::int16_t rule) {
    static const CorrectionTable empty{};
    return remove_inst(width, broad, rule, empty);
}

void remove_inst_from_pair(float& ad, float& eg, float broad, std::int16_t rule,
                           const CorrectionTable& table) {
    if (removes_broadening(broad, rule)) {
        ad = remove_inst(ad, broad, rule, table);
        eg = remove_inst(eg, broad, rule, table);
    }
}

} // namespace teravine
