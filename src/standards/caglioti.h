// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument's width as a function of angle, FWHM² = U tan²θ + V tanθ + W (Caglioti,
// Paoletti & Ricci 1958), fitted to the peaks of a line-profile standard and carried to
// the illite 001 angle. The law was derived for Gaussian line shapes: it describes the
// Gaussian part of a width, and a width taken far outside the peaks' angles is an
// extrapolation.
#pragma once

#include "text/outcome.h"

#include <string>
#include <utility>
#include <vector>

namespace teravine {

struct CagliotiFit { // FWHM² = U tan²θ + V tanθ + W, widths in °2θ
    double u = 0, v = 0, w = 0;
    double u_u = 0, u_v = 0, u_w = 0;
    std::vector<std::pair<double, double>> peaks; // (2θ, FWHM) of each peak fitted
    // The covariance of (U, V, W), row by row.
    std::vector<double> covariance;

    bool operator==(const CagliotiFit&) const = default;
};

struct CagliotiPeak {
    double two_theta = 0; // degrees, Cu Kα scale
    double fwhm = 0;      // °2θ
    double u_fwhm = 0;    // its standard uncertainty; 0 or less: unknown
};

// Weighted linear least squares of FWHM² on (tan²θ, tanθ, 1), each peak weighted by the
// uncertainty of its FWHM² (2·FWHM·u). Refuses fewer than three peaks, a width or angle
// that is not finite and positive, and a set that does not fix the three terms (fewer
// than three distinct angles). With more peaks than terms and a scatter larger than the
// widths' own u say, the covariance is widened by the reduced chi-square.
Outcome<CagliotiFit> fit_caglioti(const std::vector<CagliotiPeak>& peaks);

struct CagliotiWidth {
    double fwhm = 0;
    double u_fwhm = 0;
};

// Whether 2θ lies outside the angles of the peaks the law was fitted to, where its width
// is extrapolated.
bool caglioti_extrapolated(const CagliotiFit& fit, double two_theta);
// "21.4–37.4°": the angles of the peaks fitted.
std::string caglioti_span_text(const CagliotiFit& fit);

// The width at 2θ (degrees) and its u from the covariance; fails where FWHM² is not
// positive.
Outcome<CagliotiWidth> caglioti_width(const CagliotiFit& fit, double two_theta);

} // namespace teravine
