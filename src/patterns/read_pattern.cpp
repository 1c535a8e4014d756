// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/read_pattern.h"

#include "patterns/text_pattern.h"
#include "patterns/xrdml_pattern.h"
#include "patterns/xylib_pattern.h"
#include "text/text_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace teravine {
namespace {

std::string lower_suffix(const std::string& path) {
    std::string suffix = std::filesystem::path(path).extension().string();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix;
}

bool read_as_text(const std::string& suffix) {
    return suffix == ".xy" || suffix == ".txt" || suffix == ".csv" || suffix == ".dat" ||
           suffix == ".xrdml";
}

// What xylib must not be given: a device or a pipe that never ends, a file over the limit.
std::optional<std::string> unreadable_by_size(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return pattern_subject(path) + " cannot be opened: " + error.message() + ".";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return pattern_subject(path) + " is not a pattern: it is not a regular file.";
    }
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxTextFileBytes) {
        return pattern_subject(path) + " is larger than 64 MiB, more than any pattern needs.";
    }
    return std::nullopt;
}

} // namespace

Outcome<Pattern> read_pattern_file(const std::string& path) {
    if (const auto refused = unreadable_by_size(path)) {
        return Failure{*refused};
    }
    const std::string suffix = lower_suffix(path);
    if (!read_as_text(suffix)) {
        return read_xylib_pattern(path);
    }
    const auto content = read_text_file(path);
    if (!content) {
        return Failure{content.error()};
    }
    if (suffix == ".xrdml" || looks_like_xrdml(*content)) {
        return read_xrdml_pattern(*content, path);
    }
    auto text = read_text_pattern(*content, path);
    if (text || suffix != ".dat") {
        return text;
    }
    auto other = read_xylib_pattern(path);
    // Neither reader: the two-column reader's reason is the plainer one.
    return other ? other : text;
}

} // namespace teravine
