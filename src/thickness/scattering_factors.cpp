// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/scattering_factors.h"

#include <cmath>

namespace teravine {
namespace {

struct Coefficients {
    double a[4];
    double b[4];
    double c;
};

// International Tables for Crystallography, Vol. C (1992), Table 6.1.1.4, neutral atoms.
constexpr Coefficients kTable[] = {
    {{0.489918, 0.262003, 0.196767, 0.049879}, {20.6593, 7.74039, 49.5519, 2.20159}, 0.001305},
    {{2.31, 1.02, 1.5886, 0.865}, {20.8439, 10.2075, 0.5687, 51.6512}, 0.2156},
    {{3.0485, 2.2868, 1.5463, 0.867}, {13.2771, 5.7011, 0.3239, 32.9089}, 0.2508},
    {{5.4204, 2.1735, 1.2269, 2.3073}, {2.8275, 79.2611, 0.3808, 7.1937}, 0.8584},
    {{6.4202, 1.9002, 1.5936, 1.9646}, {3.0387, 0.7426, 31.5472, 85.0886}, 1.1151},
    {{6.2915, 3.0353, 1.9891, 1.541}, {2.4386, 32.3337, 0.6785, 81.6937}, 1.1407},
    {{8.2186, 7.4398, 1.0519, 0.8659}, {12.7949, 0.7748, 213.187, 41.6841}, 1.4228},
    {{8.6266, 7.3873, 1.5899, 1.0211}, {10.4421, 0.6599, 85.7484, 178.437}, 1.3751},
};

} // namespace

double scattering_factor(Element element, double s) {
    const Coefficients& t = kTable[static_cast<int>(element)];
    const double q = s * s / 4; // (sin θ / λ)²
    double f = t.c;
    for (int i = 0; i < 4; ++i) {
        f += t.a[i] * std::exp(-t.b[i] * q);
    }
    return f;
}

} // namespace teravine
