// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/width_method.h"

#include <algorithm>
#include <array>
#include <vector>

namespace teravine {
namespace {

// A width fewer steps of the scan across than this is not sampled finely enough to be read
// or fitted: a peak of one or two points has no shape.
constexpr double kLeastStepsAcross = 3;

// The median step between the points of the pattern within [lo, hi], its own scale.
double median_step(const Pattern& pattern, double lo, double hi) {
    const auto& x = pattern.two_theta;
    const auto first = std::lower_bound(x.begin(), x.end(), lo);
    const auto end = std::upper_bound(first, x.end(), hi);
    std::vector<double> steps;
    for (auto it = first; it != end && std::next(it) != end; ++it) {
        steps.push_back(*std::next(it) - *it);
    }
    if (steps.empty()) {
        return 0;
    }
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2),
                     steps.end());
    return steps[steps.size() / 2];
}

// Whichever method read it, a width the scan's step cannot resolve is flagged.
void flag_sparse_sampling(PeakWidth& width, const Pattern& pattern) {
    const double across = width.right - width.left; // the crossings, on the pattern's scale
    if (across < kLeastStepsAcross * median_step(pattern, width.range_lo, width.range_hi)) {
        width.quality = width.quality == "ok" ? kSparse : width.quality + ";" + kSparse;
    }
}

Outcome<MethodReading> read_half_height(const Pattern& pattern, const PeakRange& range,
                                        const WidthMethod& method) {
    auto width = measure_peak(pattern, range);
    if (!width) {
        return Failure{width.error()};
    }
    flag_sparse_sampling(width.value(), pattern);
    return MethodReading{std::move(width.value()), method.name(), std::nullopt};
}

Outcome<MethodReading> read_fitted(const Pattern& pattern, const PeakRange& range,
                                   const WidthMethod& method) {
    auto fit = fit_profile(pattern, range, method.options());
    if (!fit) {
        return Failure{fit.error()};
    }
    PeakWidth width = width_of_fit(*fit);
    flag_sparse_sampling(width, pattern);
    fit.value().quality = width.quality;
    std::string name = method.name();
    if (fit->components.size() > 1) {
        name += ":" + std::to_string(fit->used + 1) + "/" + std::to_string(fit->components.size());
    }
    return MethodReading{std::move(width), std::move(name), std::move(fit.value())};
}

constexpr std::array<WidthMethodKind, 2> kKinds{{
    {"half-height", "the direct reading", false, read_half_height},
    {"fit", "a fitted profile, its K-alpha1 width reported", true, read_fitted},
}};

} // namespace

std::span<const WidthMethodKind> width_method_kinds() {
    return kKinds;
}

const WidthMethodKind* width_method_kind(std::string_view name) {
    for (const WidthMethodKind& kind : kKinds) {
        if (kind.name == name) {
            return &kind;
        }
    }
    return nullptr;
}

WidthMethod::WidthMethod() : kind_(&kKinds[0]) {}

WidthMethod::WidthMethod(const WidthMethodKind& kind, FitOptions options)
    : kind_(&kind), options_(kind.fits ? options : FitOptions{}) {}

WidthMethod WidthMethod::fitted(FitOptions options) {
    return WidthMethod(kKinds[1], options);
}

std::string WidthMethod::name() const {
    if (!fits()) {
        return std::string(kind_->name);
    }
    return std::string(kind_->name) + ":" + std::string(profile_shape_name(options_.shape));
}

std::optional<WidthMethod> width_method_named(std::string_view name) {
    const std::string_view kind = name.substr(0, name.find(':'));
    const WidthMethodKind* known = width_method_kind(kind);
    if (known == nullptr) {
        return std::nullopt;
    }
    if (!known->fits || kind.size() == name.size()) {
        return WidthMethod(*known);
    }
    const std::string_view rest = name.substr(kind.size() + 1);
    const auto shape = profile_shape_named(rest.substr(0, rest.find(':')));
    if (!shape) {
        return std::nullopt;
    }
    FitOptions options;
    options.shape = *shape;
    return WidthMethod(*known, options);
}

PeakWidth width_of_fit(const ProfileFit& fit) {
    const FittedComponent& c = fit.reported();
    const Profile& f = c.profile;
    PeakWidth w;
    w.position = c.position.value;
    w.fwhm = c.fwhm.value;
    w.breadth = c.breadth.value;
    w.height = c.height.value;
    w.u_fwhm = c.fwhm.u;
    w.converted = fit.converted;
    w.quality = fit.quality;
    w.range_lo = fit.range_lo;
    w.range_hi = fit.range_hi;
    w.background_lo = fit.background_at(fit.range_lo);
    w.background_hi = fit.background_at(fit.range_hi);
    // Each side is half a symmetric profile of its own width.
    w.left = f.position - f.left_width / 2;
    w.right = f.position + f.right_width / 2;
    w.top = f.position;
    w.peak_lo = std::max(fit.range_lo, f.position - 2 * f.left_width);
    w.peak_hi = std::min(fit.range_hi, f.position + 2 * f.right_width);
    w.holding = fit.holding;
    w.holding_whole = fit.holding_whole;
    return w;
}

Outcome<MethodReading> read_width(const Pattern& pattern, const PeakRange& range,
                                  const WidthMethod& method) {
    return method.kind().read(pattern, range, method);
}

} // namespace teravine
