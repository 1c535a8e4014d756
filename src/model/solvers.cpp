// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/solvers.h"

#include <cmath>

namespace teravine {

KPlace find_k(const CoefTable& table, float x, float y, std::int16_t reich) {
    KPlace place;
    place.eg = y;
    if (!std::isfinite(x) || !std::isfinite(y) || !(x > 0)) {
        return place;
    }
    const auto k_row = [](int row) { return kKRow[static_cast<std::size_t>(row)]; };
    auto value = [&](std::int16_t row) { return Pol5_0(table, reich, row, x); };

    const float lowest = value(5);
    if (!(x >= y && y >= lowest)) {
        if (x > y) {
            return place;
        }
        place.where = Placement::above_diagonal;
        place.eg = x;
        return place;
    }

    std::int16_t j = 1;
    while (j < 5 && y < value(j)) {
        ++j;
    }

    InterpRecord local;
    float span = 0;
    if (j == 1) {
        local.row_lo = 1;
        local.row_hi = 2;
        local.frac = 1;
        span = k_row(2) - k_row(1);
    } else {
        local.row_hi = j;
        local.row_lo = static_cast<std::int16_t>(j - 1);
        span = k_row(j) - k_row(j - 1);
        local.frac = 1;
        const int count = bisect_weight(local, true, 1E-05f, [&](const InterpRecord& at) {
            return y - Pol5_0(interp_row(at, table, reich), x);
        });
        if (count < 0) {
            return place;
        }
        place.passes = count;
    }
    local.k = static_cast<float>((1.0 - static_cast<double>(local.frac)) * span +
                                 static_cast<double>(k_row(local.row_lo)));
    place.where = Placement::inside;
    place.rec = local;
    return place;
}

InterpRecord row_frac(const InterpRecord& rec, const CoefTable& table, std::int16_t reich,
                      float x) {
    const double a = Pol5_0(table, reich, rec.row_lo, x);
    const double b = Pol5_0(table, reich, rec.row_hi, x);
    const double f = rec.frac;
    const double r1 = static_cast<float>(1.0 / a);
    const double r2 = static_cast<float>(1.0 / b);
    const double w = 1.0 / ((1.0 - f) * r2 + r1 * f);
    InterpRecord carried = rec;
    carried.frac = static_cast<float>((w - 1.0 / r2) * (r2 * r1 / (r2 - r1)));
    return carried;
}

InterpRecord recip_frac(const InterpRecord& rec, const CoefTable& table, std::int16_t reich,
                        float x) {
    const double a = Pol5_0(table, reich, rec.row_lo, x);
    const double b = Pol5_0(table, reich, rec.row_hi, x);
    InterpRecord carried = rec;
    carried.frac = recip_weight(rec.frac, single_reciprocal(a), single_reciprocal(b));
    return carried;
}

} // namespace teravine
