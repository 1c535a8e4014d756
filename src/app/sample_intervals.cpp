// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sample_intervals.h"

#include "batch/sample_list_file.h"

#include <optional>
#include <vector>

namespace teravine {
namespace {

// The pair a sample's region starts from: its widths as measured with the broadening that
// placed it, or its widths as placed (a click, or a correction table loaded since that no
// longer gives the same point).
MeasuredPair measured_pair(const PlacedSample& sample, const CorrectionTable& table) {
    const SampleRecord& r = sample.record;
    const SampleOrigin& o = sample.origin;
    if (o.measured) {
        const MeasuredPair pair{o.ad, o.eg, {o.broadening, o.rule, &table}};
        float ad = o.ad;
        float eg = o.eg;
        remove_inst_from_pair(ad, eg, o.broadening, o.rule, table);
        if (ad == r.iw_ad && eg == r.iw_eg) {
            return pair;
        }
    }
    return {r.iw_ad, r.iw_eg, {}};
}

} // namespace

void measure_sample_intervals(const Calibration& cal, SampleList& samples, std::size_t first,
                              float sigma, const CorrectionTable& table) {
    const std::optional<WidthSigmas> shared_sigmas =
        sigma > 0 ? std::optional(WidthSigmas{sigma, sigma}) : std::nullopt;
    std::vector<MeasuredPair> pairs;
    for (std::size_t i = first; i < samples.size(); ++i) {
        const SampleOrigin& o = samples[i].origin;
        pairs.push_back(measured_pair(samples[i], table));
        pairs.back().sigmas = sample_sigmas(o.u_ad, o.u_eg, shared_sigmas);
    }
    const unsigned workers = pairs.size() == 1 ? 1 : 0; // one is quicker without threads
    auto found = width_uncertainties(cal, pairs, std::nullopt, workers);
    for (std::size_t i = 0; i < found.size(); ++i) {
        samples[first + i].uncertainty = std::move(found[i]);
    }
}

} // namespace teravine
