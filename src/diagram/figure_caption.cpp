// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/figure_caption.h"

#include "text/number_text.h"

namespace teravine {

namespace {

const std::string kDegrees = " \u00B02\u03B8";

std::string sigma_text(float k_sigma) {
    return (k_sigma == 2 ? "2" : "1") + std::string("\u03C3");
}

} // namespace

namespace {

// rule_part: ", rule Gauss" or ", rule varies"; broadening_part likewise.
std::string caption_text(std::string_view reich_name, const std::string& rule_part,
                         const std::string& broadening_part, float sigma) {
    std::string text = "Reichweite " + std::string(reich_name) + rule_part + broadening_part;
    if (sigma > 0) {
        text += ", \u03C3 " + bare_number_text(sigma) + kDegrees;
    }
    return text;
}

} // namespace

std::string figure_caption(std::string_view reich_name, std::string_view rule, float broadening,
                           float sigma) {
    return caption_text(reich_name, ", rule " + std::string(rule),
                        ", broadening " + bare_number_text(broadening) + kDegrees, sigma);
}

std::string figure_caption(std::string_view reich_name, const SampleList& samples,
                           CorrectionInForce in_force, float sigma) {
    // A click places its widths as they are, corrected with nothing: it says nothing here.
    std::optional<std::int16_t> rule;
    std::optional<float> broadening;
    bool rules_vary = false;
    bool broadenings_vary = false;
    for (const PlacedSample& sample : samples) {
        const SampleOrigin& origin = sample.origin;
        if (!origin.measured) {
            continue;
        }
        rules_vary = rules_vary || (rule && *rule != origin.rule);
        broadenings_vary = broadenings_vary || (broadening && *broadening != origin.broadening);
        rule = origin.rule;
        broadening = origin.broadening;
    }
    const std::string rule_part =
        rules_vary ? ", rule varies"
                   : ", rule " + std::string(rule_name(rule.value_or(in_force.rule)));
    const std::string broadening_part =
        broadenings_vary
            ? ", b varies"
            : ", broadening " + bare_number_text(broadening.value_or(in_force.broadening)) +
                  kDegrees;
    return caption_text(reich_name, rule_part, broadening_part, sigma);
}

std::optional<std::string> ellipse_legend(const SampleList& samples, float k_sigma,
                                          float shared_ad_sigma, float shared_eg_sigma) {
    bool own = false;
    bool shared = false;
    for (const PlacedSample& sample : samples) {
        if (!sample.uncertainty) {
            continue;
        }
        const bool has_own = sample.origin.u_ad || sample.origin.u_eg;
        own = own || has_own;
        shared = shared || !has_own;
    }
    if (!own && !shared) {
        return std::nullopt;
    }
    std::string shared_text = "\u03C3 " + bare_number_text(shared_ad_sigma) + kDegrees;
    if (shared_eg_sigma != shared_ad_sigma) {
        shared_text = "\u03C3 AD " + bare_number_text(shared_ad_sigma) + ", EG " +
                      bare_number_text(shared_eg_sigma) + kDegrees;
    }
    const std::string region = sigma_text(k_sigma) + " region";
    if (own && shared) {
        return region + " of each sample's own u, else " + shared_text;
    }
    return own ? region + " of each sample's own u" : region + ", " + shared_text;
}

} // namespace teravine
