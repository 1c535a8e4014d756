// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/width_method.h"

#include <algorithm>

namespace teravine {

std::string WidthMethod::name() const {
    if (!fit) {
        return "half-height";
    }
    return "fit:" + std::string(profile_shape_name(options.shape));
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
    return w;
}

Outcome<MethodReading> read_width(const Pattern& pattern, const PeakRange& range,
                                  const WidthMethod& method) {
    if (!method.fit) {
        auto width = measure_peak(pattern, range);
        if (!width) {
            return Failure{width.error()};
        }
        return MethodReading{std::move(*width), method.name(), std::nullopt};
    }
    auto fit = fit_profile(pattern, range, method.options);
    if (!fit) {
        return Failure{fit.error()};
    }
    PeakWidth width = width_of_fit(*fit);
    std::string name = method.name();
    if (fit->components.size() > 1) {
        name += ":" + std::to_string(fit->used + 1) + "/" + std::to_string(fit->components.size());
    }
    return MethodReading{std::move(width), std::move(name), std::move(*fit)};
}

} // namespace teravine
