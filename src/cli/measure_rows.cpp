// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/measure_rows.h"

#include "peaks/count_scale.h"
#include "peaks/peak_edges.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace teravine::cli {
namespace {

std::string fixed(double value, int decimals) {
    char text[400]; // the largest double has 309 digits before the point
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

std::optional<double> degrees_of(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string measured_columns(const Measured& m, char separator) {
    const PeakWidth& w = m.width;
    return fixed(w.position, 4) + separator + width_text(w.fwhm) + separator +
           width_text(w.breadth) + separator + fixed(w.height, 1) + separator +
           width_text(w.u_fwhm) + separator + m.method + separator + w.quality;
}

std::string measured_row(const std::string& side, const Measured& m) {
    return side + "\t" + m.file + "\t" + measured_columns(m, '\t');
}

std::vector<std::string> measure_notes(const std::string& side, const Measured& m) {
    const std::string subject = side + " " + m.file + ": ";
    std::vector<std::string> notes;
    if (!m.scan_note.empty()) {
        notes.push_back(m.scan_note);
    }
    if (m.wavelength) {
        notes.push_back(subject + "measured at the " + (m.wavelength_given ? "given" : "stated") +
                        " wavelength " + fixed(*m.wavelength, 5) +
                        " Å and carried over to the 2θ scale of Cu Kα.");
    }
    if (const std::string counts = count_scale_note(count_scale(m.pattern), m.pattern);
        !counts.empty()) {
        notes.push_back(subject + counts + ".");
    }
    if (const std::string edge = edge_advice(m.width); !edge.empty()) {
        notes.push_back(subject + edge + ".");
    }
    return notes;
}

std::optional<PeakRange> parse_range(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const auto lo = degrees_of(text.substr(0, colon));
    const auto hi = degrees_of(text.substr(colon + 1));
    if (!lo || !hi || !(*lo < *hi) || *lo <= 0 || *hi >= 180) {
        return std::nullopt;
    }
    return PeakRange{*lo, *hi};
}

std::string range_text(const PeakRange& range) {
    return peak_range_text(range);
}

std::string range_refusal(const std::string& example) {
    return "--range wants LO:HI in degrees 2-theta, LO below HI, such as " + example;
}

} // namespace teravine::cli
