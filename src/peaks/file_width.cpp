// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/file_width.h"

namespace teravine {

Outcome<FileReading> read_file_width(const std::string& path, const PatternChoice& choice,
                                     const PeakRange& range, const WidthMethod& method) {
    PatternChoice covering = choice;
    covering.covering = CopperSpan{range.lo, range.hi};
    std::string scan_note;
    auto pattern = read_pattern_file(path, covering, &scan_note);
    if (!pattern) {
        return Failure{pattern.error()};
    }
    auto reading = read_width(*pattern, range, method);
    if (!reading) {
        return Failure{scan_note.empty() ? reading.error() : scan_note + "\n" + reading.error()};
    }
    return FileReading{std::move(pattern.value()), std::move(reading.value()),
                       std::move(scan_note)};
}

} // namespace teravine
