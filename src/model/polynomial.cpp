// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/polynomial.h"

#include <cmath>

namespace teravine {

float Pol5_0(const CoefTable& table, std::int16_t i, std::int16_t j, float x) {
    return pol5_row(table[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], x);
}

void interp_row(const InterpRecord& rec, CoefTable& table, std::int16_t reich) {
    auto& rows = table[static_cast<std::size_t>(reich)];
    const CoefRow mixed = mix_rows(rec.frac, rows[static_cast<std::size_t>(rec.row_lo)],
                                   rows[static_cast<std::size_t>(rec.row_hi)]);
    for (std::size_t p = 1; p <= 5; ++p) {
        rows[kScratchRow][p] = mixed[p];
    }
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
