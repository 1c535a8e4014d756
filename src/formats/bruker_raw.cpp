// SPDX-License-Identifier: GPL-3.0-or-later
// Layouts (offsets in bytes, little-endian):
//   v1: "RAW ", then ranges of a 152-byte header (steps u32 @0, time per step f32 @4,
//       step f32 @8, start 2θ f32 @20, Kα1 f32 @68, Kα2 f32 @72, "another range
//       follows" u32 @148) and their counts as floats; a later range may repeat "RAW ".
//   v2: "RAW2", ranges u16 @4, anode @188 (2 chars), Kα1 f32 @190, Kα2 f32 @194, ratio
//       f32 @198; ranges from 256: header length u16 @0, steps u16 @2, time f32 @8,
//       step f32 @12, start f32 @16, the counts (floats) after the header.
//   v3: "RAW1.01", status u32 @8 (1: done), ranges u32 @12, anode @608 (4 chars), Kα1
//       f64 @624, Kα2 f64 @632, ratio f64 @648; ranges from 712: header length u32 @0,
//       steps u32 @4, start 2θ f64 @16, step f64 @176, time f32 @192, supplementary
//       headers' length u32 @256, the counts (floats) after both; the date and time the
//       measurement began @16 and @26 (10 chars each).
//   v4: "RAW4.00", tagged segments from 61 (type u32, length u32; type 30 holds Kα1 f64
//       @80, Kα2 @88, ratio @104, anode @116) until a type of 0 or 160 opens the first
//       range: a 160-byte header (scan type @32, start f64 @72, step f64 @80, steps u32
//       @88, time f32 @92, used wavelength f64 @112, bytes a datum u32 @136, extra
//       header length u32 @140), its extra headers, then one datum a step, the count a
//       float at its start.
#include "formats/bruker_raw.h"

#include "formats/byte_reader.h"
#include "formats/stated_radiation.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace teravine {
namespace {

struct RawFile {
    ByteReader bytes;
    std::string subject;

    Failure truncated(const std::string& what) const {
        return Failure{subject + " is truncated: " + what + "."};
    }
    Failure damaged(const std::string& what) const {
        return Failure{subject + " is damaged: " + what + "."};
    }
};

// One range as its header states it.
struct RawRange {
    std::size_t number = 0; // 1-based, in file order
    std::optional<double> start;
    std::optional<double> step;
    std::size_t steps = 0;
    std::size_t data_at = 0; // offset of the first datum
    std::size_t datum = 4;   // bytes a step
    std::optional<double> counting_time;
    std::string label;
};

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string range_name(std::size_t number) {
    return "range " + std::to_string(number);
}

// Where the range's data end, once they are known to lie inside the file.
std::size_t data_end(const RawRange& range) {
    return range.data_at + range.steps * range.datum;
}

Outcome<Pattern> scan_of(const RawFile& file, const RawRange& range,
                         const StatedRadiation& radiation) {
    const std::string name = range_name(range.number);
    if (!range.start || !std::isfinite(*range.start)) {
        return file.damaged(name + " starts at a 2θ that is not a number");
    }
    if (!range.step || !std::isfinite(*range.step) || *range.step <= 0) {
        return file.damaged(name + " has a step of " + (range.step ? shown(*range.step) : "?") +
                            "°, not a step forward");
    }
    if (range.datum != 4 && range.datum != 8) {
        return file.damaged(name + " has data of " + std::to_string(range.datum) +
                            " bytes a step, neither 4 nor 8");
    }
    if (range.steps > file.bytes.size() / range.datum ||
        !file.bytes.holds(range.data_at, range.steps * range.datum)) {
        return file.truncated(name + " ends before its " + std::to_string(range.steps) + " counts");
    }
    Pattern scan;
    scan.two_theta.resize(range.steps);
    scan.counts.resize(range.steps);
    for (std::size_t i = 0; i < range.steps; ++i) {
        scan.two_theta[i] = *range.start + *range.step * static_cast<double>(i);
        scan.counts[i] = *file.bytes.f32(range.data_at + i * range.datum);
    }
    if (range.counting_time && std::isfinite(*range.counting_time) && *range.counting_time > 0) {
        scan.counting_time = range.counting_time;
    }
    scan.scan = range.label;
    state_radiation(scan, radiation);
    return scan;
}

// Adds the range's scan, unless it has no steps (a range planned and never measured).
std::optional<Failure> add_range(PatternFile& out, const RawFile& file, const RawRange& range,
                                 const StatedRadiation& radiation) {
    if (range.steps == 0) {
        return std::nullopt;
    }
    auto scan = scan_of(file, range, radiation);
    if (!scan) {
        return Failure{scan.error()};
    }
    out.scans.push_back(std::move(scan.value()));
    return std::nullopt;
}

constexpr std::uint32_t kRawSpaceMagic = 0x20574152; // "RAW " read as u32

Outcome<PatternFile> read_v1(const RawFile& file) {
    PatternFile out{"Bruker RAW v1", {}};
    constexpr std::size_t kHeader = 152;
    std::size_t at = 4;
    for (std::size_t number = 1;; ++number) {
        if (number > 1 && file.bytes.u32(at) == kRawSpaceMagic) {
            at += 4;
        }
        if (!file.bytes.holds(at, kHeader)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        RawRange range;
        range.number = number;
        range.steps = *file.bytes.u32(at);
        range.counting_time = file.bytes.f32(at + 4);
        range.step = file.bytes.f32(at + 8);
        range.start = file.bytes.f32(at + 20);
        range.data_at = at + kHeader;
        StatedRadiation radiation;
        radiation.alpha1 = file.bytes.f32(at + 68);
        radiation.alpha2 = file.bytes.f32(at + 72);
        const bool another_follows = *file.bytes.u32(at + 148) != 0;
        if (auto failure = add_range(out, file, range, radiation)) {
            return *failure;
        }
        at = data_end(range);
        if (!another_follows || at >= file.bytes.size()) {
            break;
        }
    }
    return out;
}

Outcome<PatternFile> read_v2(const RawFile& file) {
    PatternFile out{"Bruker RAW v2", {}};
    constexpr std::size_t kFileHeader = 256;
    constexpr std::size_t kRangeHeader = 48;
    if (!file.bytes.holds(0, kFileHeader)) {
        return file.truncated("its header ends early");
    }
    StatedRadiation radiation;
    radiation.anode = *file.bytes.text(188, 2);
    radiation.alpha1 = file.bytes.f32(190);
    radiation.alpha2 = file.bytes.f32(194);
    radiation.ratio = file.bytes.f32(198);
    const std::size_t ranges = *file.bytes.u16(4);
    std::size_t at = kFileHeader;
    for (std::size_t number = 1; number <= ranges; ++number) {
        if (!file.bytes.holds(at, kRangeHeader)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        const std::size_t header = *file.bytes.u16(at);
        if (header < kRangeHeader) {
            return file.damaged("the header of " + range_name(number) + " is " +
                                std::to_string(header) + " bytes long, fewer than 48");
        }
        RawRange range;
        range.number = number;
        range.steps = *file.bytes.u16(at + 2);
        range.counting_time = file.bytes.f32(at + 8);
        range.step = file.bytes.f32(at + 12);
        range.start = file.bytes.f32(at + 16);
        range.data_at = at + header;
        if (auto failure = add_range(out, file, range, radiation)) {
            return *failure;
        }
        at = data_end(range);
    }
    return out;
}

Outcome<PatternFile> read_v3(const RawFile& file) {
    PatternFile out{"Bruker RAW v3", {}};
    constexpr std::size_t kFileHeader = 712;
    constexpr std::size_t kRangeHeader = 304;
    if (!file.bytes.holds(0, kFileHeader)) {
        return file.truncated("its header ends early");
    }
    StatedRadiation radiation;
    radiation.anode = *file.bytes.text(608, 4);
    radiation.alpha1 = file.bytes.f64(624);
    radiation.alpha2 = file.bytes.f64(632);
    radiation.ratio = file.bytes.f64(648);
    const std::size_t ranges = *file.bytes.u32(12);
    // A measurement still running or stopped (status 2, 3 or 4; 1 is done) may end
    // before the ranges it planned.
    const bool stopped = *file.bytes.u32(8) > 1;
    std::size_t at = kFileHeader;
    for (std::size_t number = 1; number <= ranges; ++number) {
        if (stopped && at == file.bytes.size() && !out.scans.empty()) {
            break;
        }
        if (!file.bytes.holds(at, kRangeHeader)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        const std::size_t header = *file.bytes.u32(at);
        const std::size_t supplementary = *file.bytes.u32(at + 256);
        if (header < kRangeHeader) {
            return file.damaged("the header of " + range_name(number) + " is " +
                                std::to_string(header) + " bytes long, fewer than 304");
        }
        if (!file.bytes.holds(at, header) || !file.bytes.holds(at + header, supplementary)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        RawRange range;
        range.number = number;
        range.steps = *file.bytes.u32(at + 4);
        range.start = file.bytes.f64(at + 16);
        range.step = file.bytes.f64(at + 176);
        range.counting_time = file.bytes.f32(at + 192);
        range.data_at = at + header + supplementary;
        if (auto failure = add_range(out, file, range, radiation)) {
            return *failure;
        }
        at = data_end(range);
    }
    // The date and time the measurement began, as written (date @16, time @26, 10 chars each).
    const std::string date = *file.bytes.text(16, 10) + " " + *file.bytes.text(26, 10);
    for (Pattern& scan : out.scans) {
        scan.date = date.size() > 1 ? date : std::string();
    }
    return out;
}

// The scan types of version 4 whose start and step are of 2θ.
bool scans_two_theta(const std::string& type) {
    return type.find("Coupled") != std::string::npos ||
           type.find("Detector") != std::string::npos || type.find("2Theta") != std::string::npos ||
           type.find("TwoTheta") != std::string::npos;
}

Outcome<PatternFile> read_v4(const RawFile& file) {
    PatternFile out{"Bruker RAW v4", {}};
    constexpr std::size_t kFileHeader = 61;
    constexpr std::size_t kRangeHeader = 160;
    StatedRadiation radiation;
    std::size_t at = kFileHeader;
    for (;;) {
        const auto type = file.bytes.u32(at);
        if (!type) {
            return file.truncated("its header ends before its first range");
        }
        if (*type == 0 || *type == 160) {
            break;
        }
        const auto length = file.bytes.u32(at + 4);
        if (!length || !file.bytes.holds(at, *length)) {
            return file.truncated("its header ends inside a segment");
        }
        if (*length < 8) {
            return file.damaged("a segment of its header is " + std::to_string(*length) +
                                " bytes long, fewer than 8");
        }
        if (*type == 30 && *length >= 120) {
            radiation.alpha1 = file.bytes.f64(at + 80);
            radiation.alpha2 = file.bytes.f64(at + 88);
            radiation.ratio = file.bytes.f64(at + 104);
            radiation.anode = *file.bytes.text(at + 116, 4);
        }
        at += *length;
    }
    std::size_t ranges = 0;
    for (std::size_t number = 1; at < file.bytes.size(); ++number) {
        const auto type = file.bytes.u32(at);
        if (!type || (*type != 0 && *type != 160)) {
            break;
        }
        if (!file.bytes.holds(at, kRangeHeader)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        const std::size_t extra = *file.bytes.u32(at + 140);
        if (!file.bytes.holds(at + kRangeHeader, extra)) {
            return file.truncated("the header of " + range_name(number) + " ends early");
        }
        RawRange range;
        range.number = number;
        range.label = *file.bytes.text(at + 32, 24);
        range.start = file.bytes.f64(at + 72);
        range.step = file.bytes.f64(at + 80);
        range.steps = *file.bytes.u32(at + 88);
        range.counting_time = file.bytes.f32(at + 92);
        range.datum = *file.bytes.u32(at + 136);
        range.data_at = at + kRangeHeader + extra;
        StatedRadiation stated = radiation;
        if (!stated.alpha1 || !(*stated.alpha1 > 0)) {
            stated.alpha1 = file.bytes.f64(at + 112); // the range's own wavelength
        }
        ++ranges;
        if (scans_two_theta(range.label)) {
            if (auto failure = add_range(out, file, range, stated)) {
                return *failure;
            }
        } else if (range.datum > 8 || range.steps > file.bytes.size() / 8 ||
                   !file.bytes.holds(range.data_at, range.steps * range.datum)) {
            return file.truncated(range_name(number) + " ends before its " +
                                  std::to_string(range.steps) + " counts");
        }
        at = data_end(range);
    }
    if (out.scans.empty() && ranges > 0) {
        return Failure{file.subject + " is not a pattern: none of its ranges is a scan of 2θ."};
    }
    return out;
}

} // namespace

bool looks_like_bruker_raw(std::string_view bytes) {
    // The magic, and a NUL among the first bytes: a text that happens to start with
    // "RAW " is no Bruker file.
    const bool magic = bytes.starts_with("RAW ") || bytes.starts_with("RAW2") ||
                       bytes.starts_with("RAW1.01") || bytes.starts_with("RAW4.00");
    return magic && bytes.substr(0, 256).find('\0') != std::string_view::npos;
}

Outcome<PatternFile> read_bruker_raw_scans(std::string_view bytes, const std::string& path) {
    const RawFile file{ByteReader(bytes), pattern_subject(path)};
    if (bytes.empty()) {
        return Failure{file.subject + " is empty."};
    }
    Outcome<PatternFile> read = Failure{""};
    if (bytes.starts_with("RAW4.00")) {
        read = read_v4(file);
    } else if (bytes.starts_with("RAW1.01")) {
        read = read_v3(file);
    } else if (bytes.starts_with("RAW2")) {
        read = read_v2(file);
    } else if (bytes.starts_with("RAW ")) {
        read = read_v1(file);
    } else {
        return Failure{file.subject + " is not a pattern: it does not start as a Bruker RAW "
                                      "file does."};
    }
    if (!read) {
        return read;
    }
    return checked_scans(std::move(read.value()), path);
}

} // namespace teravine
