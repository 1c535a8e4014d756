// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/measured_pattern.h"

#include "peaks/file_width.h"
#include "standards/calibration_method.h"
#include "standards/stated_setup.h"

namespace teravine {

Outcome<Measured> measure_file(const std::string& path, const PatternChoice& choice,
                               const PeakRange& range, const WidthMethod& method) {
    auto read = read_file_width(path, choice, range, method);
    if (!read) {
        return Failure{read.error()};
    }
    FileReading& r = read.value();
    Measured m{path,
               std::move(r.pattern),
               r.reading.width,
               std::move(r.reading.method),
               std::move(r.reading.fit),
               std::nullopt,
               false,
               std::move(r.scan_note)};
    if (m.width.converted) {
        m.wavelength = m.pattern.wavelength;
        m.wavelength_given = choice.wavelength.has_value();
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
