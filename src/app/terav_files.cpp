// SPDX-License-Identifier: GPL-3.0-or-later
// The window's handlers that read files: a correction table and a whole width file.
#include "app/terav.h"

#include "app/action_status.h"
#include "app/busy_pointer.h"
#include "app/sample_marking.h"
#include "batch/result_csv.h"
#include "batch/result_target.h"
#include "batch/sample_list_file.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "model/correction_file.h"

#include <filesystem>
#include <optional>

namespace teravine {
namespace {

// A pipe or a device picked in the dialog would block the window while it waits for
// data that may never come; only regular files are read here.
std::optional<std::string> special_file_problem(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || status.type() == std::filesystem::file_type::regular) {
        return std::nullopt; // a missing file is reported by the reader
    }
    return "The file \"" + path + "\" is not a regular file (a pipe, a device or a folder) and " +
           "cannot be read.";
}

// A width as the rule corrected it; -1, a width it could not correct, is none.
std::optional<float> corrected_width(float width) {
    return width == -1.0f ? std::nullopt : std::optional<float>(width);
}

} // namespace

void Terav::file_option_Click() {
    std::string path;
    Broadening& br = state_.broadening;
    if (dialog_open(" CORRECTION (*.cor)|*.COR|Text (*.txt)|*.TXT|all (*.*)|*.*|", path) == 0) {
        services_.select_option(BroadeningOption::Mixture);
        prof_option_Click(kRuleMixture);
        return;
    }
    if (const auto problem = special_file_problem(path)) {
        services_.message(*problem);
        services_.select_option(BroadeningOption::Mixture);
        prof_option_Click(kRuleMixture);
        return;
    }
    auto loaded = read_correction_file(path);
    br.cor = loaded.table; // what was read before a failure stays in the table
    if (!loaded.error.empty()) {
        services_.message(loaded.error);
        services_.select_option(BroadeningOption::Mixture);
        prof_option_Click(kRuleMixture);
        return;
    }
    br.broad_rule = kRuleTable;
    br.label_file = "Used File: " + path;
    services_.set_caption(Caption::label_file, br.label_file);
}

void Terav::Tr_fi_Click() {
    std::string in_path;
    if (dialog_open("File S.W (*.IW)|*.IW;*.iw|all (*.*)|*.*|", in_path) == 0) {
        return;
    }
    if (const auto problem = special_file_problem(in_path)) {
        services_.message(*problem);
        return;
    }
    const Broadening& br = state_.broadening;
    auto widths = read_width_file(in_path);
    if (!widths) {
        services_.message(widths.error());
        return;
    }
    const WidthFile measured = widths.value();
    correct_widths(widths.value(), br.broad_rule, br.cor);

    std::string out_path;
    std::string title;
    if (dialog_save("File S.W. out (*.IWO)|*.IWO;*.iwo|all (*.*)|*.*|", out_path, title) == 0) {
        return;
    }
    if (const auto same = result_replaces_input(out_path, in_path, "width file")) {
        services_.message(*same);
        return;
    }
    bool limit_reached = false;
    bool written = false;
    int placed = 0;
    const std::optional<std::string> failure = [&]() -> std::optional<std::string> {
        const BusyPointer busy(services_, widths->ad.size());
        LineWriter out;
        if (auto cannot_open = out.open_whole(out_path)) {
            return cannot_open;
        }
        // Every sample is identified once, with its lines, on all cores; the accepted ones
        // are then placed in file order exactly as one click after another would.
        Treatment treated = treat_widths(widths.value(), state_.cal, state_.line_tables,
                                         rule_name(br.broad_rule), out);
        const std::size_t before = state_.samples.size();
        limit_reached = !place_treated(treated, measured, nullptr);
        placed = static_cast<int>(state_.samples.size() - before);
        written = treated.written;
        return treated.failure;
    }();
    services_.status(treat_status(static_cast<int>(widths->ad.size()), placed, written) +
                     beyond_range_note(state_.samples,
                                       state_.samples.size() - static_cast<std::size_t>(placed)));
    if (failure) {
        services_.message(*failure);
    } else if (const auto unread = unread_numbers_message(widths.value())) {
        services_.message(*unread);
    }
    if (limit_reached) {
        services_.message(kSampleLimitMessage);
    }
}

bool Terav::place_treated(Treatment& treated, const WidthFile& measured, const NamedList* list) {
    const std::size_t first = state_.samples.size();
    bool room = true;
    state_.unplaced.clear();
    const CsvTreatment how{state_.cal.name(), state_.broadening.broad_rule, measured.broadening};
    for (TreatedPair& pair : treated.pairs) {
        if (!pair.accepted()) {
            const std::size_t i = pair.index;
            CsvTreatment own = how;
            own.broadening = measured.broadening_of(i);
            const SampleStatus why =
                sample_status(pair, measured.ad[i], measured.eg[i], pair.ad, pair.eg, own);
            const ListedSample* listed = list != nullptr ? &list->samples[i] : nullptr;
            state_.unplaced.push_back({pair.name, measured.ad[i], measured.eg[i],
                                       std::string(status_text(why)), corrected_width(pair.ad),
                                       corrected_width(pair.eg),
                                       listed != nullptr ? listed->quality_ad : std::string(),
                                       listed != nullptr ? listed->quality_eg : std::string()});
            continue;
        }
        if (sample_list_full()) {
            room = false; // told once, after the file is written
            continue;
        }
        const std::size_t i = pair.index;
        SampleOrigin origin;
        origin.ad = measured.ad[i];
        origin.eg = measured.eg[i];
        origin.broadening = measured.broadening_of(i);
        origin.rule = state_.broadening.broad_rule;
        origin.measured = true;
        origin.name = pair.name;
        if (list != nullptr) {
            origin.u_ad = list->samples[i].u_ad;
            origin.u_eg = list->samples[i].u_eg;
            origin.quality_ad = list->samples[i].quality_ad;
            origin.quality_eg = list->samples[i].quality_eg;
        }
        place_identified(pair.ad, pair.eg, pair.found, true, origin);
    }
    measure_uncertainties(first, true);                             // all at once, on both cores
    services_.samples_changed({SampleListChange::Kind::reset, {}}); // the rows not placed
    return room;
}

void Terav::open_sample_list_Click() {
    std::string in_path;
    if (dialog_open("Sample list (*.csv)|*.csv;*.CSV|all (*.*)|*.*|", in_path) == 0) {
        return;
    }
    if (const auto problem = special_file_problem(in_path)) {
        services_.message(*problem);
        return;
    }
    const auto list = read_sample_list_file(in_path);
    if (!list) {
        services_.message(list.error());
        return;
    }
    place_sample_list(*list, in_path, "Open Sample List");
}

void Terav::place_sample_list(const NamedList& list, const std::string& source,
                              const std::string& action) {
    const Broadening& br = state_.broadening;
    const WidthFile measured = widths_of_list(list, source);
    WidthFile widths = measured;
    correct_widths(widths, br.broad_rule, br.cor);
    bool room = true;
    {
        const BusyPointer busy(services_, widths.ad.size());
        LineWriter nowhere; // a list places its samples and writes no result file
        Treatment treated =
            treat_widths(widths, state_.cal, state_.line_tables, rule_name(br.broad_rule), nowhere);
        const std::size_t before = state_.samples.size();
        room = place_treated(treated, measured, &list);
        const auto placed = state_.samples.size() - before;
        services_.status(action + ": " + std::to_string(list.samples.size()) + " samples, " +
                         std::to_string(placed) + " placed, " +
                         std::to_string(list.samples.size() - placed) + " not placed" +
                         beyond_range_note(state_.samples, before));
        if (treated.failure) {
            services_.message(*treated.failure);
        }
    }
    if (!room) {
        services_.message(kSampleLimitMessage);
    }
}

} // namespace teravine
