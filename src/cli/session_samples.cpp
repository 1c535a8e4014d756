// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/session_samples.h"

#include "app/sample_intervals.h"
#include "identify/identify_pairs.h"
#include "lines/line_tables.h"

#include <vector>

namespace teravine::cli {

SampleList session_samples(const WindowSession& session, const Calibration& cal) {
    std::vector<float> ad;
    std::vector<float> eg;
    for (const SessionSample& sample : session.samples) {
        ad.push_back(sample.ad);
        eg.push_back(sample.eg);
    }
    std::vector<Identification> found = identify_pairs(cal, make_line_tables(cal), ad, eg);
    SampleList samples;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].placed) {
            PlacedSample& placed = samples.emplace_back(std::move(*found[i].placed));
            placed.origin = session.samples[i].origin;
        }
    }
    measure_sample_intervals(cal, samples, 0, session.sigma, session.cor);
    return samples;
}

} // namespace teravine::cli
