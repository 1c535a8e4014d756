// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/rigaku_rasx.h"

#include "formats/bounded_xml.h"
#include "formats/stated_radiation.h"
#include "formats/zip_archive.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <regex>

namespace teravine {
namespace {

struct ProfileEntry {
    std::string sort_key;
    std::string profile;    // Data0/Profile0.txt
    std::string conditions; // Data0/MesurementConditions0.xml
};

std::string padded(const std::string& number) {
    return std::string(12 - std::min<std::size_t>(12, number.size()), '0') + number;
}

std::vector<ProfileEntry> profile_entries(const std::vector<std::string>& names) {
    static const std::regex profile(R"(((?:.*/)?Data(\d+)/)Profile(\d+)\.txt)", std::regex::icase);
    std::vector<ProfileEntry> found;
    for (const auto& name : names) {
        std::smatch match;
        if (name.size() < 256 && std::regex_match(name, match, profile)) {
            found.push_back({padded(match[2].str()) + padded(match[3].str()), name,
                             match[1].str() + "MesurementConditions" + match[3].str() + ".xml"});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.sort_key < b.sort_key; });
    return found;
}

std::optional<double> number_in(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The rows of a profile: 2θ, counts, and the attenuator's factor (1 when absent).
Outcome<Pattern> profile_points(std::string_view text, const std::string& subject,
                                std::size_t& points_left) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Pattern scan;
    std::size_t line = 0;
    while (!text.empty()) {
        ++line;
        const auto end = text.find('\n');
        std::string_view row = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        double values[3] = {0, 0, 1};
        std::size_t count = 0;
        for (std::size_t at = 0; at < row.size();) {
            const auto next = row.find_first_of("\t ", at);
            const auto field = row.substr(at, next == std::string_view::npos ? next : next - at);
            at = next == std::string_view::npos ? row.size() : next + 1;
            if (field.empty() || field == "\r") {
                continue;
            }
            const auto value = number_in(field);
            if (!value || count == 3) {
                return Failure{subject + " is not a pattern: line " + std::to_string(line) +
                               " is not 2θ, counts and attenuation."};
            }
            values[count++] = *value;
        }
        if (count == 0) {
            continue;
        }
        if (count < 2) {
            return Failure{subject + " is not a pattern: line " + std::to_string(line) +
                           " is not 2θ, counts and attenuation."};
        }
        if (points_left == 0) {
            return Failure{subject + " is not a pattern: its profiles hold more than " +
                           std::to_string(kMaxArchivePoints) + " points together."};
        }
        --points_left;
        scan.two_theta.push_back(values[0]);
        scan.counts.push_back(values[1] * values[2]);
    }
    return scan;
}

std::optional<double> child_number(const pugi::xml_node& node, const char* name) {
    return number_in(node.child_value(name));
}

// What the conditions state: radiation, units, counting time; a scan of another axis
// than 2θ is refused.
std::optional<std::string> apply_conditions(Pattern& scan, const pugi::xml_node& conditions,
                                            const std::string& subject) {
    const auto information = conditions.child("ScanInformation");
    const std::string axis = information.child_value("AxisName");
    if (!axis.empty() && axis.find("TwoTheta") == std::string::npos) {
        return subject + " is not a pattern: it scans " + axis + ", not 2θ.";
    }
    std::string unit = information.child_value("IntensityUnit");
    std::transform(unit.begin(), unit.end(), unit.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (unit == "cps") {
        scan.units = CountUnits::per_second;
    }
    const auto step = child_number(information, "Step");
    const auto speed = child_number(information, "Speed");
    const std::string speed_unit = information.child_value("SpeedUnit");
    std::optional<double> time;
    if (step && speed && *speed > 0 && speed_unit == "deg/min") {
        time = std::abs(*step) / *speed * 60;
    } else if (speed && (speed_unit == "sec" || speed_unit == "s")) {
        time = speed;
    }
    if (time && std::isfinite(*time) && *time > 0) {
        scan.counting_time = time;
    }
    const auto generator = conditions.select_node(".//XrayGenerator").node();
    StatedRadiation radiation;
    radiation.alpha1 = child_number(generator, "WavelengthKalpha1");
    radiation.alpha2 = child_number(generator, "WavelengthKalpha2");
    radiation.anode = generator.child_value("TargetName");
    state_radiation(scan, radiation);
    scan.scan = axis;
    return std::nullopt;
}

} // namespace

Outcome<PatternFile> read_rasx_scans(std::string_view bytes, const std::string& path) {
    const std::string subject = pattern_subject(path);
    auto archive = ZipArchive::open(bytes, subject);
    if (!archive) {
        return Failure{archive.error()};
    }
    const auto entries = profile_entries(archive->names());
    if (entries.empty()) {
        return Failure{subject + " is not a pattern: its archive holds no Data*/Profile*.txt."};
    }
    PatternFile file{"Rigaku RASX", {}};
    std::size_t points_left = kMaxArchivePoints;
    for (const auto& entry : entries) {
        const std::string profile_subject = subject + ", entry \"" + entry.profile + "\",";
        const auto text = archive->read(entry.profile);
        if (!text) {
            return Failure{text.error()};
        }
        auto scan = profile_points(text.value(), profile_subject, points_left);
        if (!scan) {
            return Failure{scan.error()};
        }
        const auto& names = archive->names();
        if (std::find(names.begin(), names.end(), entry.conditions) != names.end()) {
            auto conditions = archive->read(entry.conditions);
            if (!conditions) {
                return Failure{conditions.error()};
            }
            const std::string conditions_subject =
                subject + ", entry \"" + entry.conditions + "\",";
            pugi::xml_document document;
            if (const auto problem =
                    load_bounded_xml(document, conditions.value(), conditions_subject)) {
                return Failure{*problem};
            }
            if (const auto problem = apply_conditions(
                    scan.value(), document.child("MeasurementConditions"), conditions_subject)) {
                return Failure{*problem};
            }
        }
        file.scans.push_back(std::move(scan.value()));
    }
    return checked_scans(std::move(file), path);
}

} // namespace teravine
