// SPDX-License-Identifier: GPL-3.0-or-later
// The peak of a pattern fitted by weighted least squares: one to three profiles on a
// linear or quadratic background, each with its Kα2 line, so that the width reported is
// that of the Kα1 profile, with standard uncertainties from the fit's covariance.
#pragma once

#include "formats/pattern.h"
#include "peaks/peak_width.h"
#include "peaks/profile_shapes.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

enum class FitBackground { linear, quadratic };

struct FitOptions {
    ProfileShape shape = ProfileShape::pseudo_voigt;
    FitBackground background = FitBackground::linear;
    int components = 1;  // 1..3
    int use = 0;         // the component whose width is reported, 1-based; 0: the tallest
    bool doublet = true; // model the Kα2 line of every component

    bool operator==(const FitOptions&) const = default;
};

struct Estimate {
    double value = 0;
    double u = 0; // standard uncertainty
};

// On the Cu Kα scale, as the widths of the half-height reading.
struct FittedComponent {
    Estimate position, fwhm, breadth, height;
    Estimate left_mixing, right_mixing; // η or m of each side (the same for a symmetric shape)
    Profile profile;                    // the Kα1 profile on the pattern's own scale
};

struct ProfileFit {
    std::vector<FittedComponent> components; // by position
    std::size_t used = 0;                    // index of the component reported
    Estimate reduced_chi2;
    int iterations = 0;
    bool converted = false;     // the pattern's anode was not Cu: the figures were carried over
    std::string quality = "ok"; // "ok", or the reasons to doubt the fit joined by ';'

    // For drawing, on the pattern's own scale.
    double range_lo = 0, range_hi = 0;
    double centre = 0, half_span = 1; // the background's variable is (2θ - centre) / half_span
    std::vector<double> background;   // its coefficients, constant first
    double alpha2_ratio = 0;          // 0 without the Kα2 line
    double wavelength_ratio = 1;      // λ(Kα2) / λ(Kα1)
    // For a reported component that reaches a flank window, as PeakWidth has them.
    std::optional<PeakRange> holding;
    bool holding_whole = true;

    const FittedComponent& reported() const { return components[used]; }
    double background_at(double two_theta) const;
    // One component with its Kα2 line, without the background.
    double component_at(std::size_t index, double two_theta) const;
    double model_at(double two_theta) const;
};

// The reasons a fit is doubtful, beside those of the half-height reading (weak).
inline constexpr const char* kUnconverged = "unconverged"; // the iterations ran out
inline constexpr const char* kAtBound = "bound";           // a parameter at its bound
inline constexpr const char* kResidual = "residual";       // the half-height reading disagrees
inline constexpr const char* kUnresolved = "unresolved";   // a component the data do not hold

// Started from the half-height reading of the same range (further components where the
// residual of the fit before is largest); fails, naming the pattern, where that reading
// fails or the options are out of reach. At most 200 iterations a fit. Fitted on the count
// scale of count_scale(), given back on the pattern's own.
// The reported component is at the edge or reaches the flank as a half-height reading is
// (its top, its crossings, its tail's rise across a flank window). Its width is doubtful
// (residual) where the half-height reading of the same counts, less every Kα2 line and the
// other components, differs from it by more than twice their combined uncertainty and by
// more than 2 %: the profile does not describe the peak.
Outcome<ProfileFit> fit_profile(const Pattern& pattern, const PeakRange& range,
                                const FitOptions& options);

} // namespace teravine
