// SPDX-License-Identifier: GPL-3.0-or-later
// The window's handlers of the sample table and of saving the picture.
#include "app/terav.h"

#include "app/busy_pointer.h"
#include "app/sample_table_text.h"
#include "diagram/figure_caption.h"
#include "identify/width_entry.h"
#include "text/text_file.h"

#include <algorithm>

namespace teravine {

DiagramContent Terav::content() const {
    DiagramContent shown{state_.cal, state_.grids, state_.samples, state_.grids_on,
                         state_.identical_on};
    shown.ellipses = state_.ellipses_on;
    shown.labels = state_.labels;
    return shown;
}

void Terav::labels_Click(SampleLabels labels) {
    if (labels == state_.labels) {
        return;
    }
    state_.labels = labels;
    Form_Resize();
}

void Terav::save_picture_Click() {
    const std::optional<PictureRequest> request = services_.ask_picture_file();
    if (!request) {
        return;
    }
    const BusyPointer busy(services_, state_.samples.size());
    DiagramContent shown = content();
    if (state_.ellipses_on) {
        shown.ellipse_legend = ellipse_legend(state_.samples, 1, state_.sigma, state_.sigma);
    }
    if (request->caption) {
        const float broadening = parse_box_number(services_.text(TextBox::Broad)).value_or(0.0f);
        shown.caption = figure_caption(state_.cal.name(), state_.samples,
                                       {state_.broadening.broad_rule, broadening},
                                       state_.ellipses_on ? state_.sigma : 0.0f);
    }
    if (const auto failure = services_.write_picture(shown, state_.plot, *request)) {
        services_.message(*failure);
        services_.status("Save Picture: the picture was not written");
        return;
    }
    services_.status("Picture written to " + request->path);
}

void Terav::samples_reset() {
    history_.forget();
    state_.selected.clear();
    services_.samples_changed({SampleListChange::Kind::reset, {}});
    services_.mark_samples({});
}

void Terav::mark_selected() {
    std::vector<PicturePoint> points;
    points.reserve(state_.selected.size());
    const PlotWindow& plot = state_.plot;
    for (const std::size_t row : state_.selected) {
        const SampleRecord& r = state_.samples[row].record;
        points.push_back({x_to_surface(r.iw_ad, plot.xmin, plot.xorig, plot.xunit),
                          y_to_surface(r.iw_eg, plot.ymin, plot.yorig, plot.yunit)});
    }
    services_.mark_samples(points);
}

void Terav::select_samples(std::vector<std::size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.empty() && rows.back() >= state_.samples.size()) {
        rows.pop_back();
    }
    state_.selected = std::move(rows);
    mark_selected();
}

void Terav::remove_selected_Click() {
    if (state_.selected.empty()) {
        return;
    }
    const BusyPointer busy(services_, state_.samples.size());
    SampleListChange change{SampleListChange::Kind::removed, std::move(state_.selected)};
    state_.selected.clear();
    history_.remove(state_.samples, change.rows);
    services_.status(std::to_string(change.rows.size()) +
                     (change.rows.size() == 1 ? " sample removed" : " samples removed"));
    services_.samples_changed(change);
    Form_Resize();
}

void Terav::undo_Click() {
    const BusyPointer busy(services_, state_.samples.size());
    const std::optional<SampleListChange> change = history_.undo(state_.samples);
    if (!change) {
        return;
    }
    state_.selected.clear();
    services_.samples_changed(*change);
    Form_Resize();
}

void Terav::rename_sample(std::size_t row, const std::string& typed) {
    const std::string name = one_line(typed);
    const std::size_t placed = state_.samples.size();
    if (row < placed) {
        state_.samples[row].origin.name = name;
    } else if (row - placed < state_.unplaced.size()) {
        state_.unplaced[row - placed].name = name;
    } else {
        return;
    }
    services_.status("Sample " + std::to_string(row + 1) + " named \"" + name + "\"");
    if (row < placed && state_.labels == SampleLabels::name) {
        Form_Resize();
    }
}

void Terav::export_table_Click() {
    std::string path;
    std::string title;
    if (dialog_save("CSV (*.csv)|*.csv;*.CSV|all (*.*)|*.*|", path, title) == 0) {
        return;
    }
    LineWriter out(""); // the text ends its own lines
    std::optional<std::string> failure = out.open_whole(path);
    if (!failure) {
        // The interval columns when any sample has one (the table's sigma or its own u).
        const bool intervals =
            std::any_of(state_.samples.begin(), state_.samples.end(),
                        [](const PlacedSample& s) { return s.uncertainty.has_value(); });
        out.line(sample_table_csv(state_.samples, state_.unplaced, state_.cal.name(),
                                  state_.sigma > 0 || intervals, &state_.lab));
        failure = out.close();
    }
    if (failure) {
        services_.message(*failure);
        services_.status("Export CSV: the table was not written");
        return;
    }
    services_.status("Table written to " + path);
}

} // namespace teravine
