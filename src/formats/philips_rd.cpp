// SPDX-License-Identifier: GPL-3.0-or-later
// Layout (little-endian): "V3RD" or "V5RD"; the anode's number a byte @85 (0 Cu, 1 Mo,
// 2 Fe, 3 Cr, else another); step f64 @214, first 2θ f64 @222, last 2θ f64 @230; the
// counts from 250 (version 3) or 810 (version 5), each a u16 p standing for ⌊p²/100⌋.
#include "formats/philips_rd.h"

#include "formats/byte_reader.h"
#include "formats/stated_radiation.h"

#include <cmath>

namespace teravine {

bool looks_like_philips_rd(std::string_view bytes) {
    return bytes.starts_with("V3RD") || bytes.starts_with("V5RD");
}

Outcome<PatternFile> read_philips_rd_scans(std::string_view bytes, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (bytes.empty()) {
        return Failure{subject + " is empty."};
    }
    if (!looks_like_philips_rd(bytes)) {
        return Failure{subject + " is not a pattern: it does not start as a Philips RD file "
                                 "does."};
    }
    const ByteReader file(bytes);
    const std::size_t data_at = bytes.starts_with("V3") ? 250 : 810;
    if (!file.holds(0, data_at)) {
        return Failure{subject + " is truncated: its header ends early."};
    }
    const double step = *file.f64(214);
    const double first = *file.f64(222);
    const double last = *file.f64(230);
    if (!std::isfinite(step) || !std::isfinite(first) || !std::isfinite(last) || step <= 0 ||
        last < first) {
        return Failure{subject + " is damaged: its scan from " + std::to_string(first) + "° to " +
                       std::to_string(last) + "° by " + std::to_string(step) + "° is not a scan."};
    }
    const double steps = std::round((last - first) / step) + 1;
    const std::size_t left = (bytes.size() - data_at) / 2;
    if (steps > static_cast<double>(left)) {
        return Failure{subject + " is truncated: it ends before its " +
                       std::to_string(static_cast<unsigned long long>(std::min(steps, 1e18))) +
                       " counts."};
    }
    Pattern scan;
    const auto count = static_cast<std::size_t>(steps);
    scan.two_theta.resize(count);
    scan.counts.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double packed = *file.u16(data_at + 2 * i);
        scan.two_theta[i] = first + step * static_cast<double>(i);
        scan.counts[i] = std::floor(packed * packed / 100);
    }
    static constexpr const char* anodes[] = {"Cu", "Mo", "Fe", "Cr"};
    const auto anode = static_cast<unsigned char>(bytes[85]);
    StatedRadiation radiation;
    if (anode < 4) {
        radiation.anode = anodes[anode];
    }
    state_radiation(scan, radiation);
    return checked_scans(PatternFile{"Philips RD", {std::move(scan)}}, path);
}

} // namespace teravine
