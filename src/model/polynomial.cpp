// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/polynomial.h"

#include <cmath>

namespace teravine {

float Pol5_0(const CoefTable& table, std::int16_t i, std::int16_t j, float x) {
    return Pol5_0(table[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], x);
}

CoefRow interp_row(const InterpRecord& rec, const CoefTable& table, std::int16_t reich) {
    const auto& rows = table[static_cast<std::size_t>(reich)];
    return mix_rows(rec.frac, rows[static_cast<std::size_t>(rec.row_lo)],
                    rows[static_cast<std::size_t>(rec.row_hi)]);
}

std::optional<std::int16_t> round_half(float x) {
    if (!(x > -32769.0f && x < 32767.5f)) {
        return std::nullopt;
    }
    const float whole = std::trunc(x);
    const float fraction = x - whole;
    if (fraction < 0.5f) {
        return static_cast<std::int16_t>(whole);
    }
    return static_cast<std::int16_t>(std::nearbyint(x)); // default mode: ties to even
}

} // namespace teravine
