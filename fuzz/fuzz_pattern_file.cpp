// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: every pattern reader of the table of formats on arbitrary bytes, then
// the choice of a scan and the peak width of every pattern they accept.
//
// An input that starts with a suffix line (".raw\n": a dot and at most eight more bytes)
// is a file of that suffix holding the rest; any other input is a file without a suffix.
// The reader the program would choose (format_of: signature, then suffix) reads it, and
// so does the reader the suffix names when that is another one, so that every reader is
// reached even with bytes that carry some other format's signature. fuzz/run-all turns
// each seed file "name.ext" into such an input.
#include "formats/anode.h"
#include "formats/pattern_formats.h"
#include "formats/read_pattern.h"
#include "fuzz_support.h"
#include "peaks/peak_width.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace teravine;
using teravine::fuzz::require;

constexpr std::size_t kMaxSuffix = 9; // the dot included

struct FuzzFile {
    std::string suffix; // lower case, with the dot; empty for none
    std::string_view content;
};

FuzzFile split_input(std::string_view input) {
    if (!input.empty() && input.front() == '.') {
        const auto end = input.find('\n');
        if (end != std::string_view::npos && end <= kMaxSuffix) {
            std::string suffix(input.substr(0, end));
            std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) {
                return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            });
            return {suffix, input.substr(end + 1)};
        }
    }
    return {"", input};
}

bool positive(const std::optional<double>& value) {
    return !value || (std::isfinite(*value) && *value > 0);
}

void check_scan(const Pattern& p) {
    require(p.two_theta.size() == p.counts.size(), "one count per angle");
    require(p.two_theta.size() >= kMinPatternPoints, "an accepted scan has enough points");
    for (std::size_t i = 0; i < p.two_theta.size(); ++i) {
        require(std::isfinite(p.two_theta[i]) && std::isfinite(p.counts[i]), "finite points");
        require(std::abs(p.two_theta[i]) <= 180, "2θ within ±180°");
        require(i == 0 || p.two_theta[i] > p.two_theta[i - 1], "2θ increases");
    }
    require(positive(p.wavelength) && positive(p.alpha2), "a stated wavelength is positive");
    require(!p.alpha2_ratio || (std::isfinite(*p.alpha2_ratio) && *p.alpha2_ratio >= 0),
            "a stated Kα2 ratio is a number not below 0");
    require(positive(p.counting_time), "a stated counting time is positive");
}

void check_width(const Pattern& p, const std::string& name) {
    const auto width = measure_peak(p);
    if (!width) {
        require(width.error().rfind(name + ": ", 0) == 0, "no peak is told with the name");
        return;
    }
    require(width->fwhm > 0 && std::isfinite(width->fwhm), "a measured FWHM is positive");
    require(width->height > 0 && width->left < width->right, "the crossings enclose the top");
    require(!std::isnan(width->u_fwhm) && !std::isnan(width->breadth), "no NaN is measured");
}

void check_read(const PatternFormat& format, std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    auto read = format.read(content, path);
    if (!read) {
        require(read.error().rfind(subject, 0) == 0, "a refused pattern names its file");
        return;
    }
    const PatternFile& file = *read;
    require(!file.format.empty(), "a file read has its format");
    require(!file.scans.empty(), "a file read has a scan");
    for (const Pattern& scan : file.scans) {
        check_scan(scan);
        require(scan.name == pattern_name(path), "a scan is named after its file");
    }
    const std::size_t count = file.scans.size();

    // The scan choice: none for one scan, each of several, one beyond them refused.
    const auto beyond = choose_scan(file, {count + 1, std::nullopt}, path);
    require(!beyond && beyond.error().rfind(subject, 0) == 0, "a missing scan is refused");
    const auto unchosen = choose_scan(file, {}, path);
    require(unchosen.ok() == (count == 1), "several scans need a choice");
    if (!unchosen) {
        require(unchosen.error().rfind(subject, 0) == 0, "a refused choice names its file");
    }
    const auto told = choose_scan(file, {count, kCuKAlpha1}, path);
    if (told) {
        require(told->wavelength.has_value(), "the wavelength told is kept");
    } else {
        require(told.error().rfind(subject, 0) == 0, "another wavelength is refused by name");
    }
    for (std::size_t s = 1; s <= std::min<std::size_t>(count, 4); ++s) {
        const auto chosen = choose_scan(file, {s, std::nullopt}, path);
        require(chosen.ok(), "every scan can be chosen");
        check_width(*chosen, pattern_name(path));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile input = split_input({reinterpret_cast<const char*>(data), size});
    const std::string path = "fuzz/pattern" + input.suffix;
    const PatternFormat* chosen = format_of(input.content, input.suffix);
    if (chosen != nullptr) {
        check_read(*chosen, input.content, path);
    }
    for (const PatternFormat& format : pattern_formats()) {
        const auto& suffixes = format.suffixes;
        if (&format != chosen && !input.suffix.empty() &&
            std::find(suffixes.begin(), suffixes.end(), input.suffix) != suffixes.end()) {
            check_read(format, input.content, path);
        }
    }
    return 0;
}
