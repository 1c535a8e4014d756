// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/measured_pattern.h"

#include "standards/calibration_method.h"
#include "standards/stated_setup.h"

namespace teravine {

Outcome<Measured> measure_file(const std::string& path, const PatternChoice& choice,
                               const PeakRange& range, const WidthMethod& method) {
    PatternChoice covering = choice;
    covering.covering = CopperSpan{range.lo, range.hi};
    std::string scan_note;
    const auto pattern = read_pattern_file(path, covering, &scan_note);
    if (!pattern) {
        return Failure{pattern.error()};
    }
    auto reading = read_width(*pattern, range, method);
    if (!reading) {
        return Failure{scan_note.empty() ? reading.error() : scan_note + "\n" + reading.error()};
    }
    Measured m{path,         *pattern, reading->width, reading->method, std::move(reading->fit),
               std::nullopt, scan_note};
    if (m.width.converted) {
        m.wavelength = pattern->wavelength;
    }
    return m;
}

void flag_against(Measured& m, const std::optional<InstrumentProfile>& profile,
                  const WidthMethod& method, const PeakRange& range) {
    if (!profile) {
        return;
    }
    const std::string measured = full_method_name(method, range, fitted_alpha2_ratio(m.fit));
    for (const std::string& reason :
         instrument_mismatches(*profile, measured, stated_setup(m.pattern))) {
        m.width.quality = m.width.quality == "ok" ? reason : m.width.quality + ";" + reason;
    }
}

} // namespace teravine
