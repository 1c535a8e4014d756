// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/measure_pairs.h"

#include "app/measured_pair.h"
#include "batch/csv_records.h"
#include "batch/result_csv.h"
#include "batch/result_target.h"
#include "batch/sample_list_file.h"
#include "batch/width_file.h"
#include "cli/commands.h"
#include "cli/instrument_option.h"
#include "cli/measure_rows.h"
#include "cli/standard_streams.h"
#include "identify/shared_work.h"
#include "identify/width_entry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <vector>

namespace teravine::cli {
namespace {

// The list's pairs, their paths taken from the list's folder; a header line
// "name,ad,eg", blank lines and lines starting with # are skipped. Fields are CSV fields:
// a quoted name or path may hold commas.
Outcome<std::vector<PatternPair>> read_pair_list(const std::string& path) {
    const auto text = read_input_text(path);
    if (!text) {
        return Failure{text.error()};
    }
    const std::filesystem::path folder = is_standard_stream(path)
                                             ? std::filesystem::path()
                                             : std::filesystem::path(path).parent_path();
    const std::string subject = "The list \"" + path + "\"";
    // Comment lines are emptied first, line numbers kept: a comment may hold anything.
    std::string content;
    content.reserve(text->size());
    for (std::size_t from = 0; from < text->size();) {
        auto end = text->find('\n', from);
        end = end == std::string::npos ? text->size() : end + 1;
        const std::string_view line(text->data() + from, end - from);
        const bool comment = csv::trimmed(line).substr(0, 1) == "#";
        content += comment ? std::string_view(line.back() == '\n' ? "\n" : "") : line;
        from = end;
    }
    std::vector<PatternPair> pairs;
    csv::RecordReader reader(content, ',', subject);
    while (!reader.at_end()) {
        auto record = reader.next();
        if (!record) {
            return Failure{record.error()};
        }
        std::vector<std::string> fields;
        for (const csv::Field& f : record->fields) {
            fields.emplace_back(f.quoted ? std::string_view(f.text) : csv::trimmed(f.text));
        }
        if (csv::blank(*record)) {
            continue;
        }
        if (fields.size() != 3 || fields[1].empty() || fields[2].empty()) {
            return Failure{subject + " has at line " + std::to_string(record->line) +
                           " no name,ad,eg."};
        }
        if (pairs.empty() && fields[0] == "name" && fields[1] == "ad" && fields[2] == "eg") {
            continue;
        }
        pairs.push_back({fields[0], (folder / fields[1]).string(), (folder / fields[2]).string()});
    }
    return pairs;
}

int fail(const std::string& description) {
    std::cerr << description << "\n";
    return kExitFailure;
}

// The folder's pairs, the files that could not be paired named on standard error with the
// reason.
Outcome<std::vector<PatternPair>> read_folder_pairs(const PairsJob& job) {
    auto pairing = pair_folder(job.folder, job.rule);
    if (!pairing) {
        return Failure{pairing.error()};
    }
    for (const UnpairedFile& file : pairing->unpaired) {
        std::cerr << "Not paired: " << file.path << ": " << file.reason << "\n";
    }
    if (pairing->pairs.empty()) {
        return Failure{
            "teravine-cli measure: the folder \"" + job.folder + "\" holds no pair of an AD and " +
            "an EG pattern" +
            (job.rule.ad.empty()
                 ? " (names such as \"pit 3_AD.raw\" and \"pit 3_EG.raw\"; --ad and --eg pair "
                   "others)"
                 : " whose names --ad " + job.rule.ad + " and --eg " + job.rule.eg + " pair") +
            "; nothing was written."};
    }
    return std::move(pairing.value().pairs);
}

// What one pair gave: its lines for standard error, its CSV lines, and, when both sides
// were measured, its widths.
struct PairOutcome {
    std::vector<std::string> messages;
    std::vector<std::string> csv_lines;
    std::optional<std::string> width_line;
    ListedSample sample;
};

std::optional<std::string> pair_doubt(const ListedSample& sample) {
    return listed_doubt(sample.name, sample.quality_ad, sample.quality_eg);
}

PairOutcome measure_one(const PatternPair& pair, const PairMeasuring& how) {
    PairOutcome outcome;
    PairMeasurement measured = measure_pair(pair, how);
    for (const auto& [side, m] : {std::pair{"AD", &measured.ad}, std::pair{"EG", &measured.eg}}) {
        if (!*m) {
            outcome.messages.push_back("Sample " + pair.name + " left out: " + m->error());
            continue;
        }
        for (const std::string& note : measure_notes(side, **m)) {
            outcome.messages.push_back(note);
        }
        outcome.csv_lines.push_back(csv_field(pair.name) + "," + side + "," +
                                    csv_field((*m)->file) + "," + measured_columns(**m, ','));
    }
    if (measured.sample) {
        outcome.width_line =
            width_text(measured.ad->width.fwhm) + "," + width_text(measured.eg->width.fwhm);
        outcome.sample = std::move(*measured.sample);
        if (const auto doubt = pair_doubt(outcome.sample)) {
            outcome.messages.push_back(*doubt);
        }
    }
    return outcome;
}

// Every pair measured, the pairs shared out over the cores; the lines for standard error
// are written in the list's order as soon as the pairs before them are measured.
std::vector<PairOutcome> measure_every_pair(const std::vector<PatternPair>& pairs,
                                            const PairMeasuring& how) {
    std::vector<PairOutcome> outcomes(pairs.size());
    std::vector<bool> done(pairs.size(), false);
    std::size_t written = 0;
    std::mutex lock;
    share_out(
        pairs.size(), 0,
        [&] {
            return [&](std::size_t i) {
                PairOutcome outcome = measure_one(pairs[i], how);
                const std::lock_guard<std::mutex> hold(lock);
                outcomes[i] = std::move(outcome);
                done[i] = true;
                for (; written < pairs.size() && done[written]; ++written) {
                    for (const auto& message : outcomes[written].messages) {
                        std::cerr << message << "\n";
                    }
                }
            };
        },
        1);
    return outcomes;
}

} // namespace

int run_measure_pairs(const PairsJob& job) {
    float broadening = 0;
    if (!job.broadening.empty()) {
        const auto typed = parse_box_number(job.broadening);
        if (!typed) {
            return fail("teravine-cli measure: --broadening wants a number of degrees 2-theta");
        }
        broadening = *typed;
    }
    const bool folder = !job.folder.empty();
    const std::string& source = folder ? job.folder : job.list;
    const auto pairs = folder ? read_folder_pairs(job) : read_pair_list(job.list);
    if (!pairs) {
        return fail(pairs.error());
    }
    if (const auto same = same_output({{job.output, "-o"}, {job.csv, "--csv"}})) {
        return fail("teravine-cli measure: " + *same);
    }
    for (const auto* output : {&job.output, &job.csv}) {
        if (output->empty() || is_standard_stream(*output)) {
            continue;
        }
        if (!folder) {
            if (const auto same = result_replaces_input(*output, job.list, "pattern list")) {
                return fail(*same);
            }
        }
        if (!job.instrument_file.empty()) {
            if (const auto same =
                    result_replaces_input(*output, job.instrument_file, "instrument profile")) {
                return fail(*same);
            }
        }
        for (const auto& pair : *pairs) {
            for (const auto* input : {&pair.ad, &pair.eg}) {
                if (const auto same = result_replaces_input(*output, *input, "pattern")) {
                    return fail(*same);
                }
            }
        }
    }

    std::vector<std::string> width_lines;
    std::vector<ListedSample> listed; // the same pairs, named, for an output ending in .csv
    std::vector<std::string> csv_lines{
        "name,side,file,position,fwhm,breadth,height,u_fwhm,method,quality"};
    const PairMeasuring how{job.choice, job.range, job.method, job.instrument,
                            broadening, nullptr,   {}};
    for (auto& outcome : measure_every_pair(*pairs, how)) {
        csv_lines.insert(csv_lines.end(), outcome.csv_lines.begin(), outcome.csv_lines.end());
        if (outcome.width_line) {
            width_lines.push_back(std::move(*outcome.width_line));
            listed.push_back(std::move(outcome.sample));
        }
    }
    if (width_lines.size() > static_cast<std::size_t>(kMaxWidthSamples)) {
        return fail("teravine-cli measure: more than 32767 pairs do not fit in one width file");
    }

    // An empty width file would replace a good one with nothing: none is written.
    if (width_lines.empty()) {
        return fail("teravine-cli measure: no pair of the " +
                    std::string(folder ? "folder" : "list") + " \"" + source +
                    "\" could be measured; nothing was written.");
    }
    LineWriter out;
    if (const auto failure = open_output_whole(out, job.output)) {
        return fail(*failure);
    }
    if (is_sample_list_path(job.output)) {
        // The doubts go with the widths: the window and `treat` show them.
        out.line(sample_list_header(true, true));
        for (const ListedSample& sample : listed) {
            out.line(sample_list_line(sample, true, true));
        }
    } else {
        out.line("Widths measured from " + source);
        out.line(std::to_string(width_lines.size()));
        out.line(csv_number(broadening));
        for (const auto& line : width_lines) {
            out.line(line);
        }
    }
    if (const auto failure = out.close()) {
        return fail(*failure);
    }
    if (!job.csv.empty()) {
        LineWriter csv;
        if (const auto failure = open_output_whole(csv, job.csv)) {
            return fail(*failure);
        }
        for (const auto& line : csv_lines) {
            csv.line(line);
        }
        if (const auto failure = csv.close()) {
            return fail(*failure);
        }
    }
    if (job.method.fits()) {
        std::cerr << kFitNote << "\n";
    }
    const auto doubtful_pairs = std::count_if(
        listed.begin(), listed.end(), [](const auto& s) { return pair_doubt(s).has_value(); });
    std::cerr << "Wrote " << output_name(job.output) << ": " << width_lines.size()
              << (width_lines.size() == 1 ? " pair" : " pairs") << " measured, "
              << pairs->size() - width_lines.size() << " left out";
    if (doubtful_pairs > 0) {
        std::cerr << ", " << doubtful_pairs << " with doubtful widths";
    }
    std::cerr << ".\n";
    return width_lines.size() == pairs->size() ? kExitOk : kExitSomeLeftOut;
}

} // namespace teravine::cli
