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
#include <memory>
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
    if (begin_treat_file()) {
        const BusyPointer busy(services_, treatment_->run->total());
        while (advance_treatment(treatment_->run->total())) {
        }
    }
}

void Terav::open_sample_list_Click() {
    if (begin_sample_list()) {
        const BusyPointer busy(services_, treatment_->run->total());
        while (advance_treatment(treatment_->run->total())) {
        }
    }
}

bool Terav::begin_treat_file() {
    while (advance_treatment(SIZE_MAX)) { // one treatment at a time
    }
    std::string in_path;
    if (dialog_open("File S.W (*.IW)|*.IW;*.iw|all (*.*)|*.*|", in_path) == 0) {
        return false;
    }
    if (const auto problem = special_file_problem(in_path)) {
        services_.message(*problem);
        return false;
    }
    const Broadening& br = state_.broadening;
    auto widths = read_width_file(in_path);
    if (!widths) {
        services_.message(widths.error());
        return false;
    }
    auto job = std::make_unique<TreatmentJob>();
    job->measured = widths.value();
    job->corrected = std::move(widths.value());
    correct_widths(job->corrected, br.broad_rule, br.cor);

    std::string out_path;
    std::string title;
    if (dialog_save("File S.W. out (*.IWO)|*.IWO;*.iwo|all (*.*)|*.*|", out_path, title) == 0) {
        return false;
    }
    if (const auto same = result_replaces_input(out_path, in_path, "width file")) {
        services_.message(*same);
        return false;
    }
    if (auto cannot_open = job->out.open_whole(out_path)) {
        services_.status(treat_status(static_cast<int>(job->corrected.ad.size()), 0, false) +
                         beyond_range_note(state_.samples, state_.samples.size()));
        services_.message(*cannot_open);
        return false;
    }
    start_treatment(std::move(job), rule_name(br.broad_rule));
    return true;
}

bool Terav::begin_sample_list() {
    while (advance_treatment(SIZE_MAX)) {
    }
    std::string in_path;
    if (dialog_open("Sample list (*.csv)|*.csv;*.CSV|all (*.*)|*.*|", in_path) == 0) {
        return false;
    }
    if (const auto problem = special_file_problem(in_path)) {
        services_.message(*problem);
        return false;
    }
    auto list = read_sample_list_file(in_path);
    if (!list) {
        services_.message(list.error());
        return false;
    }
    start_list_treatment(std::move(list.value()), in_path, "Open Sample List");
    return true;
}

void Terav::place_sample_list(const NamedList& list, const std::string& source,
                              const std::string& action) {
    while (advance_treatment(SIZE_MAX)) {
    }
    start_list_treatment(list, source, action);
    const BusyPointer busy(services_, treatment_->run->total());
    while (advance_treatment(treatment_->run->total())) {
    }
}

void Terav::start_list_treatment(NamedList list, const std::string& source, std::string action) {
    const Broadening& br = state_.broadening;
    auto job = std::make_unique<TreatmentJob>();
    job->measured = widths_of_list(list, source);
    job->corrected = job->measured;
    correct_widths(job->corrected, br.broad_rule, br.cor);
    job->list = std::move(list); // a list places its samples and writes no result file
    job->action = std::move(action);
    start_treatment(std::move(job), rule_name(br.broad_rule));
}

void Terav::start_treatment(std::unique_ptr<TreatmentJob> job, std::string_view rule) {
    // Every sample is identified once, with its lines, on all cores; the accepted ones are
    // then placed in file order exactly as one click after another would.
    job->run = std::make_unique<TreatmentRun>(job->corrected, state_.cal, state_.line_tables, rule,
                                              job->out);
    job->first = state_.samples.size();
    state_.unplaced.clear();
    treatment_ = std::move(job);
}

bool Terav::advance_treatment(std::size_t samples) {
    if (!treatment_) {
        return false;
    }
    const bool more = treatment_->run->advance(samples);
    place_slice(*treatment_);
    if (!more) {
        finish_treatment();
    }
    return more;
}

std::pair<std::size_t, std::size_t> Terav::treatment_progress() const {
    return treatment_ ? std::pair(treatment_->run->done(), treatment_->run->total())
                      : std::pair<std::size_t, std::size_t>(0, 0);
}

void Terav::place_slice(TreatmentJob& job) {
    const std::size_t first = state_.samples.size();
    const WidthFile& measured = job.measured;
    const CsvTreatment how{state_.cal.name(), state_.broadening.broad_rule, measured.broadening};
    std::vector<TreatedPair>& pairs = job.run->treated().pairs;
    for (TreatedPair& pair : pairs) {
        const std::size_t i = pair.index;
        const ListedSample* listed = job.list ? &job.list->samples[i] : nullptr;
        if (!pair.accepted()) {
            CsvTreatment own = how;
            own.broadening = measured.broadening_of(i);
            const SampleStatus why =
                sample_status(pair, measured.ad[i], measured.eg[i], pair.ad, pair.eg, own);
            state_.unplaced.push_back({pair.name, measured.ad[i], measured.eg[i],
                                       std::string(status_text(why)), corrected_width(pair.ad),
                                       corrected_width(pair.eg),
                                       listed != nullptr ? listed->quality_ad : std::string(),
                                       listed != nullptr ? listed->quality_eg : std::string()});
            continue;
        }
        if (sample_list_full()) {
            job.room = false; // told once, after the file is written
            continue;
        }
        SampleOrigin origin;
        origin.ad = measured.ad[i];
        origin.eg = measured.eg[i];
        origin.broadening = measured.broadening_of(i);
        origin.rule = state_.broadening.broad_rule;
        origin.measured = true;
        origin.name = pair.name;
        if (listed != nullptr) {
            origin.u_ad = listed->u_ad;
            origin.u_eg = listed->u_eg;
            origin.quality_ad = listed->quality_ad;
            origin.quality_eg = listed->quality_eg;
            origin.n_profile = listed->n_profile;
        }
        place_identified(pair.ad, pair.eg, pair.found, true, origin);
    }
    pairs.clear();                      // placed: the run keeps only its counts
    measure_uncertainties(first, true); // all at once, on both cores
    services_.samples_changed({SampleListChange::Kind::reset, {}}); // the rows not placed
}

void Terav::finish_treatment() {
    const std::unique_ptr<TreatmentJob> job = std::move(treatment_);
    const Treatment treated = job->run->finish();
    const auto placed = state_.samples.size() - job->first;
    if (job->list) {
        const std::size_t listed = job->list->samples.size();
        services_.status(job->action + ": " + std::to_string(listed) + " samples, " +
                         std::to_string(placed) + " placed, " + std::to_string(listed - placed) +
                         " not placed" + beyond_range_note(state_.samples, job->first));
        if (treated.failure) {
            services_.message(*treated.failure);
        }
    } else {
        services_.status(treat_status(static_cast<int>(job->corrected.ad.size()),
                                      static_cast<int>(placed), treated.written) +
                         beyond_range_note(state_.samples, job->first));
        if (treated.failure) {
            services_.message(*treated.failure);
        } else if (const auto unread = unread_numbers_message(job->corrected)) {
            services_.message(*unread);
        }
    }
    if (!job->room) {
        services_.message(kSampleLimitMessage);
    }
}

} // namespace teravine
