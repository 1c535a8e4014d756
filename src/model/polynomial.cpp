#include "model/polynomial.h"

#include <cmath>

namespace teravine {

float Pol5_0(const CoefTable& table, std::int16_t i, std::int16_t j, float x) {
    const auto& c = table[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    const double v = x;
    const double c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5];
    const double sum = ((c2 * v * v + c1 * v) + c3 * v * v * v) + c4 * v * v * v * v +
                       c5 * v * v * v * v * v;
    return static_cast<float>(sum);
}

void interp_row(const InterpRecord& rec, CoefTable& table, std::int16_t reich) {
    auto& rows = table[static_cast<std::size_t>(reich)];
    const auto& hi = rows[static_cast<std::size_t>(rec.row_hi)];
    const auto& lo = rows[static_cast<std::size_t>(rec.row_lo)];
    const double weight_hi = 1.0 - static_cast<double>(rec.frac);
    for (std::size_t p = 1; p <= 5; ++p) {
        rows[kScratchRow][p] = static_cast<float>(weight_hi * static_cast<double>(hi[p]) +
                                                  static_cast<double>(rec.frac) * lo[p]);
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
