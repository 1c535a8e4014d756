// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measure_session.h"

#include "patterns/anode.h"
#include "patterns/read_pattern.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

double to_step(double value) {
    return std::round(value / kRangeStep) * kRangeStep;
}

} // namespace

void MeasureSession::measure(MeasuredHalf& half) const {
    half.width.reset();
    half.problem.clear();
    if (!half.pattern) {
        return;
    }
    const auto width = measure_peak(*half.pattern, range_);
    if (width) {
        half.width = *width;
    } else {
        half.problem = width.error();
    }
}

void MeasureSession::open(PatternSide side, const std::string& path) {
    MeasuredHalf& half = halves_[index(side)];
    half = MeasuredHalf{};
    half.path = path;
    auto pattern = read_pattern_file(path);
    if (!pattern) {
        half.problem = pattern.error();
        return;
    }
    half.pattern = std::move(*pattern);
    measure(half);
}

bool MeasureSession::set_range(const PeakRange& range) {
    if (!(range.lo > 0 && range.hi < 180 && range.hi - range.lo >= kMinRangeSpan - 1e-9)) {
        return false;
    }
    range_ = range;
    for (MeasuredHalf& half : halves_) {
        measure(half);
    }
    return true;
}

void MeasureSession::move_range_end(PatternSide side, RangeEnd end, double two_theta) {
    const MeasuredHalf& half = halves_[index(side)];
    double at = two_theta;
    if (half.pattern && !is_copper(half.pattern->wavelength)) {
        at = carry_two_theta(two_theta, *half.pattern->wavelength, kCuKAlpha1).value_or(NAN);
    }
    if (!std::isfinite(at)) {
        return;
    }
    PeakRange moved = range_;
    if (end == RangeEnd::Low) {
        moved.lo = std::clamp(to_step(at), kRangeStep, to_step(range_.hi - kMinRangeSpan));
    } else {
        moved.hi = std::clamp(to_step(at), to_step(range_.lo + kMinRangeSpan), 180 - kRangeStep);
    }
    set_range(moved);
}

PeakPanel MeasureSession::panel(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    const std::string title = side == PatternSide::AirDried ? "AD" : "EG";
    if (!half.pattern) {
        PeakPanel empty;
        empty.title = title;
        empty.problem = half.problem;
        return empty;
    }
    const Outcome<PeakWidth> measured =
        half.width ? Outcome<PeakWidth>(*half.width) : Outcome<PeakWidth>(Failure{half.problem});
    return measured_panel(title + " " + half.pattern->name, *half.pattern, measured, range_,
                          log_counts_);
}

bool MeasureSession::widths_ready() const {
    return std::all_of(halves_.begin(), halves_.end(),
                       [](const MeasuredHalf& h) { return h.width.has_value(); });
}

std::string MeasureSession::box_text(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    return half.width ? width_text(half.width->fwhm) : std::string();
}

bool MeasureSession::use_widths() {
    if (!widths_ready()) {
        return false;
    }
    services_.set_text(TextBox::Xls, box_text(PatternSide::AirDried));
    services_.set_text(TextBox::Yls, box_text(PatternSide::Glycolated));
    return true;
}

} // namespace teravine
