// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/xylib_pattern.h"

#include <xylib/xylib.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <exception>
#include <fstream>
#include <memory>

namespace teravine {
namespace {

bool same_key(const std::string& key, const char* wanted) {
    std::string upper;
    for (char c : key) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return upper == wanted;
}

// The Kα1 wavelength the instrument's meta-data state, under the names the formats use.
std::optional<double> stated_wavelength(const xylib::MetaData& meta) {
    for (std::size_t i = 0; i < meta.size(); ++i) {
        const std::string& key = meta.get_key(i);
        if (!same_key(key, "_WL1") && !same_key(key, "ALPHA1") && !same_key(key, "WL1") &&
            !same_key(key, "WAVELENGTH")) {
            continue;
        }
        const std::string& text = meta.get(key);
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && std::isfinite(value) && value > 0.1 && value < 10) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace

Outcome<Pattern> read_xylib_pattern(const std::string& path) {
    const std::string subject = pattern_subject(path);
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return Failure{subject + " cannot be opened."};
    }
    // The data set is made here rather than by xylib::load_file, which loses it when
    // reading fails.
    std::unique_ptr<xylib::DataSet> data;
    try {
        const xylib::FormatInfo* format = xylib::guess_filetype(path, stream, nullptr);
        if (format == nullptr) {
            return Failure{subject + " is not in a format Teravine reads."};
        }
        stream.clear();
        stream.seekg(0);
        data.reset(format->ctor());
        data->load_data(stream, path.c_str());
    } catch (const std::exception& e) {
        return Failure{subject + " is not in a format Teravine reads (" + e.what() + ")."};
    }
    if (!data || data->get_block_count() < 1) {
        return Failure{subject + " is not a pattern: it holds no scan."};
    }
    const xylib::Block* block = data->get_block(0);
    if (block->get_column_count() < 2) {
        return Failure{subject + " is not a pattern: its scan has no counts."};
    }
    const xylib::Column& x = block->get_column(1);
    const xylib::Column& y = block->get_column(2);
    // A column of evenly spaced angles counts no points of its own (-1).
    const int n = block->get_point_count() >= 0 ? block->get_point_count() : y.get_point_count();
    Pattern pattern;
    pattern.name = pattern_name(path);
    for (int i = 0; i < n; ++i) {
        pattern.two_theta.push_back(x.get_value(i));
        pattern.counts.push_back(y.get_value(i));
    }
    pattern.wavelength = stated_wavelength(block->meta);
    if (!pattern.wavelength) {
        pattern.wavelength = stated_wavelength(data->meta);
    }
    const auto place = [](std::size_t i) { return "point " + std::to_string(i + 1); };
    if (const auto problem = pattern_problem(pattern, subject, place)) {
        return Failure{*problem};
    }
    return pattern;
}

} // namespace teravine
