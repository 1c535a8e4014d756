// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Save Session…" and "Open Session…": the window's state to a file and back; and
// "Save Report…", that state as a report.
#include "app/terav.h"

#include "app/action_status.h"
#include "app/busy_pointer.h"
#include "app/session_scene.h"
#include "identify/identify_pairs.h"
#include "lines/const_lines.h"
#include "text/text_file.h"

namespace teravine {
namespace {

constexpr const char* kSessionFilter = "Teravine session (*.json)|*.json;*.JSON|all (*.*)|*.*|";

// "7 samples, 2 not placed": what a session holds, as the status bar says it.
std::string samples_status(const SampleList& placed, const std::vector<UnplacedSample>& unplaced) {
    std::string text = std::to_string(placed.size()) + " samples";
    if (!unplaced.empty()) {
        text += ", " + std::to_string(unplaced.size()) + " not placed";
    }
    return text;
}

} // namespace

WindowSession Terav::current_session() const {
    WindowSession s;
    s.reich = state_.cal.reich;
    s.broad_rule = state_.broadening.broad_rule;
    s.broadening_text = services_.text(TextBox::Broad);
    s.cor = state_.broadening.cor;
    s.cor_label = state_.broadening.label_file;
    s.grids_on = state_.grids_on;
    s.identical_on = state_.identical_on;
    s.labels = state_.labels;
    s.sigma = state_.sigma;
    s.ellipses = state_.ellipses_on;
    for (const PlacedSample& sample : state_.samples) {
        s.samples.push_back({sample.record.iw_ad, sample.record.iw_eg, sample.origin});
    }
    s.unplaced = state_.unplaced;
    s.lab = state_.lab;
    return s;
}

void Terav::save_session_Click() {
    std::string path;
    std::string title;
    if (dialog_save(kSessionFilter, path, title) == 0) {
        return;
    }
    // Written whole: a failure leaves an older session of that name as it was.
    if (const auto failure = write_file_whole(path, session_json(current_session()))) {
        services_.message(*failure);
        services_.status("Save Session: the session was not written");
        return;
    }
    state_.lab.session_file = path;
    services_.status("Save Session: " + samples_status(state_.samples, state_.unplaced) +
                     ", written to " + path);
}

void Terav::save_report_Click() {
    std::string path;
    std::string title;
    if (dialog_save("PDF report (*.pdf)|*.pdf;*.PDF|", path, title) == 0) {
        return;
    }
    // Written whole, as every output: a failure leaves an older report of that name as it was.
    if (const auto failure = services_.write_report(current_session(), path)) {
        services_.message(*failure);
        services_.status("Save Report: the report was not written");
        return;
    }
    services_.status("Report written to " + path);
}

void Terav::open_session_Click() {
    std::string path;
    if (dialog_open(kSessionFilter, path) == 0) {
        return;
    }
    // The whole file is read and checked before anything in the window changes.
    auto session = read_session_file(path);
    if (!session) {
        services_.message(session.error());
        return;
    }
    session.value().lab.session_file = path;
    restore_session(*session);
    services_.status("Open Session: " + samples_status(state_.samples, state_.unplaced) +
                     beyond_range_note(state_.samples, 0));
    services_.session_opened();
}

std::optional<Measurement> Terav::latest_measurement() const {
    for (auto sample = state_.samples.rbegin(); sample != state_.samples.rend(); ++sample) {
        if (sample->origin.measurement) {
            return sample->origin.measurement;
        }
    }
    return std::nullopt;
}

void Terav::restore_session(const WindowSession& s) {
    if (state_.cal.reich != s.reich) {
        show_check(MenuItem::R_0, s.reich == 1);
        show_check(MenuItem::R_1, s.reich == 2);
        show_check(MenuItem::R_3, s.reich == 3);
        state_.cal.reich = s.reich;
        state_.cal.iw_range[static_cast<std::size_t>(s.reich)] = s.reich == 3 ? 0.9f : 1.1f;
        load_reich();
    }
    Broadening& br = state_.broadening;
    br.broad_rule = s.broad_rule;
    br.cor = s.cor;
    br.label_file = s.cor_label;
    services_.select_option(static_cast<BroadeningOption>(s.broad_rule));
    services_.set_caption(Caption::label_file, br.label_file);
    services_.set_text(TextBox::Broad, s.broadening_text);
    state_.lab = s.lab;
    show_lab_calibration();

    state_.grids_on = s.grids_on;
    state_.identical_on = s.identical_on;
    if (s.grids_on.n) {
        compute_const_n_lines(state_.cal, state_.grids);
    }
    if (s.grids_on.s) {
        compute_const_s_lines(state_.cal, state_.grids);
    }
    if (s.grids_on.fp) {
        compute_const_fp_lines(state_.cal, state_.grids);
    }
    const std::pair<MenuItem, bool> checks[] = {
        {MenuItem::C_k, s.grids_on.k},      {MenuItem::C_N, s.grids_on.n},
        {MenuItem::C_perc, s.grids_on.s},   {MenuItem::c_inf, s.grids_on.fp},
        {MenuItem::Id_k, s.identical_on.k}, {MenuItem::Id_n, s.identical_on.n},
        {MenuItem::Id_s, s.identical_on.s}, {MenuItem::Id_inf, s.identical_on.fp},
        {MenuItem::ellipses, s.ellipses}};
    for (const auto& [item, on] : checks) {
        show_check(item, on);
    }
    state_.labels = s.labels;
    state_.sigma = s.sigma;
    services_.show_sigma(s.sigma);
    state_.ellipses_on = s.ellipses;

    // The samples identified afresh on all cores, then placed in their order.
    const BusyPointer busy(services_, s.samples.size());
    std::vector<float> ad;
    std::vector<float> eg;
    for (const SessionSample& sample : s.samples) {
        ad.push_back(sample.ad);
        eg.push_back(sample.eg);
    }
    state_.samples.clear();
    state_.unplaced.clear();
    std::vector<Identification> found = identify_pairs(state_.cal, state_.line_tables, ad, eg);
    // A sample this program no longer places (a session edited by hand, say) stays in the
    // table with the reason, before those that were not placed when it was saved.
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!found[i].placed) {
            state_.unplaced.push_back(no_longer_placed(s.samples[i], found[i]));
            continue;
        }
        place_identified(ad[i], eg[i], found[i], false, s.samples[i].origin);
    }
    state_.unplaced.insert(state_.unplaced.end(), s.unplaced.begin(), s.unplaced.end());
    measure_uncertainties(0, false);
    samples_reset();
    Form_Resize();
}

} // namespace teravine
