// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measured_pair.h"

#include "app/profile_thickness.h"
#include "text/number_text.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace teravine {
namespace {

// The air-dried pattern's N (profile) into `sample`, or why it has none into `why`, as a
// pattern without a resolved distribution leaves the measuring dialog's empty.
void n_profile_with(const Pattern& pattern, const PairMeasuring& how, ListedSample& sample,
                    std::string& why) {
    try {
        const auto result = analyse_thickness(pattern, how.standard.get(), how.range);
        if (!result) {
            why = result.error();
        } else if (!(sample.n_profile = n_profile_of(*result))) {
            why = "the stacks are at least " +
                  bare_number_text(static_cast<float>(result->mean_layers)) +
                  " layers thick, more than the pattern's steps resolve";
        }
    } catch (const std::exception& e) {
        why = e.what(); // the widths are measured all the same
    }
}

} // namespace

void find_pair_standard(PairMeasuring& how, const LabCalibration& lab, const std::string& pointed,
                        const std::string& folder) {
    how.standard.reset();
    how.standard_problem.clear();
    if (!lab.profile) {
        return;
    }
    const InstrumentProfile& profile = *lab.profile;
    if (profile.standard.empty() || profile.sha256.empty()) {
        how.standard_problem = "The instrument profile in use does not record its standard's "
                               "pattern by name and SHA-256, so the pairs take no N (profile).";
        return;
    }
    std::vector<std::string> places = standard_places(lab, pointed);
    const std::string in_folder =
        (std::filesystem::path(folder) / std::filesystem::path(profile.standard).filename())
            .string();
    if (!folder.empty() && std::find(places.begin(), places.end(), in_folder) == places.end()) {
        places.push_back(in_folder);
    }
    PatternChoice choice = how.choice;
    choice.scan.reset(); // the pairs' scan is no scan of the standard's file
    choice.covering = CopperSpan{how.range.lo, how.range.hi};
    choice.how_to_choose = kStandardScanChoice;
    FoundStandard found = find_standard(places, profile.standard, profile.sha256, choice);
    if (!found.pattern) {
        how.standard_problem = found.problem + " The pairs take no N (profile).";
        return;
    }
    how.standard = std::make_shared<const Pattern>(std::move(*found.pattern));
}

PairMeasurement measure_pair(const PatternPair& pair, const PairMeasuring& how) {
    PairMeasurement measured{measure_file(pair.ad, how.choice, how.range, how.method),
                             measure_file(pair.eg, how.choice, how.range, how.method),
                             std::nullopt,
                             {}};
    for (Outcome<Measured>* side : {&measured.ad, &measured.eg}) {
        if (*side) {
            flag_against(side->value(), how.instrument, how.method, how.range);
        }
    }
    if (!measured.ad || !measured.eg) {
        return measured;
    }
    const PeakWidth& ad = measured.ad->width;
    const PeakWidth& eg = measured.eg->width;
    ListedSample sample;
    sample.name = pair.name;
    // The widths a width file would hold, so that the list places what it would.
    sample.ad = std::strtof(width_text(ad.fwhm).c_str(), nullptr);
    sample.eg = std::strtof(width_text(eg.fwhm).c_str(), nullptr);
    sample.broadening = how.broadening;
    sample.u_ad = static_cast<float>(ad.u_fwhm);
    sample.u_eg = static_cast<float>(eg.u_fwhm);
    sample.quality_ad = ad.quality;
    sample.quality_eg = eg.quality;
    if (how.standard) {
        n_profile_with(measured.ad->pattern, how, sample, measured.n_profile_problem);
    }
    measured.sample = std::move(sample);
    return measured;
}

} // namespace teravine
