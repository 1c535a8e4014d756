// SPDX-License-Identifier: GPL-3.0-or-later
// The window's intervals: the sample table's sigma of the widths and Draw >
// "Uncertainty Ellipses".
#include "app/busy_pointer.h"
#include "app/terav.h"
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
    if (state_.sigma <= 0) {
        for (std::size_t i = first; i < samples.size(); ++i) {
            samples[i].uncertainty.reset();
        }
        return;
    }
    const BusyPointer busy(services_, (samples.size() - first) * kRedrawsPerInterval);
    std::vector<MeasuredPair> pairs;
    pairs.reserve(samples.size() - first);
    for (std::size_t i = first; i < samples.size(); ++i) {
        pairs.push_back(measured_pair(samples[i], state_.broadening.cor));
    }
    const unsigned workers = pairs.size() == 1 ? 1 : 0; // one is quicker without threads
    auto found = width_uncertainties(state_.cal, pairs, {state_.sigma, state_.sigma}, workers);
    for (std::size_t i = 0; i < found.size(); ++i) {
        samples[first + i].uncertainty = std::move(found[i]);
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
