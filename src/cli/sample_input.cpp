// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/sample_input.h"

#include "batch/sample_list_file.h"
#include "cli/rule_options.h"
#include "cli/standard_streams.h"

#include <filesystem>

namespace teravine::cli {

Outcome<SamplesInput> read_samples_input(const std::string& path) {
    if (!is_sample_list_path(path)) {
        auto widths = read_widths(path);
        if (!widths) {
            return Failure{widths.error()};
        }
        return SamplesInput{std::move(widths.value()), {}, {}, {}, {}};
    }
    const auto text = read_input_text(path);
    if (!text) {
        return Failure{text.error()};
    }
    const auto list = read_sample_list_text(*text, "The list \"" + path + "\"");
    if (!list) {
        return Failure{list.error()};
    }
    // The result file's title line names the list without its folder.
    const std::string title = "Sample list " + std::filesystem::path(path).filename().string();
    SamplesInput input{widths_of_list(*list, title), {}, {}, {}, {}};
    for (const ListedSample& sample : list->samples) {
        input.u_ad.push_back(sample.u_ad);
        input.u_eg.push_back(sample.u_eg);
        input.quality_ad.push_back(sample.quality_ad);
        input.quality_eg.push_back(sample.quality_eg);
    }
    return input;
}

std::optional<std::string> sample_doubt(const SamplesInput& input, std::size_t i) {
    if (i >= input.quality_ad.size()) {
        return std::nullopt;
    }
    return listed_doubt(input.measured.names[i], input.quality_ad[i], input.quality_eg[i]);
}

bool any_own_sigma(const SamplesInput& input) {
    for (std::size_t i = 0; i < input.u_ad.size(); ++i) {
        if (input.u_ad[i] || input.u_eg[i]) {
            return true;
        }
    }
    return false;
}

} // namespace teravine::cli
