// SPDX-License-Identifier: GPL-3.0-or-later
// How a peak's width is taken: the direct half-height reading, or a fitted profile whose
// Kα1 width is reported. Both give a PeakWidth, so that whatever prints, writes or places
// a width takes either alike.
#pragma once

#include "patterns/peak_width.h"
#include "patterns/profile_fit.h"

#include <optional>
#include <string>

namespace teravine {

struct WidthMethod {
    bool fit = false;
    FitOptions options; // with fit

    // "half-height", or "fit:" and the profile's name.
    std::string name() const;

    bool operator==(const WidthMethod&) const = default;
};

struct MethodReading {
    PeakWidth width;
    std::string method; // the method's name; of a fit of N components ":K/N" added, K the
                        // component reported
    std::optional<ProfileFit> fit; // with the fit method
};

// The reported component of a fit as a width: its position, Kα1 FWHM and breadth with
// their u, its height, the fit's quality; the crossings and background for drawing.
PeakWidth width_of_fit(const ProfileFit& fit);

Outcome<MethodReading> read_width(const Pattern& pattern, const PeakRange& range,
                                  const WidthMethod& method);

} // namespace teravine
