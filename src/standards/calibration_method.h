// SPDX-License-Identifier: GPL-3.0-or-later
// How a calibration's or an instrument profile's standards were measured, in full, so that
// widths measured otherwise are told apart from those it converts: the width method's
// name, for a fit its components, background, Kα2 line and its intensity ratio, and the 2θ
// range searched.
#pragma once

#include "peaks/peak_width.h"
#include "peaks/profile_fit.h"
#include "peaks/width_method.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// The quality reason of a width that a calibration made by another method converts.
inline constexpr const char* kCisMethod = "cis-method";

// The method's name (WidthMethod::name()) and what else fixes the width but the range, as
// "half-height kalpha2=kept" or "fit:split-pearson7 components=1 background=linear
// kalpha2=fitted alpha2_ratio=0.5" (" use=K" when a component is chosen; the Kα2 ratio
// where the fit's is known).
std::string method_in_full(const WidthMethod& method, std::optional<double> alpha2_ratio = {});
// method_in_full and the range: "half-height kalpha2=kept range=6.5:11.5".
std::string full_method_name(const WidthMethod& method, const PeakRange& range,
                             std::optional<double> alpha2_ratio = {});
// The I(Kα2) / I(Kα1) a fit took, for the full name; none for the half-height reading.
std::optional<double> fitted_alpha2_ratio(const std::optional<ProfileFit>& fit);

// The one Kα2 ratio the fits of a calibration's standards took, each standard's named
// (none for a width given or read at half height): none when no fit took one. Two fits
// that took different ratios are refused, naming the standard of the second: "the fits of
// the standards' patterns took different K-alpha2 ratios (0.5000 and 0.4000, for SW2)".
struct NamedRatio {
    std::string name;
    std::optional<double> ratio;
};
Outcome<std::optional<double>> common_alpha2_ratio(const std::vector<NamedRatio>& fits);

// What two full names disagree on ("method", "components", "use", "background",
// "kalpha2", "alpha2_ratio", "range"), among what both state: a calibration or profile of
// an older version states less (only the method's name, or no ratio), and only that is
// compared. A reading's component suffix (":K/N") is not part of the method's name.
std::vector<std::string> method_differences(std::string_view calibration,
                                            std::string_view measured);
// The same joined as a sentence names them ("method, kalpha2"); empty when they agree.
std::string method_differences_text(std::string_view calibration, std::string_view measured);

// Why a calibration measured so lies outside the CIS guidelines, which calibrate fitted
// indices with one asymmetric profile such as the split Pearson VII (Warr 2018): "2
// components", "a symmetric profile"; nothing for the half-height reading or one split
// profile.
std::optional<std::string> outside_cis_guidelines(std::string_view full_name);

} // namespace teravine
