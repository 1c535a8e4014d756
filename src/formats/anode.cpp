// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/anode.h"

#include <cctype>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

constexpr AnodeLines kAnodes[] = {
    {"Cu", 1.540598, 1.544426}, {"Co", 1.788965, 1.792850}, {"Fe", 1.936042, 1.939980},
    {"Cr", 2.289760, 2.293663}, {"Mo", 0.709319, 0.713609}, {"Ag", 0.559421, 0.563813},
};

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::span<const AnodeLines> known_anodes() {
    return kAnodes;
}

std::optional<AnodeLines> anode_lines(std::string_view symbol) {
    for (const auto& anode : kAnodes) {
        if (same_letters(anode.symbol, symbol)) {
            return anode;
        }
    }
    return std::nullopt;
}

std::string anode_of(double wavelength) {
    for (const auto& anode : kAnodes) {
        const double mean = (2 * anode.alpha1 + anode.alpha2) / 3;
        for (double line : {anode.alpha1, anode.alpha2, mean}) {
            if (std::abs(wavelength - line) < 0.005) {
                return std::string(anode.symbol);
            }
        }
    }
    return {};
}

bool is_copper(std::optional<double> wavelength) {
    // Kα1 1.5406, Kα2 1.5444 and the weighted mean 1.5418 all lie within this.
    return !wavelength || std::abs(*wavelength - 1.5425) < 0.005;
}

std::optional<double> carry_two_theta(double two_theta, double from_wavelength,
                                      double to_wavelength) {
    const double sine =
        std::sin(two_theta / 2 * kRadiansPerDegree) * to_wavelength / from_wavelength;
    if (!(std::abs(sine) < 1)) {
        return std::nullopt;
    }
    return 2 * std::asin(sine) / kRadiansPerDegree;
}

double width_to_copper(double two_theta, double wavelength) {
    const auto copper = carry_two_theta(two_theta, wavelength, kCuKAlpha1);
    if (!copper) {
        return NAN;
    }
    const double theta = two_theta / 2 * kRadiansPerDegree;
    const double theta_cu = *copper / 2 * kRadiansPerDegree;
    return (kCuKAlpha1 / std::cos(theta_cu)) / (wavelength / std::cos(theta));
}

} // namespace teravine
