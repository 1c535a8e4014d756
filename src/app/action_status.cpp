// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/action_status.h"

#include "batch/result_csv.h"
#include "model/broadening.h"
#include "text/number_text.h"

#include <charconv>
#include <cmath>

namespace teravine {
namespace {

SampleStatus why_not_placed(float ad, float eg, const Identification& found, std::int16_t rule) {
    if (ad == -1.0f || eg == -1.0f) {
        return rule == kRuleTable ? SampleStatus::outside_correction_table
                                  : SampleStatus::narrower_than_instrument;
    }
    if (found.place.where == Placement::above_diagonal) {
        return SampleStatus::above_diagonal;
    }
    if (!found.place.inside() && std::isfinite(ad) && std::isfinite(eg) && ad > 0) {
        return SampleStatus::below_k3_curve;
    }
    return SampleStatus::not_computable;
}

} // namespace

std::string status_width(float width) {
    if (!std::isfinite(width)) {
        return bare_number_text(width);
    }
    for (int decimals = 2; decimals <= 4; ++decimals) {
        const std::string text = format_fixed(width, decimals);
        float back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == width) {
            return text;
        }
    }
    return format_fixed(width, 2); // a point of the pointer: the diagram's own resolution
}

std::string placed_status(std::size_t number, const SampleRecord& record) {
    return "Sample " + std::to_string(number) + " placed: N " + bare_number_text(record.n_int) +
           ", %S " + bare_number_text(record.s_pct);
}

std::string preview_status(const SampleRecord& record) {
    return "k " + format_fixed(record.k, 2) + ", N " + bare_number_text(record.n_int) + ", %S " +
           bare_number_text(record.s_pct) + ", Nfp " + bare_number_text(record.nfp);
}

std::string not_placed_reason(float ad, float eg, const Identification& found, std::int16_t rule) {
    const SampleStatus why = why_not_placed(ad, eg, found, rule);
    std::string text(status_text(why));
    if (why == SampleStatus::not_computable && !found.failure.empty()) {
        text += " (" + found.failure + ")";
    }
    return text;
}

std::string not_placed_status(float ad, float eg, const Identification& found, std::int16_t rule) {
    return status_width(ad) + ", " + status_width(eg) +
           " not placed: " + not_placed_reason(ad, eg, found, rule);
}

std::string beyond_range_note(const SampleList& samples, std::size_t first) {
    std::size_t beyond = 0;
    for (std::size_t i = first; i < samples.size(); ++i) {
        beyond += samples[i].beyond_range ? 1 : 0;
    }
    return beyond == 0 ? std::string() : ", " + std::to_string(beyond) + " " + kBeyondRange;
}

std::string treat_status(int samples, int placed, bool result_written) {
    std::string text = "Treat File: " + std::to_string(samples) + " samples, " +
                       std::to_string(placed) + " placed, " + std::to_string(samples - placed) +
                       " not placed";
    if (!result_written) {
        text += "; the result file was not written";
    }
    return text;
}

} // namespace teravine
