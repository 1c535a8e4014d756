// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/student_t.h"

#include <cmath>
#include <numbers>

namespace teravine {
namespace {

// P(|T| ≤ t) for whole degrees of freedom, in closed form: Abramowitz & Stegun, Handbook
// of Mathematical Functions (1964), 26.7.3 (odd df) and 26.7.4 (even df), with
// θ = atan(t / √df).
double two_sided_probability(double t, int df) {
    const double theta = std::atan(t / std::sqrt(static_cast<double>(df)));
    const double c2 = std::cos(theta) * std::cos(theta);
    const double s = std::sin(theta);
    double term = 1, sum = 1;
    if (df % 2 == 0) {
        for (int k = 2; k <= df - 2; k += 2) {
            term *= c2 * (k - 1) / k;
            sum += term;
        }
        return s * sum;
    }
    if (df == 1) {
        return 2 * theta / std::numbers::pi;
    }
    for (int k = 3; k <= df - 2; k += 2) {
        term *= c2 * (k - 1) / k;
        sum += term;
    }
    return 2 / std::numbers::pi * (theta + s * std::cos(theta) * sum);
}

} // namespace

double student_t_quantile(double coverage, int df) {
    if (!(coverage > 0 && coverage < 1) || df < 1) {
        return NAN;
    }
    // The probability rises with t: bisection on [0, hi], hi doubled until it brackets.
    double lo = 0, hi = 1;
    for (int i = 0; i < 64 && two_sided_probability(hi, df) < coverage; ++i) {
        hi *= 2;
    }
    for (int i = 0; i < 100 && hi - lo > 1e-12 * hi; ++i) {
        const double mid = (lo + hi) / 2;
        (two_sided_probability(mid, df) < coverage ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace teravine
