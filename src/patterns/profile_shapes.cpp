// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/profile_shapes.h"

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

// A symmetric profile of FWHM w, 1 at u = 0.
double side_value(bool pearson, double w, double mixing, double u) {
    const double v = 2 * u / w;
    if (pearson) {
        return std::pow(1 + v * v * (std::pow(2.0, 1 / mixing) - 1), -mixing);
    }
    return mixing / (1 + v * v) + (1 - mixing) * gaussian(v);
}

// Half the area of that profile; a Pearson VII of m ≤ 1/2 has none, taken as infinite.
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

// Where the side falls to half its top, by bisection from the top outward.
double half_reach(bool pearson, double w, double mixing) {
    double inside = 0, outside = w;
    while (side_value(pearson, w, mixing, outside) > 0.5 && outside < 1e6 * w) {
        outside *= 2;
    }
    for (int i = 0; i < 60; ++i) {
        const double middle = (inside + outside) / 2;
        (side_value(pearson, w, mixing, middle) > 0.5 ? inside : outside) = middle;
    }
    return (inside + outside) / 2;
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
    const bool right = two_theta > p.position;
    return p.height * side_value(is_pearson(p.shape), right ? p.right_width : p.left_width,
                                 right ? p.right_mixing : p.left_mixing, two_theta - p.position);
}

ProfileSlopes profile_slopes(const Profile& p, double two_theta) {
    const bool right = two_theta > p.position;
    const double w = right ? p.right_width : p.left_width;
    const double m = right ? p.right_mixing : p.left_mixing;
    const double v = 2 * (two_theta - p.position) / w;
    double g = 0, by_v = 0, by_m = 0;
    if (is_pearson(p.shape)) {
        const double two = std::pow(2.0, 1 / m);
        const double base = 1 + (two - 1) * v * v;
        g = std::pow(base, -m);
        by_v = -g * m * 2 * (two - 1) * v / base;
        const double c_by_m = -two * kLn2 / (m * m);
        by_m = -g * (std::log(base) + m * v * v * c_by_m / base);
    } else {
        const double lorentz = 1 / (1 + v * v);
        const double gauss = gaussian(v);
        g = m * lorentz + (1 - m) * gauss;
        by_v = -2 * v * (m * lorentz * lorentz + (1 - m) * kLn2 * gauss);
        by_m = lorentz - gauss;
    }
    const double h = p.height;
    return {h * g, h * by_v * (-2 / w), h * by_v * (-v / w), h * by_m, right};
}

double profile_fwhm(const Profile& p) {
    const bool pearson = is_pearson(p.shape);
    return half_reach(pearson, p.left_width, p.left_mixing) +
           half_reach(pearson, p.right_width, p.right_mixing);
}

double profile_breadth(const Profile& p) {
    const bool pearson = is_pearson(p.shape);
    return half_area(pearson, p.left_width, p.left_mixing) +
           half_area(pearson, p.right_width, p.right_mixing);
}

} // namespace teravine
