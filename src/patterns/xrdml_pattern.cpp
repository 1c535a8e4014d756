// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/xrdml_pattern.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace teravine {
namespace {

// The numbers of an element's text, separated by blanks; nothing when one is not a number.
std::optional<std::vector<double>> numbers_of(const pugi::xml_node& node) {
    std::vector<double> values;
    const char* text = node.child_value();
    const char* end = text + std::strlen(text);
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (text < end) {
        while (text < end && blank(*text)) {
            ++text;
        }
        if (text == end) {
            break;
        }
        double value = 0;
        const auto [stop, ec] = std::from_chars(text, end, value);
        if (ec != std::errc() || (stop < end && !blank(*stop))) {
            return std::nullopt;
        }
        values.push_back(value);
        text = stop;
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

pugi::xml_node two_theta_axis(const pugi::xml_node& points) {
    for (const auto& positions : points.children("positions")) {
        if (std::strcmp(positions.attribute("axis").value(), "2Theta") == 0) {
            return positions;
        }
    }
    return {};
}

Outcome<std::vector<double>> angles_of(const pugi::xml_node& axis, std::size_t count,
                                       const std::string& subject) {
    if (const auto list = axis.child("listPositions")) {
        auto angles = numbers_of(list);
        if (!angles || angles->size() != count) {
            return Failure{subject + " is not a pattern: its listed 2θ positions do not "
                                     "match its counts."};
        }
        return *angles;
    }
    const auto start = number_of(axis.child("startPosition"));
    const auto stop = number_of(axis.child("endPosition"));
    if (!start || !stop) {
        return Failure{subject + " is not a pattern: its 2θ axis has no startPosition and "
                                 "endPosition."};
    }
    std::vector<double> angles(count);
    const double step = count > 1 ? (*stop - *start) / static_cast<double>(count - 1) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        angles[i] = *start + step * static_cast<double>(i);
    }
    return angles;
}

} // namespace

bool looks_like_xrdml(std::string_view content) {
    return content.substr(0, 4096).find("<xrdMeasurements") != std::string_view::npos;
}

Outcome<Pattern> read_xrdml_pattern(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (content.empty()) {
        return Failure{subject + " is empty."};
    }
    pugi::xml_document doc;
    const auto parsed = doc.load_buffer(content.data(), content.size());
    if (!parsed) {
        return Failure{subject + " is not a pattern: it is not XML (" + parsed.description() +
                       " at byte " + std::to_string(parsed.offset) + ")."};
    }
    const auto measurement = doc.child("xrdMeasurements").child("xrdMeasurement");
    const auto points = measurement.child("scan").child("dataPoints");
    if (!points) {
        return Failure{subject + " is not a pattern: it holds no XRDML scan."};
    }
    auto counts_node = points.child("intensities");
    if (!counts_node) {
        counts_node = points.child("counts");
    }
    const auto counts = numbers_of(counts_node);
    if (!counts_node || !counts) {
        return Failure{subject + " is not a pattern: its scan has no <intensities> or "
                                 "<counts> of numbers."};
    }
    const auto axis = two_theta_axis(points);
    if (!axis) {
        return Failure{subject + " is not a pattern: its scan has no 2Theta axis."};
    }
    auto angles = angles_of(axis, counts->size(), subject);
    if (!angles) {
        return Failure{angles.error()};
    }
    Pattern pattern;
    pattern.name = pattern_name(path);
    pattern.two_theta = std::move(angles.value());
    pattern.counts = *counts;
    if (const auto alpha1 = number_of(measurement.child("usedWavelength").child("kAlpha1"));
        alpha1 && std::isfinite(*alpha1) && *alpha1 > 0) {
        pattern.wavelength = *alpha1;
    }
    const auto place = [](std::size_t i) { return "point " + std::to_string(i + 1); };
    if (const auto problem = pattern_problem(pattern, subject, place)) {
        return Failure{*problem};
    }
    return pattern;
}

Outcome<PatternFile> read_xrdml_scans(std::string_view content, const std::string& path) {
    auto pattern = read_xrdml_pattern(content, path);
    if (!pattern) {
        return Failure{pattern.error()};
    }
    return PatternFile{"XRDML", {std::move(pattern.value())}};
}

} // namespace teravine
