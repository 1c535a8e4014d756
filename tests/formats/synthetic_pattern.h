// SPDX-License-Identifier: GPL-3.0-or-later
// Patterns made in code, with a peak of known FWHM: a pseudo-Voigt (a Gaussian and a
// Lorentzian of one FWHM) or a Pearson VII, either split (another width above the top),
// with its Cu Kα2 line or not, a second peak beside it or not, on a background, with or
// without Poisson counting noise, and the files the readers take, written from them.
#pragma once

#include "formats/pattern.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace teravine::synthetic {

enum class Background { Flat, Sloping, Curved, Steep, Rise };

struct PeakShape {
    double fwhm = 0.3;
    double position = 8.8;
    double height = 3000; // counts above the background at the top
    double eta = 0.5;     // Lorentzian share
    Background background = Background::Flat;
    double step = 0.01;
    double from = 4.0, to = 14.0;
    unsigned noise_seed = 0; // 0: exact counts
    double right_fwhm = 0;   // of a split peak, twice the half width above the top; 0: fwhm
    double pearson_m = 0;    // a Pearson VII of this exponent instead of a pseudo-Voigt
    bool doublet = false;    // with its Cu Kα2 line at half the height
    double second_position = 0, second_fwhm = 0.3, second_height = 0; // a second peak
};

inline constexpr double kCuAlpha1 = 1.540598, kCuAlpha2 = 1.544426;

// The peak at x, 1 at its top.
inline double profile_at(const PeakShape& s, double x, double position) {
    const double w = x > position && s.right_fwhm > 0 ? s.right_fwhm : s.fwhm;
    const double u = 2 * (x - position) / w;
    if (s.pearson_m > 0) {
        return std::pow(1 + u * u * (std::pow(2.0, 1 / s.pearson_m) - 1), -s.pearson_m);
    }
    return s.eta / (1 + u * u) + (1 - s.eta) * std::exp(-std::log(2.0) * u * u);
}

// The 2θ of the Kα2 line of a Kα1 line at two_theta.
inline double alpha2_of(double two_theta) {
    const double degree = std::acos(-1.0) / 180;
    return 2 * std::asin(kCuAlpha2 / kCuAlpha1 * std::sin(two_theta / 2 * degree)) / degree;
}

inline double background_at(Background kind, double x) {
    switch (kind) {
    case Background::Flat:
        return 200;
    case Background::Sloping:
        return 400 - 25 * (x - 4);
    case Background::Curved:
        return 150 + 300 * std::exp(-(x - 4) / 4);
    case Background::Steep:
        return 150 + 4000 * std::exp(-(x - 4) / 1.5);
    case Background::Rise: // the steep rise of a pattern that begins lower, 25,000 at 2.6°
        return 150 + 10000 * std::exp(-(x - 4) / 1.5);
    }
    return 0;
}

inline Pattern make_pattern(const PeakShape& s) {
    Pattern p;
    p.name = "synthetic";
    std::mt19937 random(s.noise_seed);
    const auto steps = static_cast<int>(std::lround((s.to - s.from) / s.step));
    for (int i = 0; i <= steps; ++i) {
        const double x = s.from + i * s.step;
        double shape = profile_at(s, x, s.position);
        shape += s.doublet ? 0.5 * profile_at(s, x, alpha2_of(s.position)) : 0.0;
        if (s.second_height > 0) {
            PeakShape second = s;
            second.fwhm = s.second_fwhm;
            second.right_fwhm = 0;
            const double alpha2 =
                s.doublet ? 0.5 * profile_at(second, x, alpha2_of(s.second_position)) : 0.0;
            shape +=
                s.second_height / s.height * (profile_at(second, x, s.second_position) + alpha2);
        }
        double counts = background_at(s.background, x) + s.height * shape;
        if (s.noise_seed != 0) {
            counts = static_cast<double>(std::poisson_distribution<long>(counts)(random));
        }
        p.two_theta.push_back(x);
        p.counts.push_back(counts);
    }
    return p;
}

inline std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

inline std::string with_decimal_comma(std::string text) {
    for (char& c : text) {
        c = c == '.' ? ',' : c;
    }
    return text;
}

enum class Format {
    Xy,
    SemicolonCsv,
    TabDecimalComma,
    CommaSeparated,
    XrdmlCounts,
    XrdmlIntensities,
    Uxd
};

// The file's text. A wavelength goes into the formats that state one.
inline std::string file_text(const Pattern& p, Format format, double wavelength = 1.540598) {
    std::string out;
    const std::size_t n = p.two_theta.size();
    switch (format) {
    case Format::Xy:
    case Format::SemicolonCsv:
    case Format::TabDecimalComma:
    case Format::CommaSeparated: {
        // Header, column separator and decimal comma of each; the CSV has a third column.
        const bool csv = format == Format::SemicolonCsv;
        const bool comma = csv || format == Format::TabDecimalComma;
        const char* separator = csv ? ";" : format == Format::Xy ? " " : comma ? "\t" : ", ";
        out = csv ? "Angle;Counts;Error\r\n" : "# 2theta counts\n";
        for (std::size_t i = 0; i < n; ++i) {
            std::string line =
                number("%.6f", p.two_theta[i]) + separator + number("%.3f", p.counts[i]);
            line += csv ? separator + number("%.2f", std::sqrt(std::abs(p.counts[i]))) : "";
            out += (comma ? with_decimal_comma(line) : line) + (csv ? "\r\n" : "\n");
        }
        break;
    }
    case Format::XrdmlCounts:
    case Format::XrdmlIntensities: {
        const char* tag = format == Format::XrdmlCounts ? "counts" : "intensities";
        out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xrdMeasurements "
              "xmlns=\"http://www.xrdml.com/XRDMeasurement/1.5\">\n<xrdMeasurement "
              "measurementType=\"Scan\">\n<usedWavelength intended=\"K-Alpha 1\"><kAlpha1 "
              "unit=\"Angstrom\">" +
              number("%.7f", wavelength) +
              "</kAlpha1></usedWavelength>\n<scan><dataPoints>\n<positions axis=\"2Theta\" "
              "unit=\"deg\"><startPosition>" +
              number("%.6f", p.two_theta.front()) + "</startPosition><endPosition>" +
              number("%.6f", p.two_theta.back()) +
              "</endPosition></positions>\n<positions axis=\"Omega\" unit=\"deg\">"
              "<startPosition>2</startPosition><endPosition>7</endPosition></positions>\n<" +
              tag + " unit=\"counts\">";
        for (std::size_t i = 0; i < n; ++i) {
            out += (i ? " " : "") + number("%.3f", p.counts[i]);
        }
        out += std::string("</") + tag +
               ">\n</dataPoints></scan>\n</xrdMeasurement>\n"
               "</xrdMeasurements>\n";
        break;
    }
    case Format::Uxd:
        out = "; written by the test\n_FILEVERSION=1\n_WL1=" + number("%.6f", wavelength) +
              "\n_DRIVE='COUPLED'\n_STEPTIME=1.0\n_STEPSIZE=" +
              number("%.6f", p.two_theta[1] - p.two_theta[0]) +
              "\n_STEPMODE='C'\n_START=" + number("%.6f", p.two_theta.front()) + "\n_COUNTS\n";
        for (std::size_t i = 0; i < n; ++i) {
            out += number("%.0f", p.counts[i]) + ((i % 8 == 7 || i + 1 == n) ? "\n" : " ");
        }
        break;
    }
    return out;
}

} // namespace teravine::synthetic
