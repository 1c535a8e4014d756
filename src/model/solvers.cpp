// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/solvers.h"

#include <cmath>

namespace teravine {

float find_k(InterpRecord& rec, CoefTable& table, float x, float& y, std::int16_t reich,
             int* passes) {
    if (!std::isfinite(x) || !std::isfinite(y) || !(x > 0)) {
        return kOutside;
    }
    const auto k_row = [](int row) { return kKRow[static_cast<std::size_t>(row)]; };
    auto value = [&](std::int16_t row) { return Pol5_0(table, reich, row, x); };

    const float lowest = value(5);
    if (!(x >= y && y >= lowest)) {
        if (x > y) {
            return kOutside;
        }
        y = x;
        return kAboveDiagonal;
    }

    std::int16_t j = 1;
    while (j < 5 && y < value(j)) {
        ++j;
    }

    InterpRecord local = rec;
    float span = 0;
    if (j == 1) {
        local.row_lo = 1;
        local.row_hi = 2;
        local.frac = 1;
        span = k_row(2) - k_row(1);
        interp_row(local, table, reich);
        if (passes != nullptr) {
            *passes = 0;
        }
    } else {
        local.row_hi = j;
        local.row_lo = static_cast<std::int16_t>(j - 1);
        span = k_row(j) - k_row(j - 1);
        local.frac = 1;
        const int count = bisect_weight(local, true, 1E-05f, [&](InterpRecord& at) {
            interp_row(at, table, reich);
            return y - value(kScratchRow);
        });
        if (count < 0) {
            return kOutside;
        }
        if (passes != nullptr) {
            *passes = count;
        }
    }
    local.k = static_cast<float>((1.0 - static_cast<double>(local.frac)) * span +
                                 static_cast<double>(k_row(local.row_lo)));
    rec = local;
    return kInside;
}

void row_frac(InterpRecord& rec, const CoefTable& table, std::int16_t reich, float x) {
    const double a = Pol5_0(table, reich, rec.row_lo, x);
    const double b = Pol5_0(table, reich, rec.row_hi, x);
    const double f = rec.frac;
    const double r1 = static_cast<float>(1.0 / a);
    const double r2 = static_cast<float>(1.0 / b);
    const double w = 1.0 / ((1.0 - f) * r2 + r1 * f);
    rec.frac = static_cast<float>((w - 1.0 / r2) * (r2 * r1 / (r2 - r1)));
}

void recip_frac(InterpRecord& rec, const CoefTable& table, std::int16_t reich, float x) {
    const double a = Pol5_0(table, reich, rec.row_lo, x);
    const double b = Pol5_0(table, reich, rec.row_hi, x);
    rec.frac = recip_weight(rec.frac, single_reciprocal(a), single_reciprocal(b));
}

} // namespace teravine
