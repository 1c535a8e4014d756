// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/profile_shapes.h"

#include "peaks/count_draws.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace teravine {
namespace {

constexpr std::array<std::pair<ProfileShape, std::string_view>, 4> kNames = {{
    {ProfileShape::pseudo_voigt, "pseudo-voigt"},
    {ProfileShape::pearson7, "pearson7"},
    {ProfileShape::split_pseudo_voigt, "split-pseudo-voigt"},
    {ProfileShape::split_pearson7, "split-pearson7"},
}};

const double kLn2 = std::log(2.0);
const double kPi = std::acos(-1.0);

// exp(-ln 2 v²), 0 where it would underflow: the slow path of an underflowing exp costs
// far more than the value is worth.
double gaussian(double v) {
    const double exponent = kLn2 * v * v;
    return exponent < 700 ? std::exp(-exponent) : 0.0;
}

// Half the area of a symmetric profile of FWHM w; a Pearson VII of m ≤ 1/2 has none, taken as
// infinite. The Pearson VII's is the integral of [1 + 4(2^(1/m) − 1) x²/w²]^(−m), the
// pseudo-Voigt's the weighted sum of the Lorentzian's (π w / 2) and the Gaussian's
// (w √(π / ln 2) / 2), as tabled by Young & Wiles (1982), J. Appl. Cryst. 15, 430–438.
double half_area(bool pearson, double w, double mixing) {
    if (pearson) {
        if (!(mixing > 0.5)) {
            return INFINITY;
        }
        return w / 2 * std::sqrt(kPi) * std::exp(std::lgamma(mixing - 0.5) - std::lgamma(mixing)) /
               (2 * std::sqrt(std::pow(2.0, 1 / mixing) - 1));
    }
    return w / 2 * (mixing * kPi / 2 + (1 - mixing) * std::sqrt(kPi / kLn2) / 2);
}

} // namespace

std::string_view profile_shape_name(ProfileShape shape) {
    for (const auto& [s, name] : kNames) {
        if (s == shape) {
            return name;
        }
    }
    return "";
}

std::optional<ProfileShape> profile_shape_named(std::string_view name) {
    for (const auto& [s, known] : kNames) {
        if (known == name) {
            return s;
        }
    }
    return std::nullopt;
}

bool is_split(ProfileShape shape) {
    return shape == ProfileShape::split_pseudo_voigt || shape == ProfileShape::split_pearson7;
}

bool is_pearson(ProfileShape shape) {
    return shape == ProfileShape::pearson7 || shape == ProfileShape::split_pearson7;
}

double profile_value(const Profile& p, double two_theta) {
    return PreparedProfile(p).value(two_theta);
}

PreparedProfile::Side PreparedProfile::side(bool pearson, double width, double mixing) {
    Side s{width, mixing, 0, 0};
    if (pearson) {
        const double two = std::pow(2.0, 1 / mixing);
        s.k = two - 1;
        s.k_by_mixing = -two * kLn2 / (mixing * mixing);
    }
    return s;
}

PreparedProfile::PreparedProfile(const Profile& profile)
    : profile_(profile), pearson_(is_pearson(profile.shape)),
      left_(side(pearson_, profile.left_width, profile.left_mixing)),
      right_(side(pearson_, profile.right_width, profile.right_mixing)) {}

double PreparedProfile::value(double two_theta) const {
    const Side& s = two_theta > profile_.position ? right_ : left_;
    const double v = 2 * (two_theta - profile_.position) / s.width;
    if (pearson_) {
        // Pearson VII: h [1 + 4(2^(1/m) − 1)(x − x0)²/w²]^(−m), Hall, Veeraraghavan, Rubin &
        // Winchell (1977), J. Appl. Cryst. 10, 66–68; split, each side of x0 its own w and m,
        // Toraya (1990), J. Appl. Cryst. 23, 485–491.
        return profile_.height * std::exp(-s.mixing * std::log1p(s.k * v * v));
    }
    // Pseudo-Voigt: h [η L + (1 − η) G], a Lorentzian and a Gaussian of one FWHM w,
    // L = 1 / (1 + 4(x − x0)²/w²), G = exp(−4 ln 2 (x − x0)²/w²), Wertheim, Butler, West &
    // Buchanan (1974), Rev. Sci. Instrum. 45, 1369–1371; split as the Pearson VII above.
    return profile_.height * (s.mixing / (1 + v * v) + (1 - s.mixing) * gaussian(v));
}

ProfileSlopes PreparedProfile::slopes(double two_theta) const {
    const bool right = two_theta > profile_.position;
    const Side& s = right ? right_ : left_;
    const double w = s.width;
    const double m = s.mixing;
    const double v = 2 * (two_theta - profile_.position) / w;
    double g = 0, by_v = 0, by_m = 0;
    if (pearson_) {
        const double base = 1 + s.k * v * v;
        const double log_base = std::log1p(s.k * v * v);
        g = std::exp(-m * log_base);
        by_v = -g * m * 2 * s.k * v / base;
        by_m = -g * (log_base + m * v * v * s.k_by_mixing / base);
    } else {
        const double lorentz = 1 / (1 + v * v);
        const double gauss = gaussian(v);
        g = m * lorentz + (1 - m) * gauss;
        by_v = -2 * v * (m * lorentz * lorentz + (1 - m) * kLn2 * gauss);
        by_m = lorentz - gauss;
    }
    const double h = profile_.height;
    return {h * g, h * by_v * (-2 / w), h * by_v * (-v / w), h * by_m, right};
}

double profile_fwhm(const Profile& p) {
    // Each side is scaled so that it is at half its top at v = 1, half its width from the
    // position, whatever its shape: a pseudo-Voigt's two parts both are, and a Pearson VII's
    // (1 + (2^(1/m) - 1))^-m is 1/2.
    return (p.left_width + p.right_width) / 2;
}

double profile_breadth(const Profile& p) {
    const bool pearson = is_pearson(p.shape);
    return half_area(pearson, p.left_width, p.left_mixing) +
           half_area(pearson, p.right_width, p.right_mixing);
}

double pseudo_voigt_mixing(double ratio) {
    // At a fifth of the top, u = ratio half widths from it: η L(u) + (1 − η) G(u) = 1/5, with
    // L(u) = 1 / (1 + u²) and G(u) = exp(−ln 2 u²).
    const double u2 = ratio * ratio;
    const double l = 1 / (1 + u2), g = portable_exp(-kLn2 * u2);
    if (!(l > g)) {
        return 0; // no wider at a fifth than at half height: no peak's shape
    }
    return std::clamp((0.2 - g) / (l - g), 0.0, 1.0);
}

double pearson7_exponent(double ratio) {
    // At a fifth of the top, u = ratio half widths from it: (1 + u² (2^(1/m) − 1))^(−m) = 1/5,
    // so u² = (5^t − 1) / (2^t − 1) with t = 1/m, which grows with t from ln 5 / ln 2 (t → 0,
    // a Gaussian) to 4 (t = 1, a Lorentzian).
    const double u2 = ratio * ratio;
    // By the exponential that every build computes alike (count_draws), so that the native
    // and the WebAssembly builds take one exponent.
    const double ln5 = portable_log(5.0);
    const auto square = [&](double t) {
        return (portable_exp(t * ln5) - 1) / (portable_exp(t * kLn2) - 1);
    };
    double lo = 1 / kMostPearsonExponent, hi = 1;
    if (!(u2 < square(hi))) {
        return 1;
    }
    if (!(u2 > square(lo))) {
        return kMostPearsonExponent;
    }
    for (int pass = 0; pass < 60; ++pass) {
        const double t = (lo + hi) / 2;
        (square(t) < u2 ? lo : hi) = t;
    }
    return 2 / (lo + hi);
}

} // namespace teravine
