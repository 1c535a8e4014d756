// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_peaks.h"

#include "formats/anode.h"
#include "formats/read_pattern.h"
#include "peaks/width_method.h"

#include <exception>
#include <memory>

namespace teravine {
namespace {

// The scan a measurement used, with the wavelength of its anode where the scan states none.
Outcome<Pattern> recorded_scan(const PatternFile& file, const MeasuredFile& measured) {
    const auto scan = static_cast<std::size_t>(measured.scan);
    if (scan < 1 || scan > file.scans.size()) {
        return Failure{"it holds no scan " + std::to_string(measured.scan) + " any more"};
    }
    Pattern pattern = file.scans[scan - 1];
    if (!pattern.wavelength && !measured.anode.empty() && measured.anode != "Cu") {
        if (const auto lines = anode_lines(measured.anode)) {
            pattern.wavelength = lines->alpha1;
        }
    }
    return pattern;
}

class PeaksOfSample {
public:
    PeaksOfSample(ReportDocument& doc, std::string who, const Measurement& m)
        : doc_(doc), who_(std::move(who)), m_(m), method_(width_method_named(m.method)) {}

    void side(const char* side, const MeasuredFile& file) {
        const std::string label = std::string(side) + " " + pattern_name(file.path);
        const std::string placed = std::string(side) + ": placed with FWHM " +
                                   width_text(file.width) + "° (u " + width_text(file.u) +
                                   "°) by " + m_.method + ", quality " + file.quality +
                                   (file.anode.empty() ? "" : ", " + file.anode + " anode");
        peaks_.notes.push_back(placed);
        try {
            const auto read = read_pattern_scans(file.path, Digest::sha256);
            Outcome<Pattern> scan = read ? recorded_scan(*read, file) : Failure{read.error()};
            if (!scan) {
                cannot_read(side, label, file, scan.error());
                return;
            }
            if (read->sha256 != file.sha256) {
                peaks_.notes.push_back(std::string(side) + ": " + file.path +
                                       " has changed since it was measured (its SHA-256 differs)");
            }
            draw(side, label, file, std::move(scan.value()));
        } catch (const std::exception& e) {
            cannot_read(side, label, file, e.what());
        }
    }

    ReportPeaks take() { return std::move(peaks_); }

private:
    void cannot_read(const char* side, const std::string& label, const MeasuredFile& file,
                     const std::string& why) {
        doc_.peak_notes.push_back(who_ + ", " + side + ": the pattern " + file.path +
                                  " cannot be read: " + why);
        PeakPanel panel;
        panel.title = label;
        panel.problem = "not read (see above)";
        peaks_.panels.push_back(std::move(panel));
    }

    void draw(const char* side, const std::string& label, const MeasuredFile& file, Pattern scan) {
        if (m_.alpha2_ratio) { // the ratio the dialog gave the fit, over the file's own
            scan.alpha2_ratio = m_.alpha2_ratio;
        }
        doc_.patterns.push_back(std::make_unique<Pattern>(std::move(scan)));
        const Pattern& pattern = *doc_.patterns.back();
        const PeakRange range{m_.range_lo, m_.range_hi};
        if (!method_) {
            peaks_.panels.push_back(
                measured_panel(label, pattern, Failure{"not measured again"}, range, false));
            peaks_.notes.push_back(std::string(side) + ": the method " + m_.method +
                                   " is not known to this version");
            return;
        }
        auto reading = read_width(pattern, range, *method_);
        if (!reading) {
            peaks_.panels.push_back(
                measured_panel(label, pattern, Failure{"not measured again"}, range, false));
            peaks_.notes.push_back(std::string(side) + ": " + reading.error());
            return;
        }
        peaks_.panels.push_back(measured_panel(label, pattern, reading->width, range, false));
        peaks_.panels.back().fit = reading->fit;
        if (width_text(reading->width.fwhm) != width_text(file.width)) {
            peaks_.notes.push_back(std::string(side) + ": measured again here, FWHM " +
                                   width_text(reading->width.fwhm) + "°");
        }
    }

    ReportDocument& doc_;
    std::string who_;
    const Measurement& m_;
    std::optional<WidthMethod> method_;
    ReportPeaks peaks_;
};

} // namespace

void add_measured_peaks(ReportDocument& doc, const SampleList& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const SampleOrigin& origin = samples[i].origin;
        if (!origin.measurement) {
            continue;
        }
        const std::string who = "Sample " + std::to_string(i + 1) +
                                (origin.name.empty() ? "" : " (" + origin.name + ")");
        PeaksOfSample peaks(doc, who, *origin.measurement);
        peaks.side("AD", origin.measurement->ad);
        peaks.side("EG", origin.measurement->eg);
        ReportPeaks drawn = peaks.take();
        drawn.heading =
            "Sample " + std::to_string(i + 1) + (origin.name.empty() ? "" : ": " + origin.name);
        doc.peaks.push_back(std::move(drawn));
    }
}

} // namespace teravine
