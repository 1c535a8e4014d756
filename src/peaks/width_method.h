// SPDX-License-Identifier: GPL-3.0-or-later
// How a peak's width is taken: the direct half-height reading, or a fitted profile whose
// Kα1 width is reported. Both give a PeakWidth, so that whatever prints, writes or places
// a width takes either alike.
#pragma once

#include "peaks/peak_width.h"
#include "peaks/profile_fit.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace teravine {

struct MethodReading {
    PeakWidth width;
    std::string method; // the method's name; of a fit of N components ":K/N" added, K the
                        // component reported
    std::optional<ProfileFit> fit; // with the fit method
};

class WidthMethod;

// A kind of method: its name, what `--method` says of it, whether it takes the fit's
// options, and its reader. The table of width_method_kinds() is every kind there is.
struct WidthMethodKind {
    std::string_view name;        // "half-height", "fit"
    std::string_view description; // "the direct reading", ...
    bool fits = false;            // takes FitOptions, and reports the Kα1 width of a profile
    Outcome<MethodReading> (*read)(const Pattern& pattern, const PeakRange& range,
                                   const WidthMethod& method) = nullptr;
};
std::span<const WidthMethodKind> width_method_kinds();
const WidthMethodKind* width_method_kind(std::string_view name);

// How a width is taken: a kind, with the fit's options for a kind that fits.
class WidthMethod {
public:
    WidthMethod(); // half height
    explicit WidthMethod(const WidthMethodKind& kind, FitOptions options = {});
    static WidthMethod fitted(FitOptions options = {});

    const WidthMethodKind& kind() const { return *kind_; }
    bool fits() const { return kind_->fits; }
    // The fit's options (the defaults for a kind that does not fit).
    const FitOptions& options() const { return options_; }
    // What profiles, calibrations and sessions store: "half-height", or "fit:" and the
    // profile's name.
    std::string name() const;

    bool operator==(const WidthMethod&) const = default;

private:
    const WidthMethodKind* kind_;
    FitOptions options_;
};

// The reported component of a fit as a width: its position, Kα1 FWHM and breadth with
// their u, its height, the fit's quality; the crossings and background for drawing.
PeakWidth width_of_fit(const ProfileFit& fit);

// The method a stored name names: "half-height", "fit" and "fit:<profile>" (of a fit of
// several components ":K/N" after it; a name holds no other option of a fit, which take
// their defaults); nothing for a name this version does not know.
std::optional<WidthMethod> width_method_named(std::string_view name);

// The width by the method's own reader.
Outcome<MethodReading> read_width(const Pattern& pattern, const PeakRange& range,
                                  const WidthMethod& method);

} // namespace teravine
