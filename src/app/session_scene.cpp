// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/session_scene.h"

#include "app/action_status.h"
#include "app/sample_intervals.h"
#include "diagram/figure_caption.h"
#include "identify/identify_pairs.h"
#include "identify/width_entry.h"
#include "lines/line_tables.h"

namespace teravine {

UnplacedSample no_longer_placed(const SessionSample& sample, const Identification& found) {
    const SampleOrigin& o = sample.origin;
    return {o.name,
            o.measured ? o.ad : sample.ad,
            o.measured ? o.eg : sample.eg,
            not_placed_reason(sample.ad, sample.eg, found, o.measured ? o.rule : kRuleMixture),
            sample.ad,
            sample.eg,
            o.quality_ad,
            o.quality_eg};
}

SessionScene session_scene(const WindowSession& session, bool caption) {
    SessionScene scene{std::make_unique<DiagramScene>(), {}};
    DiagramScene& d = *scene.diagram;
    d.set_up(session.reich, session.grids_on);
    d.identical_on = session.identical_on;
    d.labels = session.labels;
    d.ellipses = session.ellipses;

    std::vector<float> ad;
    std::vector<float> eg;
    for (const SessionSample& sample : session.samples) {
        ad.push_back(sample.ad);
        eg.push_back(sample.eg);
    }
    std::vector<Identification> found = identify_pairs(d.cal, make_line_tables(d.cal), ad, eg);
    const float range = d.cal.range();
    for (std::size_t i = 0; i < found.size(); ++i) {
        const SampleOrigin& origin = session.samples[i].origin;
        if (!found[i].placed) {
            scene.unplaced.push_back(no_longer_placed(session.samples[i], found[i]));
            continue;
        }
        PlacedSample& placed = d.samples.emplace_back(std::move(*found[i].placed));
        placed.origin = origin;
        placed.beyond_range = placed.record.iw_ad > range || placed.record.iw_eg > range;
    }
    scene.unplaced.insert(scene.unplaced.end(), session.unplaced.begin(), session.unplaced.end());
    measure_sample_intervals(d.cal, d.samples, 0, session.sigma, session.cor);

    if (d.ellipses) {
        d.legend = ellipse_legend(d.samples, 1, session.sigma, session.sigma);
    }
    if (caption) {
        const float broadening = parse_box_number(session.broadening_text).value_or(0.0f);
        d.caption = figure_caption(d.cal.name(), d.samples, {session.broad_rule, broadening},
                                   d.ellipses ? session.sigma : 0);
    }
    return scene;
}

} // namespace teravine
