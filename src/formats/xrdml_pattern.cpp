// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/xrdml_pattern.h"

#include "formats/bounded_xml.h"
#include "formats/read_pattern.h"
#include "formats/scan_text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace teravine {
namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The numbers of an element's text, separated by blanks, read straight from the text into
// a vector of their exact number; nothing when one is not a number.
std::optional<std::vector<double>> numbers_of(const pugi::xml_node& node) {
    const char* const text = node.child_value();
    const char* const end = text + std::strlen(text);
    std::size_t count = 0;
    for (const char* at = text; at < end;) {
        while (at < end && blank(*at)) {
            ++at;
        }
        if (at < end) {
            ++count;
        }
        while (at < end && !blank(*at)) {
            ++at;
        }
    }
    std::vector<double> values;
    values.reserve(count);
    for (const char* at = text; at < end;) {
        while (at < end && blank(*at)) {
            ++at;
        }
        if (at == end) {
            break;
        }
        double value = 0;
        const auto [stop, ec] = std::from_chars(at, end, value);
        if (ec != std::errc() || (stop < end && !blank(*stop))) {
            return std::nullopt;
        }
        values.push_back(value);
        at = stop;
    }
    return values;
}

std::optional<double> number_of(const pugi::xml_node& node) {
    const auto values = numbers_of(node);
    if (!values || values->size() != 1) {
        return std::nullopt;
    }
    return values->front();
}

std::optional<double> wavelength_of(const pugi::xml_node& node) {
    return stated_wavelength(number_of(node));
}

pugi::xml_node two_theta_axis(const pugi::xml_node& points) {
    for (const auto& positions : points.children("positions")) {
        if (std::strcmp(positions.attribute("axis").value(), "2Theta") == 0) {
            return positions;
        }
    }
    return {};
}

// A scan whose counts are read; its 2θ are laid out once the document is gone, so that
// the text, the document and both columns are never all held at once.
struct PendingScan {
    Pattern pattern;
    std::vector<double> listed; // the 2θ of listPositions, else empty
    double start = 0;
    double end = 0;
};

// What the measurement states of its radiation, for each of its scans.
void radiation_of(const pugi::xml_node& measurement, Pattern& pattern) {
    const auto used = measurement.child("usedWavelength");
    pattern.wavelength = wavelength_of(used.child("kAlpha1"));
    pattern.alpha2 = wavelength_of(used.child("kAlpha2"));
    auto ratio_node = used.child("ratioKAlpha2KAlpha1");
    if (!ratio_node) {
        ratio_node = used.child("ratioKAlpha21");
    }
    if (const auto ratio = number_of(ratio_node); ratio && *ratio >= 0 && *ratio <= 1) {
        pattern.alpha2_ratio = *ratio;
    }
    auto tube = measurement.child("incidentBeamPath").child("xRayTube");
    if (!tube) {
        tube = measurement.child("xRayTube");
    }
    pattern.anode = anode_named(tube.child_value("anodeMaterial"));
}

// The goniometer's radius, the slits as the file names them, and when the scan began.
void setup_of(const pugi::xml_node& measurement, const pugi::xml_node& scan, Pattern& pattern) {
    const auto incident = measurement.child("incidentBeamPath");
    const auto diffracted = measurement.child("diffractedBeamPath");
    auto radius = number_of(incident.child("radius"));
    if (!radius) {
        radius = number_of(diffracted.child("radius"));
    }
    if (radius && *radius > 0 && *radius < 10000) {
        pattern.goniometer_radius = radius;
    }
    pattern.divergence_slit = incident.child("divergenceSlit").attribute("name").value();
    pattern.receiving_slit = diffracted.child("receivingSlit").attribute("name").value();
    pattern.date = scan.child("header").child_value("startTimeStamp");
}

bool per_second(const pugi::xml_node& counts) {
    const std::string_view unit = counts.attribute("unit").value();
    return starts_with_nocase(unit, "cps") || starts_with_nocase(unit, "counts/s") ||
           starts_with_nocase(unit, "counts per second");
}

// The counts of one scan with their factors and counting time, or why not.
Outcome<PendingScan> read_scan(const pugi::xml_node& scan, const std::string& where) {
    const auto points = scan.child("dataPoints");
    if (!points) {
        return Failure{where + " has no dataPoints."};
    }
    auto counts_node = points.child("intensities");
    if (!counts_node) {
        counts_node = points.child("counts");
    }
    auto counts = numbers_of(counts_node);
    if (!counts_node || !counts) {
        return Failure{where + " has no <intensities> or <counts> of numbers."};
    }
    PendingScan pending;
    Pattern& pattern = pending.pattern;
    const std::size_t n = counts->size();
    pattern.counts = std::move(*counts);
    pattern.units = per_second(counts_node) ? CountUnits::per_second : CountUnits::counts;
    if (const auto node = points.child("beamAttenuationFactors")) {
        const auto factors = numbers_of(node);
        if (!factors || factors->size() != n) {
            return Failure{where + " has beam attenuation factors that do not match its " +
                           "counts."};
        }
        scale_counts(pattern.counts, *factors);
    }
    if (const auto node = points.child("commonCountingTime")) {
        const auto time = number_of(node);
        if (time && std::isfinite(*time) && *time > 0) {
            pattern.counting_time = *time;
        }
    } else if (const auto list = points.child("countingTimes")) {
        const auto times = numbers_of(list);
        if (!times || times->size() != n || std::any_of(times->begin(), times->end(), [](double t) {
                return !std::isfinite(t) || t <= 0;
            })) {
            return Failure{where + " has counting times that do not match its counts."};
        }
        const bool equal = std::all_of(times->begin(), times->end(), [&](double t) {
            return std::abs(t - times->front()) <= 1e-9 * times->front();
        });
        if (equal) {
            pattern.counting_time =
                times->empty() ? std::nullopt : std::optional<double>(times->front());
        } else if (pattern.units == CountUnits::counts) {
            for (std::size_t i = 0; i < n; ++i) {
                pattern.counts[i] /= (*times)[i];
            }
            pattern.units = CountUnits::per_second;
        }
    }
    const auto axis = two_theta_axis(points);
    if (!axis) {
        return Failure{where + " has no 2Theta axis."};
    }
    if (const auto list = axis.child("listPositions")) {
        auto angles = numbers_of(list);
        if (!angles || angles->size() != n) {
            return Failure{where + " has listed 2θ positions that do not match its counts."};
        }
        pending.listed = std::move(*angles);
        return pending;
    }
    const auto start = number_of(axis.child("startPosition"));
    const auto stop = number_of(axis.child("endPosition"));
    if (!start || !stop) {
        return Failure{where + " has a 2θ axis with no startPosition and endPosition."};
    }
    pending.start = *start;
    pending.end = *stop;
    return pending;
}

// Whether the scan moves 2θ at all: a rocking curve or a scan of another axis holds its
// 2θ where it is, and is left out rather than refusing the file's other scans.
bool moves_two_theta(const PendingScan& pending) {
    return !pending.listed.empty() || pending.pattern.counts.size() < 2 ||
           pending.start != pending.end;
}

void lay_out_angles(PendingScan& pending) {
    Pattern& pattern = pending.pattern;
    if (!pending.listed.empty()) {
        pattern.two_theta = std::move(pending.listed);
    } else {
        const std::size_t n = pattern.counts.size();
        const double step = n > 1 ? (pending.end - pending.start) / static_cast<double>(n - 1) : 0;
        pattern.two_theta = evenly_spaced(pending.start, step, n);
    }
    put_in_order(pattern);
}

} // namespace

bool looks_like_xrdml(std::string_view content) {
    return content.substr(0, 4096).find("<xrdMeasurements") != std::string_view::npos;
}

Outcome<PatternFile> read_xrdml_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (content.empty()) {
        return Failure{subject + " is empty."};
    }
    std::vector<PendingScan> pending;
    {
        std::string text(content); // parsed in place, and gone with the document
        pugi::xml_document doc;
        if (const auto problem = load_bounded_xml(doc, text, subject)) {
            return Failure{*problem};
        }
        const auto root = doc.child("xrdMeasurements");
        const auto measurements = root.children("xrdMeasurement");
        const auto measurement_count =
            static_cast<std::size_t>(std::distance(measurements.begin(), measurements.end()));
        std::size_t m = 0;
        std::size_t scans = 0;
        for (const auto& measurement : measurements) {
            ++m;
            for (const auto& scan : measurement.children("scan")) {
                const std::string where = subject + ", scan " + std::to_string(scans + 1) + ",";
                auto read = read_scan(scan, where);
                if (!read) {
                    return Failure{read.error()};
                }
                Pattern& pattern = read.value().pattern;
                radiation_of(measurement, pattern);
                setup_of(measurement, scan, pattern);
                pattern.scan = scan.attribute("scanAxis").value();
                if (measurement_count > 1) {
                    pattern.scan = "measurement " + std::to_string(m) +
                                   (pattern.scan.empty() ? "" : ", " + pattern.scan);
                }
                ++scans;
                if (moves_two_theta(read.value())) {
                    pending.push_back(std::move(read.value()));
                }
            }
        }
        if (scans == 0) {
            return Failure{subject + " is not a pattern: it holds no XRDML scan."};
        }
        if (pending.empty()) {
            return Failure{subject + " is not a pattern: none of its scans moves 2θ."};
        }
    } // the document goes before the 2θ columns are laid out
    PatternFile file{"XRDML", {}};
    file.scans.reserve(pending.size());
    for (auto& scan : pending) {
        lay_out_angles(scan);
        file.scans.push_back(std::move(scan.pattern));
    }
    return checked_scans(std::move(file), path);
}

} // namespace teravine
