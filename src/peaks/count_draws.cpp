// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/count_draws.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace teravine {
namespace {

// ln 2 split so that k · kLn2High is exact for |k| < 2^11.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kLn2 = 6.93147180559945309417e-01;
constexpr double kSqrtHalf = 7.07106781186547524401e-01;
// From this mean on, counts are drawn from the normal approximation.
constexpr double kNormalCounts = 30;

} // namespace

double CountDraws::uniform() {
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double CountDraws::normal() {
    if (has_spare_) {
        has_spare_ = false;
        return spare_;
    }
    double u = 0, v = 0, s = 0;
    do {
        u = 2 * uniform() - 1;
        v = 2 * uniform() - 1;
        s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double scale = std::sqrt(-2 * portable_log(s) / s);
    spare_ = v * scale;
    has_spare_ = true;
    return u * scale;
}

long long CountDraws::poisson(double mean) {
    const double limit = portable_exp(-mean);
    long long count = 0;
    for (double product = uniform(); product > limit; product *= uniform()) {
        ++count;
    }
    return count;
}

double CountDraws::count(double mean) {
    if (mean < kNormalCounts) {
        return static_cast<double>(poisson(mean));
    }
    return std::max(0.0, std::round(mean + std::sqrt(mean) * normal()));
}

// log(m · 2^e) = e ln 2 + log m with m in [√½, √2), and log m = 2 atanh s with
// s = (m − 1)/(m + 1), |s| ≤ 0.172: the series to s^21 leaves less than 1e-17.
double portable_log(double value) {
    if (value == 0) {
        return -HUGE_VAL;
    }
    if (!(value > 0)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::isinf(value)) {
        return value;
    }
    int exponent = 0;
    double m = std::frexp(value, &exponent);
    if (m < kSqrtHalf) {
        m *= 2;
        --exponent;
    }
    const double s = (m - 1) / (m + 1);
    const double z = s * s;
    double series = 1.0 / 21;
    for (int odd = 19; odd >= 1; odd -= 2) {
        series = series * z + 1.0 / odd;
    }
    return exponent * kLn2High + (2 * s * series + exponent * kLn2Low);
}

// exp(k ln 2 + r) = 2^k e^r with |r| ≤ ½ ln 2: the Taylor series to r^13 leaves less
// than 1e-17.
double portable_exp(double value) {
    if (std::isnan(value)) {
        return value;
    }
    // Beyond ±1100 the result is 0 or +∞ whatever the value, and the power of two must
    // stay within an int.
    value = std::clamp(value, -1100.0, 1100.0);
    const double k = std::round(value / kLn2);
    const double r = (value - k * kLn2High) - k * kLn2Low;
    double series = 1;
    for (int n = 13; n >= 1; --n) {
        series = 1 + series * r / n;
    }
    return std::ldexp(series, static_cast<int>(k));
}

} // namespace teravine
