// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/bruker_brml.h"

#include "formats/bounded_xml.h"
#include "formats/stated_radiation.h"
#include "formats/zip_archive.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <regex>

namespace teravine {
namespace {

// Where the values of one row lie: 2θ, counts, and the absorber's factor if any.
struct Columns {
    std::size_t two_theta = 0;
    std::size_t counts = 0;
    std::optional<std::size_t> absorption;
};

std::optional<double> number_in(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> value_of(const pugi::xml_node& node) {
    if (!node) {
        return std::nullopt;
    }
    if (const auto attribute = node.attribute("Value")) {
        return number_in(attribute.value());
    }
    return number_in(node.child_value());
}

std::optional<std::size_t> index_of(const pugi::xml_attribute& attribute) {
    const auto value = number_in(attribute.value());
    if (!value || *value < 0 || *value > 1e6 || *value != std::floor(*value)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*value);
}

bool is_two_theta(const char* axis) {
    return std::strcmp(axis, "TwoTheta") == 0 || std::strcmp(axis, "2Theta") == 0;
}

// The columns as the route's <DataViews> describe them; else as older files lay them
// out: two columns, then one a scan axis, the counts last (no absorber's factor is
// guessed at).
std::optional<Columns> columns_of(const pugi::xml_node& route, std::size_t row_width) {
    Columns columns;
    bool two_theta = false;
    bool counts = false;
    for (const auto& view : route.child("DataViews").children("RawDataView")) {
        const auto start = index_of(view.attribute("Start"));
        if (!start) {
            continue;
        }
        const std::string logic = view.attribute("LogicName").value();
        if (logic == "AbsorptionFactor") {
            columns.absorption = *start;
        }
        if (const auto varying = view.child("Varying")) {
            std::size_t field = 0;
            for (const auto& definition : varying.children("FieldDefinitions")) {
                if (is_two_theta(definition.attribute("AxisId").value()) ||
                    is_two_theta(definition.attribute("FieldName").value())) {
                    columns.two_theta = *start + field;
                    two_theta = true;
                }
                ++field;
            }
        }
        if (const auto recording = view.child("Recording"); recording && !counts) {
            columns.counts = *start;
            counts = true;
        }
    }
    if (two_theta && counts) {
        return columns;
    }
    const auto axes = route.child("ScanInformation").child("ScanAxes");
    std::size_t axis = 0;
    for (const auto& info : axes.children("ScanAxisInfo")) {
        if (is_two_theta(info.attribute("AxisId").value()) ||
            is_two_theta(info.attribute("AxisName").value())) {
            columns.two_theta = 2 + axis;
            columns.counts = row_width - 1;
            columns.absorption.reset();
            if (columns.two_theta < columns.counts) {
                return columns;
            }
        }
        ++axis;
    }
    return std::nullopt;
}

// The route that holds the measured rows: the one flagged as measured, else the last
// with rows.
pugi::xml_node measured_route(const pugi::xml_node& raw_data) {
    pugi::xml_node chosen;
    for (const auto& route : raw_data.child("DataRoutes").children("DataRoute")) {
        if (!route.child("Datum")) {
            continue;
        }
        if (std::strcmp(route.attribute("RouteFlag").value(), "Measured") == 0) {
            return route;
        }
        chosen = route;
    }
    return chosen;
}

// More values than a row of a scan holds: a row is a point's 2θ, counts and a few more.
constexpr std::size_t kMostRowValues = 4096;

std::string too_many_points(const std::string& subject) {
    return subject + " is not a pattern: its scans hold more than " +
           std::to_string(kMaxArchivePoints) + " points together.";
}

std::size_t values_in(const char* row) {
    return static_cast<std::size_t>(std::count(row, row + std::strlen(row), ',')) + 1;
}

StatedRadiation radiation_in(const pugi::xml_node& root) {
    StatedRadiation radiation;
    auto tube = root.select_node(".//WaveLengthAlpha1").node().parent();
    if (!tube) {
        tube = root.select_node(".//TubeMaterial").node().parent();
    }
    if (!tube) {
        return radiation;
    }
    radiation.alpha1 = value_of(tube.child("WaveLengthAlpha1"));
    radiation.alpha2 = value_of(tube.child("WaveLengthAlpha2"));
    radiation.ratio = value_of(tube.child("WaveLengthRatio"));
    radiation.anode = tube.child_value("TubeMaterial");
    return radiation;
}

// The values of a row, a NaN for each that is not a number; false when it holds more
// than `most`.
bool split_row(std::string_view text, std::vector<double>& row, std::size_t most) {
    row.clear();
    for (;;) {
        if (row.size() == most) {
            return false;
        }
        const auto comma = text.find(',');
        row.push_back(number_in(text.substr(0, comma)).value_or(NAN));
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

// A still detector's exposure: a single <Datum> row holding every channel's counts from
// the recorded column on (the fourth in files without <DataViews>), the channels' 2θ on
// the scan's scale axis.
std::optional<Outcome<Pattern>>
still_exposure(const pugi::xml_node& route, const std::string& subject, std::size_t& points_left) {
    const auto scale = route.child("ScanInformation").child("ScaleAxes").child("ScaleAxisInfo");
    const auto datum = route.child("Datum");
    if (!scale || datum.next_sibling("Datum")) {
        return std::nullopt;
    }
    const auto start = number_in(scale.child_value("Start"));
    const auto increment = number_in(scale.child_value("Increment"));
    if (!start || !increment || !std::isfinite(*start) || !std::isfinite(*increment) ||
        *increment <= 0) {
        return Failure{subject + " is damaged: its detector's scale has no start and step."};
    }
    std::size_t first = 3;
    for (const auto& view : route.child("DataViews").children("RawDataView")) {
        if (view.child("Recording")) {
            first = index_of(view.attribute("Start")).value_or(first);
            break;
        }
    }
    std::vector<double> row;
    if (!split_row(datum.child_value(), row, first + points_left)) {
        return Failure{too_many_points(subject)};
    }
    Pattern scan;
    points_left -= row.size() > first ? row.size() - first : 0;
    for (std::size_t i = first; i < row.size(); ++i) {
        scan.two_theta.push_back(*start + *increment * static_cast<double>(i - first));
        scan.counts.push_back(row[i]);
    }
    return scan;
}

// The rows' 2θ and counts, from the columns the route describes.
Outcome<Pattern> rows_of(const pugi::xml_node& route, const std::string& subject,
                         std::size_t& points_left) {
    const auto columns = columns_of(route, values_in(route.child("Datum").child_value()));
    if (!columns) {
        return Failure{subject + " is not a pattern: its scan has no 2θ axis."};
    }
    const std::size_t needed =
        std::max({columns->two_theta, columns->counts, columns->absorption.value_or(0)}) + 1;
    Pattern scan;
    std::vector<double> row;
    std::size_t number = 0;
    for (const auto& datum : route.children("Datum")) {
        ++number;
        const std::size_t most = std::max(needed, kMostRowValues);
        if (points_left == 0 || !split_row(datum.child_value(), row, most)) {
            return Failure{points_left == 0 ? too_many_points(subject)
                                            : subject + " is damaged: its <Datum> row " +
                                                  std::to_string(number) + " has more than " +
                                                  std::to_string(most) + " values."};
        }
        --points_left;
        if (row.size() < needed) {
            return Failure{subject + " is damaged: its <Datum> row " + std::to_string(number) +
                           " has " + std::to_string(row.size()) + " values, not " +
                           std::to_string(needed) + "."};
        }
        double counts = row[columns->counts];
        if (columns->absorption) {
            const double factor = row[*columns->absorption];
            if (std::isfinite(factor) && factor > 0) {
                counts *= factor;
            }
        }
        scan.two_theta.push_back(row[columns->two_theta]);
        scan.counts.push_back(counts);
    }
    return scan;
}

Outcome<Pattern> scan_in(const pugi::xml_node& raw_data, const std::string& subject,
                         std::size_t& points_left) {
    const auto route = measured_route(raw_data);
    if (!route) {
        return Failure{subject + " is not a pattern: it has no <Datum> rows."};
    }
    auto points = still_exposure(route, subject, points_left);
    if (!points) {
        points = rows_of(route, subject, points_left);
    }
    if (!*points) {
        return Failure{points->error()};
    }
    Pattern scan = std::move(points->value());
    const auto information = route.child("ScanInformation");
    auto time = value_of(information.child("TimePerStep"));
    if (!time) {
        time = value_of(information.child("TimePerStepEffective"));
    }
    if (time && std::isfinite(*time) && *time > 0) {
        scan.counting_time = time;
    }
    scan.scan = information.attribute("VisibleName").value();
    while (!scan.scan.empty() && scan.scan.back() == ' ') {
        scan.scan.pop_back();
    }
    return scan;
}

// The RawData entries in file order of their folder and number.
std::vector<std::string> raw_data_entries(const std::vector<std::string>& names) {
    static const std::regex raw_data(R"((.*/)?RawData(\d+)\.xml)", std::regex::icase);
    std::vector<std::pair<std::string, std::string>> found;
    for (const auto& name : names) {
        std::smatch match;
        if (name.size() < 256 && std::regex_match(name, match, raw_data)) {
            std::string number = match[2].str();
            number.insert(0, 12 - std::min<std::size_t>(12, number.size()), '0');
            found.emplace_back(match[1].str() + number, name);
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> entries;
    for (auto& entry : found) {
        entries.push_back(std::move(entry.second));
    }
    return entries;
}

} // namespace

Outcome<PatternFile> read_brml_scans(std::string_view bytes, const std::string& path) {
    const std::string subject = pattern_subject(path);
    auto archive = ZipArchive::open(bytes, subject);
    if (!archive) {
        return Failure{archive.error()};
    }
    const auto entries = raw_data_entries(archive->names());
    if (entries.empty()) {
        return Failure{subject + " is not a pattern: its archive holds no RawData*.xml."};
    }
    PatternFile file{"Bruker BRML", {}};
    std::size_t points_left = kMaxArchivePoints;
    for (const auto& entry : entries) {
        const std::string entry_subject = subject + ", entry \"" + entry + "\",";
        auto text = archive->read(entry);
        if (!text) {
            return Failure{text.error()};
        }
        pugi::xml_document document;
        if (const auto problem = load_bounded_xml(document, text.value(), entry_subject)) {
            return Failure{*problem};
        }
        const auto raw_data = document.child("RawData");
        auto scan = scan_in(raw_data, entry_subject, points_left);
        if (!scan) {
            return Failure{scan.error()};
        }
        auto radiation = radiation_in(raw_data);
        if (!radiation.alpha1) {
            // Older files state the tube only in the measurement container beside it.
            const auto folder = entry.substr(0, entry.rfind('/') + 1);
            auto container = archive->read(folder + "MeasurementContainer.xml");
            pugi::xml_document measurement;
            if (container && !load_bounded_xml(measurement, container.value(), entry_subject)) {
                radiation = radiation_in(measurement);
            }
        }
        state_radiation(scan.value(), radiation);
        file.scans.push_back(std::move(scan.value()));
    }
    return checked_scans(std::move(file), path);
}

} // namespace teravine
