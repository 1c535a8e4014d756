// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measured_pair.h"

#include <cstdlib>

namespace teravine {

PairMeasurement measure_pair(const PatternPair& pair, const PairMeasuring& how) {
    PairMeasurement measured{measure_file(pair.ad, how.choice, how.range, how.method),
                             measure_file(pair.eg, how.choice, how.range, how.method),
                             std::nullopt};
    for (Outcome<Measured>* side : {&measured.ad, &measured.eg}) {
        if (*side) {
            flag_against(side->value(), how.instrument, how.method, how.range);
        }
    }
    if (!measured.ad || !measured.eg) {
        return measured;
    }
    const PeakWidth& ad = measured.ad->width;
    const PeakWidth& eg = measured.eg->width;
    ListedSample sample;
    sample.name = pair.name;
    // The widths a width file would hold, so that the list places what it would.
    sample.ad = std::strtof(width_text(ad.fwhm).c_str(), nullptr);
    sample.eg = std::strtof(width_text(eg.fwhm).c_str(), nullptr);
    sample.broadening = how.broadening;
    sample.u_ad = static_cast<float>(ad.u_fwhm);
    sample.u_eg = static_cast<float>(eg.u_fwhm);
    sample.quality_ad = ad.quality;
    sample.quality_eg = eg.quality;
    measured.sample = std::move(sample);
    return measured;
}

} // namespace teravine
