// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measure_session.h"

#include "formats/anode.h"
#include "formats/read_pattern.h"
#include "peaks/count_scale.h"
#include "peaks/peak_edges.h"
#include "standards/calibration_method.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

namespace teravine {
namespace {

double to_step(double value) {
    return std::round(value / kRangeStep) * kRangeStep;
}

// Memory running out while one file is read or measured refuses that file; the window
// and its other half carry on.
std::string unmeasurable(const std::string& path, const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return pattern_subject(path) +
               " cannot be measured: it needs more memory than this computer has.";
    }
    return pattern_subject(path) + " cannot be measured (" + e.what() + ").";
}

// Every scan of the half fitted with the ratio given, or with its file's own.
void take_alpha2_ratio(MeasuredHalf& half, const std::optional<double>& ratio) {
    for (std::size_t s = 0; s < half.file.scans.size(); ++s) {
        half.file.scans[s].alpha2_ratio = ratio ? ratio : half.stated_alpha2_ratios[s];
    }
}

} // namespace

void MeasureSession::measure(MeasuredHalf& half, const PeakRange& range,
                             const WidthMethod& method) {
    const Pattern* pattern = half.pattern();
    if (pattern == nullptr) {
        return; // the reader's message stays
    }
    half.width.reset();
    half.fit.reset();
    half.problem.clear();
    auto reading = read_width(*pattern, range, method);
    if (reading) {
        half.width = reading->width;
        half.fit = std::move(reading->fit);
    } else {
        half.problem = reading.error();
    }
}

void MeasureSession::measure_again(PatternSide side) {
    const std::size_t i = index(side);
    MeasuredHalf& half = halves_[i];
    if (!away_ || half.pattern() == nullptr) {
        measure(half, range_, method_);
        return;
    }
    half.measuring = true;
    pending_[i] = MeasureRequest{side, ++serials_[i], *half.pattern(), range_, method_, half.path};
}

std::vector<MeasureRequest> MeasureSession::take_requests() {
    std::vector<MeasureRequest> requests;
    for (auto& pending : pending_) {
        if (pending) {
            requests.push_back(std::move(*pending));
            pending.reset();
        }
    }
    return requests;
}

MeasureResult MeasureSession::measure_request(const MeasureRequest& request) {
    MeasureResult result{request.side, request.serial, std::nullopt, std::nullopt, {}};
    try {
        auto reading = read_width(request.pattern, request.range, request.method);
        if (reading) {
            result.width = reading->width;
            result.fit = std::move(reading->fit);
        } else {
            result.problem = reading.error();
        }
    } catch (const std::exception& e) {
        result = MeasureResult{request.side, request.serial, std::nullopt, std::nullopt, {}};
        result.problem = unmeasurable(request.path, e);
    }
    return result;
}

bool MeasureSession::take_measured(MeasureResult result) {
    const std::size_t i = index(result.side);
    if (result.serial != serials_[i]) {
        return false;
    }
    MeasuredHalf& half = halves_[i];
    half.width = std::move(result.width);
    half.fit = std::move(result.fit);
    half.problem = std::move(result.problem);
    half.measuring = false;
    return true;
}

void MeasureSession::open(PatternSide side, const std::string& path) {
    take_result(read_and_measure(request_open(side, path)));
}

ReadRequest MeasureSession::request_open(PatternSide side, const std::string& path) {
    MeasuredHalf& half = halves_[index(side)];
    half = MeasuredHalf{};
    half.path = path;
    half.reading = true;
    pending_[index(side)].reset();
    return ReadRequest{side, path, ++serials_[index(side)], range_, method_, alpha2_ratio_};
}

ReadResult MeasureSession::read_and_measure(const ReadRequest& request) {
    ReadResult result{request, MeasuredHalf{}};
    MeasuredHalf& half = result.half;
    half.path = request.path;
    auto file = read_pattern_scans(request.path, Digest::sha256);
    if (!file) {
        half.problem = file.error();
        return result;
    }
    try {
        half.file = std::move(file.value());
        for (const Pattern& scan : half.file.scans) {
            half.states_wavelength.push_back(scan.wavelength.has_value());
            half.stated_alpha2_ratios.push_back(scan.alpha2_ratio);
        }
        take_alpha2_ratio(half, request.alpha2_ratio);
        measure(half, request.range, request.method);
    } catch (const std::exception& e) {
        half = MeasuredHalf{};
        half.path = request.path;
        half.problem = unmeasurable(request.path, e);
    }
    return result;
}

bool MeasureSession::take_result(ReadResult result) {
    const std::size_t i = index(result.request.side);
    if (result.request.serial != serials_[i]) {
        return false;
    }
    halves_[i] = std::move(result.half);
    const bool other_ratio = result.request.alpha2_ratio != alpha2_ratio_;
    if (other_ratio) {
        take_alpha2_ratio(halves_[i], alpha2_ratio_);
    }
    if (result.request.range.lo != range_.lo || result.request.range.hi != range_.hi ||
        !(result.request.method == method_) || other_ratio) {
        measure_again(result.request.side);
    }
    return true;
}

bool MeasureSession::reading() const {
    return std::any_of(halves_.begin(), halves_.end(),
                       [](const MeasuredHalf& h) { return h.reading || h.measuring; });
}

bool MeasureSession::choose_scan(PatternSide side, std::size_t scan) {
    MeasuredHalf& half = halves_[index(side)];
    if (scan >= half.file.scans.size()) {
        return false;
    }
    half.scan = scan;
    measure_again(side);
    return true;
}

bool MeasureSession::choose_anode(PatternSide side, const std::string& anode) {
    const auto lines = anode_lines(anode);
    if (!lines) {
        return false;
    }
    MeasuredHalf& half = halves_[index(side)];
    half.anode = std::string(lines->symbol);
    const bool copper = half.anode == "Cu";
    for (std::size_t s = 0; s < half.file.scans.size(); ++s) {
        if (!half.states_wavelength[s]) {
            half.file.scans[s].wavelength =
                copper ? std::nullopt : std::optional<double>(lines->alpha1);
        }
    }
    measure_again(side);
    return true;
}

std::string MeasureSession::anode(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    const Pattern* pattern = half.pattern();
    if (pattern == nullptr || !half.states_wavelength[half.scan]) {
        return half.anode;
    }
    return pattern->anode.empty() ? anode_of(*pattern->wavelength) : pattern->anode;
}

std::vector<std::string> MeasureSession::scan_names(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    std::vector<std::string> names;
    for (std::size_t s = 0; s < half.file.scans.size(); ++s) {
        names.push_back("Scan " + std::to_string(s + 1) + ": " +
                        scan_description(half.file.scans[s]));
    }
    return names;
}

bool MeasureSession::set_range(const PeakRange& range) {
    if (!(range.lo > 0 && range.hi < 180 && range.hi - range.lo >= kMinRangeSpan - 1e-9)) {
        return false;
    }
    range_ = range;
    measure_again(PatternSide::AirDried);
    measure_again(PatternSide::Glycolated);
    return true;
}

void MeasureSession::move_range_end(PatternSide side, RangeEnd end, double two_theta) {
    const MeasuredHalf& half = halves_[index(side)];
    double at = two_theta;
    const Pattern* pattern = half.pattern();
    if (pattern != nullptr && !is_copper(pattern->wavelength)) {
        at = carry_two_theta(two_theta, *pattern->wavelength, kCuKAlpha1).value_or(NAN);
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

bool MeasureSession::set_alpha2_ratio(std::optional<double> ratio) {
    if (ratio && !(*ratio >= 0 && *ratio <= 1)) {
        return false;
    }
    alpha2_ratio_ = ratio;
    for (const PatternSide side : {PatternSide::AirDried, PatternSide::Glycolated}) {
        take_alpha2_ratio(halves_[index(side)], alpha2_ratio_);
        measure_again(side);
    }
    return true;
}

void MeasureSession::measure_like(const Measurement& measured) {
    set_range({measured.range_lo, measured.range_hi});
    if (const auto method = width_method_named(measured.method)) {
        set_method(*method);
    }
    set_alpha2_ratio(measured.alpha2_ratio);
}

void MeasureSession::set_method(const WidthMethod& method) {
    method_ = method;
    measure_again(PatternSide::AirDried);
    measure_again(PatternSide::Glycolated);
}

PeakPanel MeasureSession::panel(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    const std::string title = side == PatternSide::AirDried ? "AD" : "EG";
    const Pattern* pattern = half.pattern();
    if (pattern == nullptr) {
        PeakPanel empty;
        empty.title = title;
        empty.problem = half.problem;
        return empty;
    }
    const Outcome<PeakWidth> measured =
        half.width ? Outcome<PeakWidth>(*half.width) : Outcome<PeakWidth>(Failure{half.problem});
    PeakPanel panel =
        measured_panel(title + " " + pattern->name, *pattern, measured, range_, log_counts_);
    panel.fit = half.fit;
    return panel;
}

std::string MeasureSession::measured_in_full(const MeasuredHalf& half) const {
    return full_method_name(method_, range_, fitted_alpha2_ratio(half.fit));
}

std::string MeasureSession::quality(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    if (!half.width) {
        return {};
    }
    std::string quality = half.width->quality;
    if (lab_ != nullptr && lab_->profile && half.pattern() != nullptr) {
        for (const std::string& reason : instrument_mismatches(
                 *lab_->profile, measured_in_full(half), stated_setup(*half.pattern()))) {
            quality = quality == "ok" ? reason : quality + ";" + reason;
        }
    }
    return quality;
}

std::string MeasureSession::message(PatternSide side) const {
    const MeasuredHalf& half = halves_[index(side)];
    const std::string measured = quality(side);
    if (!half.problem.empty() || measured.empty() || measured == "ok") {
        return half.problem;
    }
    const std::string advice = half.width ? edge_advice(*half.width) : std::string();
    return "Doubtful (" + method_.name() + "): " + measured + (advice.empty() ? "" : ": " + advice);
}

std::string MeasureSession::count_note(PatternSide side) const {
    const Pattern* pattern = half(side).pattern();
    if (pattern == nullptr) {
        return {};
    }
    std::string note = count_scale_note(count_scale(*pattern), *pattern);
    if (!note.empty()) {
        note.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(note.front())));
        note += '.';
    }
    return note;
}

std::string MeasureSession::calibration_note() const {
    if (lab_ == nullptr || !converts_samples(*lab_)) {
        return {};
    }
    const std::string measured = measured_in_full(halves_[index(PatternSide::AirDried)]);
    const std::string which = method_differences_text(lab_->cis->method, measured);
    if (which.empty()) {
        return {};
    }
    return "The CIS calibration's standards were measured by " + lab_->cis->method +
           ", these widths by " + measured + " (they differ in " + which +
           "): the calibration does not carry over.";
}

bool MeasureSession::widths_ready() const {
    return std::all_of(halves_.begin(), halves_.end(),
                       [](const MeasuredHalf& h) { return h.width.has_value() && !h.measuring; });
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

namespace teravine {

std::optional<Measurement> MeasureSession::measurement() const {
    // A file that could not be read again for its digest leaves the pair without a record.
    if (!widths_ready() || half(PatternSide::AirDried).file.sha256.empty() ||
        half(PatternSide::Glycolated).file.sha256.empty()) {
        return std::nullopt;
    }
    const auto file = [this](PatternSide side) {
        const MeasuredHalf& h = half(side);
        return MeasuredFile{h.path,
                            h.file.sha256,
                            static_cast<std::int32_t>(h.scan + 1),
                            static_cast<float>(h.width->fwhm),
                            static_cast<float>(h.width->u_fwhm),
                            quality(side),
                            anode(side)};
    };
    return Measurement{file(PatternSide::AirDried),
                       file(PatternSide::Glycolated),
                       range_.lo,
                       range_.hi,
                       method_.name(),
                       method_.fits() ? alpha2_ratio_ : std::nullopt};
}

} // namespace teravine
