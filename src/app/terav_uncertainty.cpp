// SPDX-License-Identifier: GPL-3.0-or-later
// The window's intervals: the sample table's sigma of the widths and Draw >
// "Uncertainty Ellipses".
#include "app/busy_pointer.h"
#include "app/terav.h"
#include "batch/sample_list_file.h"
#include "diagram/draw_diagram.h"

#include <vector>

namespace teravine {
namespace {

// An interval costs some 60 µs of one core (113 identifications), shared over two cores
// as much as two samples of a full redraw: the busy pointer's measure.
constexpr std::size_t kRedrawsPerInterval = 2;

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

void Terav::measure_uncertainties(std::size_t first, bool mark) {
    SampleList& samples = state_.samples;
    if (first >= samples.size()) {
        return;
    }
    const std::optional<WidthSigmas> table =
        state_.sigma > 0 ? std::optional(WidthSigmas{state_.sigma, state_.sigma}) : std::nullopt;
    const BusyPointer busy(services_, (samples.size() - first) * kRedrawsPerInterval);
    // The samples under the table's sigma together on every core; a sample with its own
    // u from its measurement on its own.
    std::vector<MeasuredPair> pairs;
    std::vector<std::size_t> shared;
    for (std::size_t i = first; i < samples.size(); ++i) {
        const SampleOrigin& o = samples[i].origin;
        samples[i].uncertainty.reset();
        if (o.u_ad || o.u_eg) {
            const MeasuredPair pair = measured_pair(samples[i], state_.broadening.cor);
            samples[i].uncertainty = width_uncertainty(state_.cal, pair.ad, pair.eg, pair.removal,
                                                       *sample_sigmas(o.u_ad, o.u_eg, table));
        } else if (table) {
            pairs.push_back(measured_pair(samples[i], state_.broadening.cor));
            shared.push_back(i);
        }
    }
    if (!pairs.empty()) {
        const unsigned workers = pairs.size() == 1 ? 1 : 0; // one is quicker without threads
        auto found = width_uncertainties(state_.cal, pairs, *table, workers);
        for (std::size_t i = 0; i < found.size(); ++i) {
            samples[shared[i]].uncertainty = std::move(found[i]);
        }
    }
    if (mark && state_.ellipses_on) {
        for (std::size_t i = first; i < samples.size(); ++i) {
            draw_uncertainty_outline(picture_, state_.plot, samples[i]);
        }
        services_.picture_changed();
    }
}

void Terav::set_sigma(float sigma) {
    if (!(sigma >= 0) || sigma == state_.sigma) {
        return;
    }
    state_.sigma = sigma;
    measure_uncertainties(0, false);
    // Every row shows other intervals, or none.
    services_.samples_changed({SampleListChange::Kind::reset, {}});
    if (state_.ellipses_on) {
        Form_Resize();
    }
}

void Terav::ellipses_Click() {
    state_.ellipses_on = !state_.ellipses_on;
    show_check(MenuItem::ellipses, state_.ellipses_on);
    if (state_.ellipses_on && state_.sigma <= 0) {
        services_.message("Set the standard uncertainty of the widths (σ) in the sample "
                          "table's tool bar to draw the ellipses.");
    }
    Form_Resize();
}

} // namespace teravine
