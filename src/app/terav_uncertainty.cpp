// SPDX-License-Identifier: GPL-3.0-or-later
// The window's intervals: the sample table's sigma of the widths and Draw >
// "Uncertainty Ellipses".
#include "app/busy_pointer.h"
#include "app/sample_intervals.h"
#include "app/terav.h"
#include "diagram/draw_diagram.h"

#include <vector>

namespace teravine {
namespace {

// An interval costs some 60 µs of one core (113 identifications), shared over two cores
// as much as two samples of a full redraw: the busy pointer's measure.
constexpr std::size_t kRedrawsPerInterval = 2;

} // namespace

void Terav::measure_uncertainties(std::size_t first, bool mark) {
    SampleList& samples = state_.samples;
    if (first >= samples.size()) {
        return;
    }
    const BusyPointer busy(services_, (samples.size() - first) * kRedrawsPerInterval);
    measure_sample_intervals(state_.cal, samples, first, state_.sigma, state_.broadening.cor);
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
