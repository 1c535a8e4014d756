// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/caglioti.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>

namespace teravine {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

double tan_theta(double two_theta) {
    return std::tan(two_theta / 2 * std::numbers::pi / 180);
}

// The instrument's width against angle, FWHM² = U tan²θ + V tanθ + W: Caglioti, Paoletti &
// Ricci (1958), Nucl. Instrum. 3, 223–228, their resolution function of a powder
// diffractometer. These are its three terms at 2θ.
std::array<double, 3> terms(double two_theta) {
    const double t = tan_theta(two_theta);
    return {t * t, t, 1};
}

double determinant(const Matrix& a) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// The inverse of a symmetric positive matrix by cofactors; nothing when it is (nearly)
// singular against its own scale.
std::optional<Matrix> inverse(const Matrix& a) {
    const double det = determinant(a);
    const double scale = a[0][0] * a[1][1] * a[2][2];
    if (!(scale > 0) || !(std::abs(det) > 1e-12 * scale)) {
        return std::nullopt;
    }
    Matrix inv{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // Cofactor of (j, i), the rows and columns other than j and i taken cyclically.
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            inv[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                (a[static_cast<std::size_t>(r0)][static_cast<std::size_t>(c0)] *
                     a[static_cast<std::size_t>(r1)][static_cast<std::size_t>(c1)] -
                 a[static_cast<std::size_t>(r0)][static_cast<std::size_t>(c1)] *
                     a[static_cast<std::size_t>(r1)][static_cast<std::size_t>(c0)]) /
                det;
        }
    }
    return inv;
}

std::size_t distinct_angles(std::vector<double> angles) {
    std::sort(angles.begin(), angles.end());
    return static_cast<std::size_t>(
        std::unique(angles.begin(), angles.end(),
                    [](double a, double b) { return std::abs(a - b) < 1e-3; }) -
        angles.begin());
}

} // namespace

Outcome<CagliotiFit> fit_caglioti(const std::vector<CagliotiPeak>& peaks) {
    if (peaks.size() < 3) {
        return Failure{"The width against angle needs at least three peaks; " +
                       std::to_string(peaks.size()) + " given."};
    }
    bool weighted = true;
    std::vector<double> angles;
    for (const CagliotiPeak& p : peaks) {
        if (!std::isfinite(p.two_theta) || !std::isfinite(p.fwhm) || p.two_theta <= 0 ||
            p.two_theta >= 180 || p.fwhm <= 0) {
            return Failure{"A peak's angle or width is not a positive finite number."};
        }
        weighted = weighted && std::isfinite(p.u_fwhm) && p.u_fwhm > 0;
        angles.push_back(p.two_theta);
    }
    if (distinct_angles(angles) < 3) {
        return Failure{"The peaks lie at fewer than three distinct angles: they do not fix "
                       "the three terms of the width against angle."};
    }
    Matrix normal{};
    std::array<double, 3> rhs{};
    const auto weight = [weighted](const CagliotiPeak& p) {
        return weighted ? 1 / std::pow(2 * p.fwhm * p.u_fwhm, 2) : 1.0;
    };
    for (const CagliotiPeak& p : peaks) {
        const auto g = terms(p.two_theta);
        const double w = weight(p);
        for (std::size_t i = 0; i < 3; ++i) {
            rhs[i] += w * g[i] * p.fwhm * p.fwhm;
            for (std::size_t j = 0; j < 3; ++j) {
                normal[i][j] += w * g[i] * g[j];
            }
        }
    }
    const auto cov = inverse(normal);
    if (!cov) {
        return Failure{"The peaks' angles lie too close together to fix the three terms of "
                       "the width against angle: measure peaks spread over a wider range."};
    }
    std::array<double, 3> coef{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            coef[i] += (*cov)[i][j] * rhs[j];
        }
    }
    double chi2 = 0;
    CagliotiFit fit;
    for (const CagliotiPeak& p : peaks) {
        const auto g = terms(p.two_theta);
        const double model = coef[0] * g[0] + coef[1] * g[1] + coef[2] * g[2];
        chi2 += weight(p) * std::pow(p.fwhm * p.fwhm - model, 2);
        fit.peaks.emplace_back(p.two_theta, p.fwhm);
    }
    const auto dof = static_cast<double>(peaks.size() - 3);
    // Without the widths' u the scatter alone says how well the terms are known; with it,
    // a scatter beyond what the u allow widens them.
    const double factor =
        dof > 0 ? (weighted ? std::max(1.0, chi2 / dof) : chi2 / dof) : (weighted ? 1.0 : 0.0);
    fit.u = coef[0];
    fit.v = coef[1];
    fit.w = coef[2];
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            fit.covariance.push_back((*cov)[i][j] * factor);
        }
    }
    fit.u_u = std::sqrt(fit.covariance[0]);
    fit.u_v = std::sqrt(fit.covariance[4]);
    fit.u_w = std::sqrt(fit.covariance[8]);
    return fit;
}

bool caglioti_extrapolated(const CagliotiFit& fit, double two_theta) {
    if (fit.peaks.empty()) {
        return false;
    }
    const auto [lo, hi] = std::minmax_element(fit.peaks.begin(), fit.peaks.end());
    return two_theta < lo->first || two_theta > hi->first;
}

std::string caglioti_span_text(const CagliotiFit& fit) {
    if (fit.peaks.empty()) {
        return {};
    }
    const auto [lo, hi] = std::minmax_element(fit.peaks.begin(), fit.peaks.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.1f\u2013%.1f\u00b0", lo->first, hi->first);
    return text;
}

Outcome<CagliotiWidth> caglioti_width(const CagliotiFit& fit, double two_theta) {
    const auto g = terms(two_theta);
    const double squared = fit.u * g[0] + fit.v * g[1] + fit.w * g[2];
    if (!(squared > 0) || !std::isfinite(squared)) {
        char angle[32];
        std::snprintf(angle, sizeof angle, "%.2f", two_theta);
        return Failure{"The width against angle fitted to the peaks gives no width at " +
                       std::string(angle) + "° 2θ (its square is not positive)."};
    }
    double variance = 0;
    if (fit.covariance.size() == 9) {
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j) {
                variance += g[i] * fit.covariance[i * 3 + j] * g[j];
            }
        }
    }
    // The width's u from the terms' covariance, by the propagation of its first-order
    // terms (GUM, JCGM 100:2008, 5.1.2).
    const double fwhm = std::sqrt(squared);
    return CagliotiWidth{fwhm, std::sqrt(std::max(0.0, variance)) / (2 * fwhm)};
}

} // namespace teravine
