// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/instrument_measure.h"

#include "standards/calibration_method.h"

#include <algorithm>

namespace teravine {

Outcome<MeasuredInstrument> measure_instrument(const Pattern& pattern,
                                               const InstrumentRequest& request) {
    MeasuredInstrument out;
    InstrumentProfile& p = out.profile;
    p.standard = pattern.name;
    p.doublet_removed = request.method.fits();
    p.setup = stated_setup(pattern);
    const bool several = !request.peaks.empty();
    for (const PeakRange& range : several ? request.peaks : std::vector<PeakRange>{request.range}) {
        auto reading = read_width(pattern, range, request.method);
        if (!reading) {
            return Failure{reading.error()};
        }
        out.peaks.push_back({reading->width, reading->method});
        // One pattern: every peak's fit takes the same Kα2 ratio.
        p.method = method_in_full(request.method, fitted_alpha2_ratio(reading->fit));
    }
    if (!several) {
        const PeakWidth& w = out.peaks.front().width;
        p.b = w.fwhm;
        p.u_b = w.u_fwhm;
        p.angle = w.position;
        return out;
    }
    std::vector<CagliotiPeak> peaks;
    for (const StandardPeak& peak : out.peaks) {
        peaks.push_back({peak.width.position, peak.width.fwhm, peak.width.u_fwhm});
    }
    auto fit = fit_caglioti(peaks);
    if (!fit) {
        return Failure{pattern.name + ": " + fit.error()};
    }
    const auto at_angle = caglioti_width(*fit, request.angle);
    if (!at_angle) {
        return Failure{pattern.name + ": " + at_angle.error()};
    }
    p.b = at_angle->fwhm;
    p.u_b = at_angle->u_fwhm;
    p.angle = request.angle;
    p.caglioti = std::move(*fit);
    return out;
}

CopperSpan instrument_span(const InstrumentRequest& request) {
    if (request.peaks.empty()) {
        return {request.range.lo, request.range.hi};
    }
    CopperSpan span{request.peaks.front().lo, request.peaks.front().hi};
    for (const PeakRange& peak : request.peaks) {
        span.lo = std::min(span.lo, peak.lo);
        span.hi = std::max(span.hi, peak.hi);
    }
    return span;
}

Outcome<MeasuredInstrument> measure_instrument_file(const std::string& path,
                                                    const PatternChoice& choice,
                                                    const InstrumentRequest& request) {
    auto file = read_pattern_scans(path, Digest::sha256);
    if (!file) {
        return Failure{file.error()};
    }
    const std::string digest = file->sha256;
    std::string scan_note;
    PatternChoice covering = choice;
    if (!covering.covering) {
        covering.covering = instrument_span(request);
    }
    const auto pattern = choose_scan(std::move(file.value()), covering, path, &scan_note);
    if (!pattern) {
        return Failure{pattern.error()};
    }
    auto measured = measure_instrument(*pattern, request);
    if (!measured) {
        return Failure{scan_note.empty() ? measured.error() : scan_note + "\n" + measured.error()};
    }
    measured.value().profile.sha256 = digest;
    measured.value().scan_note = std::move(scan_note);
    return measured;
}

} // namespace teravine
