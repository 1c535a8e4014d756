// SPDX-License-Identifier: GPL-3.0-or-later
// The window's handlers for the reference lines and the Reichweite.
#include "app/terav.h"

#include "app/busy_pointer.h"
#include "identify/identify_pairs.h"
#include "lines/const_line_file.h"
#include "lines/const_lines.h"

namespace teravine {

void Terav::load_reich() {
    ::teravine::load_reich(state_.cal, state_.plot);
    state_.line_tables = make_line_tables(state_.cal);
    services_.set_window_caption(std::string(kAppTitle) + ": " + state_.cal.name());
}

void Terav::switch_reich(std::int16_t reich) {
    if (state_.cal.reich == reich) {
        return;
    }
    show_check(MenuItem::R_0, reich == 1);
    show_check(MenuItem::R_1, reich == 2);
    show_check(MenuItem::R_3, reich == 3);
    state_.cal.reich = reich;
    state_.cal.iw_range[static_cast<std::size_t>(reich)] = reich == 3 ? 0.9f : 1.1f;
    load_reich();
    refresh_after_reich();
}

void Terav::R_0_Click() {
    switch_reich(1);
}
void Terav::R_1_Click() {
    switch_reich(2);
}
void Terav::R_3_Click() {
    switch_reich(3);
}

void Terav::refresh_after_reich() {
    const BusyPointer busy(services_, state_.samples.size());
    std::vector<float> ad;
    std::vector<float> eg;
    std::vector<SampleOrigin> origins;
    ad.reserve(state_.samples.size());
    eg.reserve(state_.samples.size());
    origins.reserve(state_.samples.size());
    for (const PlacedSample& s : state_.samples) {
        ad.push_back(s.record.iw_ad);
        eg.push_back(s.record.iw_eg);
        origins.push_back(s.origin);
    }
    state_.samples.clear();
    // Identified afresh on all cores, then placed in their order as clicks would.
    std::vector<Identification> found = identify_pairs(state_.cal, state_.line_tables, ad, eg);
    // The redraw at the end draws them all: each is placed without drawing it first, as
    // the checked families are recomputed without a redraw each.
    for (std::size_t i = 0; i < found.size(); ++i) {
        place_identified(ad[i], eg[i], found[i], false, origins[i]);
    }
    measure_uncertainties(0, false);
    samples_reset();
    if (state_.grids_on.n) {
        compute_const_n_lines(state_.cal, state_.grids);
        show_check(MenuItem::C_N, true);
    }
    if (state_.grids_on.s) {
        compute_const_s_lines(state_.cal, state_.grids);
        show_check(MenuItem::C_perc, true);
    }
    if (state_.grids_on.fp) {
        compute_const_fp_lines(state_.cal, state_.grids);
        show_check(MenuItem::c_inf, true);
    }
    Form_Resize();
}

// The families are recomputed on every click, on or off, before the mark flips.
void Terav::C_k_Click() {
    state_.grids_on.k = !state_.grids_on.k;
    show_check(MenuItem::C_k, state_.grids_on.k);
    Form_Resize();
}

void Terav::C_N_Click() {
    compute_const_n_lines(state_.cal, state_.grids);
    state_.grids_on.n = !state_.grids_on.n;
    show_check(MenuItem::C_N, state_.grids_on.n);
    Form_Resize();
}

void Terav::C_perc_Click() {
    compute_const_s_lines(state_.cal, state_.grids);
    state_.grids_on.s = !state_.grids_on.s;
    show_check(MenuItem::C_perc, state_.grids_on.s);
    Form_Resize();
}

void Terav::c_inf_Click() {
    compute_const_fp_lines(state_.cal, state_.grids);
    state_.grids_on.fp = !state_.grids_on.fp;
    show_check(MenuItem::c_inf, state_.grids_on.fp);
    Form_Resize();
}

void Terav::exp_li_Click() {
    std::string path;
    std::string title;
    if (dialog_save("File S.W (*.IWL)|*.IWL;*.iwl|all (*.*)|*.*|", path, title) == 0) {
        return;
    }
    const auto written = export_const_lines(path, state_.grids, state_.grids_on, state_.cal.name());
    if (!written) {
        services_.message(written.error());
        services_.status("Export Constant line: the file was not written");
        return;
    }
    services_.status("Constant lines written to " + path);
}

void Terav::Id_k_Click() {
    state_.identical_on.k = !state_.identical_on.k;
    show_check(MenuItem::Id_k, state_.identical_on.k);
    Form_Resize();
}

void Terav::Id_n_Click() {
    state_.identical_on.n = !state_.identical_on.n;
    show_check(MenuItem::Id_n, state_.identical_on.n);
    Form_Resize();
}

void Terav::Id_s_Click() {
    state_.identical_on.s = !state_.identical_on.s;
    show_check(MenuItem::Id_s, state_.identical_on.s);
    Form_Resize();
}

void Terav::Id_inf_Click() {
    state_.identical_on.fp = !state_.identical_on.fp;
    show_check(MenuItem::Id_inf, state_.identical_on.fp);
    Form_Resize();
}

} // namespace teravine
