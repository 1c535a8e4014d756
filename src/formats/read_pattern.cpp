// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/read_pattern.h"

#include "formats/anode.h"
#include "formats/pattern_formats.h"
#include "text/sha256.h"
#include "text/text_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

namespace teravine {
namespace {

std::string lower_suffix(const std::string& path) {
    std::string suffix = std::filesystem::path(path).extension().string();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix;
}

// What no reader is given: a device or a pipe that never ends, a file over the limit.
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
    return error ? std::nullopt : pattern_size_refusal(path, size);
}

std::string number(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string degrees(double value) {
    return number("%.4g", value);
}

std::string scan_list(const PatternFile& file) {
    std::string list;
    for (std::size_t s = 0; s < file.scans.size(); ++s) {
        list += "\n  scan " + std::to_string(s + 1) + ": " + scan_description(file.scans[s]);
    }
    return list;
}

// Two statements of Kα1 name the same radiation when they are this close (ångström):
// a file's rounding of the tabled value stays inside it, another anode does not.
constexpr double kSameWavelength = 0.005;

// Whether the scan holds the whole span, carried over to its wavelength (or the one given
// for a file that states none).
bool covers(const Pattern& scan, const CopperSpan& span, std::optional<double> given) {
    const double wavelength = scan.wavelength.value_or(given.value_or(kCuKAlpha1));
    const auto lo = carry_two_theta(span.lo, kCuKAlpha1, wavelength);
    const auto hi = carry_two_theta(span.hi, kCuKAlpha1, wavelength);
    return lo && hi && scan.two_theta.front() <= *lo && scan.two_theta.back() >= *hi;
}

} // namespace

std::optional<std::string> pattern_size_refusal(const std::string& path, std::uintmax_t bytes) {
    if (bytes > kMaxTextFileBytes) {
        return pattern_subject(path) + " is larger than 64 MiB, more than any pattern needs.";
    }
    return std::nullopt;
}

std::string scan_description(const Pattern& scan) {
    std::string text = degrees(scan.two_theta.front()) + "° to " + degrees(scan.two_theta.back()) +
                       "°, " + std::to_string(scan.two_theta.size()) + " points";
    if (!scan.scan.empty()) {
        text += " (" + scan.scan + ")";
    }
    return text;
}

namespace {

Outcome<PatternFile> read_scans_of(const std::string& path, Digest digest) {
    if (const auto refused = unreadable_by_size(path)) {
        return Failure{*refused};
    }
    const auto bytes = read_text_file(path);
    if (!bytes) {
        return Failure{bytes.error()};
    }
    const PatternFormat* format = format_of(*bytes, lower_suffix(path));
    if (format == nullptr) {
        return Failure{pattern_subject(path) + " is not in a format Teravine reads."};
    }
    auto file = format->read(*bytes, path);
    if (file && digest == Digest::sha256) {
        file.value().sha256 = sha256_hex(*bytes);
    }
    return file;
}

} // namespace

Outcome<PatternFile> read_pattern_scans(const std::string& path, Digest digest) {
    // No reader lets an exception through to the command or the window's worker: memory
    // running out on a hostile file is a refusal of that file like any other.
    try {
        return read_scans_of(path, digest);
    } catch (const std::bad_alloc&) {
        return Failure{pattern_subject(path) +
                       " cannot be read: it needs more memory than this computer has."};
    } catch (const std::exception& e) {
        return Failure{pattern_subject(path) + " cannot be read (" + e.what() + ")."};
    }
}

Outcome<Pattern> choose_scan(PatternFile file, const PatternChoice& choice, const std::string& path,
                             std::string* note) {
    const std::string subject = pattern_subject(path);
    const std::size_t count = file.scans.size();
    if (count == 0) {
        return Failure{subject + " is not a pattern: it holds no scan."};
    }
    std::size_t index = 0;
    if (choice.scan) {
        if (*choice.scan < 1 || *choice.scan > count) {
            return Failure{subject + " has no scan " + std::to_string(*choice.scan) +
                           ": it holds " + std::to_string(count) +
                           (count == 1 ? " scan." : " scans:") +
                           (count == 1 ? "" : scan_list(file))};
        }
        index = *choice.scan - 1;
    } else if (count > 1) {
        std::vector<std::size_t> covering;
        for (std::size_t s = 0; s < count && choice.covering; ++s) {
            if (covers(file.scans[s], *choice.covering, choice.wavelength)) {
                covering.push_back(s);
            }
        }
        if (covering.size() != 1) {
            const std::string which =
                covering.empty() ? ""
                                 : ", " + std::to_string(covering.size()) + " covering the range";
            return Failure{subject + " holds " + std::to_string(count) + " scans" + which + "; " +
                           std::string(choice.how_to_choose) + ":" + scan_list(file)};
        }
        index = covering.front();
        if (note != nullptr) {
            *note = subject + ": scan " + std::to_string(index + 1) + " of " +
                    std::to_string(count) + " used, the only one that covers the range: " +
                    scan_description(file.scans[index]) + ".";
        }
    }
    Pattern pattern = std::move(file.scans[index]);
    if (choice.alpha2_ratio) {
        pattern.alpha2_ratio = choice.alpha2_ratio;
    }
    if (choice.wavelength) {
        if (pattern.wavelength &&
            std::abs(*pattern.wavelength - *choice.wavelength) > kSameWavelength) {
            return Failure{subject + " states a wavelength of " +
                           number("%.5f", *pattern.wavelength) + " Å, not the " +
                           number("%.5f", *choice.wavelength) + " Å given."};
        }
        if (!pattern.wavelength) {
            pattern.wavelength = choice.wavelength;
        }
    }
    return pattern;
}

Outcome<Pattern> read_pattern_file(const std::string& path, const PatternChoice& choice,
                                   std::string* note) {
    auto file = read_pattern_scans(path);
    if (!file) {
        return Failure{file.error()};
    }
    return choose_scan(std::move(file.value()), choice, path, note);
}

} // namespace teravine
