// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/profile_thickness.h"

#include "text/number_text.h"
#include "thickness/thickness_notes.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <new>

namespace teravine {
namespace {

// The digest is named by its beginning, enough to tell two files apart by eye.
constexpr std::size_t kDigestShown = 12;

std::string digest_start(const std::string& sha256) {
    return sha256.substr(0, kDigestShown) + "…";
}

std::string optional_text(const std::optional<double>& value) {
    return value ? std::to_string(*value) : std::string();
}

} // namespace

std::vector<std::string> standard_places(const LabCalibration& lab, const std::string& pointed) {
    std::vector<std::string> places;
    if (!lab.profile) {
        return places;
    }
    // The name alone: a profile edited by hand sends no one to another folder.
    const std::filesystem::path name = std::filesystem::path(lab.profile->standard).filename();
    const auto add = [&](const std::string& path) {
        if (!path.empty() && std::find(places.begin(), places.end(), path) == places.end()) {
            places.push_back(path);
        }
    };
    const auto beside = [&](const std::string& file) {
        return file.empty() || name.empty()
                   ? std::string()
                   : (std::filesystem::path(file).parent_path() / name).string();
    };
    add(pointed);
    add(beside(pointed));
    if (!name.empty() && std::filesystem::path(lab.profile_source).filename() == name) {
        add(lab.profile_source); // the profile was made of it
    }
    add(beside(lab.profile_source));
    add(beside(lab.session_file));
    return places;
}

void ProfileThickness::point_to(const std::string& path) {
    pointed_ = path;
}

std::string ProfileThickness::standard_name() const {
    return shown() ? lab_->profile->standard : std::string();
}

void ProfileThickness::clear(std::string problem) {
    inputs_.reset();
    ++serial_; // what is under way no longer counts
    analysing_ = false;
    result_.reset();
    problem_ = std::move(problem);
    standard_missing_ = false;
}

std::optional<ThicknessRequest> ProfileThickness::request(const MeasureSession& session) {
    if (!shown()) {
        clear({});
        return std::nullopt;
    }
    const InstrumentProfile& profile = *lab_->profile;
    if (profile.standard.empty() || profile.sha256.empty()) {
        clear("The instrument profile in use does not record its standard's pattern by name and "
              "SHA-256: make it again from that pattern (File > \"Calibration…\") to see the "
              "thickness of the stacks here.");
        return std::nullopt;
    }
    const MeasuredHalf& half = session.half(PatternSide::AirDried);
    const Pattern* pattern = half.pattern();
    if (half.reading || pattern == nullptr) {
        clear({});
        return std::nullopt;
    }
    // The Kα2 ratio of the dialog is a fit's; the half-height reading leaves the file's own.
    const bool ratio_given = session.method().fits() && session.alpha2_ratio().has_value();
    const std::optional<double> ratio =
        ratio_given ? session.alpha2_ratio() : half.stated_alpha2_ratios[half.scan];
    const PeakRange& range = session.range();
    Inputs inputs{half.path,
                  half.file.sha256,
                  optional_text(pattern->wavelength),
                  optional_text(ratio),
                  half.scan,
                  range.lo,
                  range.hi,
                  profile.standard,
                  profile.sha256,
                  standard_places(*lab_, pointed_)};
    for (const std::string& place : also_) {
        if (std::find(inputs.places.begin(), inputs.places.end(), place) == inputs.places.end()) {
            inputs.places.push_back(place);
        }
    }
    if (inputs_ == inputs) {
        return std::nullopt; // the dialog refreshes often: nothing is copied then
    }
    clear({});
    ThicknessRequest request;
    request.sample = *pattern;
    request.sample.alpha2_ratio = ratio;
    request.range = range;
    request.standard_name = profile.standard;
    request.standard_sha256 = profile.sha256;
    request.places = inputs.places;
    PatternChoice& choice = request.standard_choice;
    choice.covering = CopperSpan{range.lo, range.hi};
    if (!half.states_wavelength[half.scan]) {
        choice.wavelength = pattern->wavelength; // the anode told, or none for Cu
    }
    if (ratio_given) {
        choice.alpha2_ratio = ratio;
    }
    choice.how_to_choose = kStandardScanChoice;
    inputs_ = std::move(inputs);
    analysing_ = true;
    request.serial = serial_;
    return request;
}

FoundStandard find_standard(const std::vector<std::string>& places, const std::string& name,
                            const std::string& sha256, const PatternChoice& choice) {
    FoundStandard found;
    // Why the first file there that is not the standard's pattern is not: the user pointed at
    // it, or it bears the standard's name.
    std::string refusal;
    for (const std::string& path : places) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        auto file = read_pattern_scans(path, Digest::sha256);
        if (!file || file->sha256 != sha256) {
            if (refusal.empty()) {
                refusal = !file ? file.error()
                                : "The file " + path +
                                      " is not the pattern the instrument profile was made "
                                      "from: its SHA-256 differs from the " +
                                      digest_start(sha256) +
                                      " the profile records. Find the standard's own pattern.";
            }
            continue;
        }
        auto chosen = choose_scan(std::move(file.value()), choice, path);
        if (!chosen) {
            found.problem = chosen.error();
        } else {
            found.pattern = std::move(chosen.value());
        }
        return found;
    }
    found.missing = true;
    found.problem = !refusal.empty()
                        ? refusal
                        : "The pattern the instrument profile was made from, " + name +
                              ", is neither beside the profile nor beside the session: find it "
                              "to see the thickness of the stacks (its SHA-256 begins " +
                              digest_start(sha256) + ").";
    return found;
}

std::optional<float> n_profile_of(const ThicknessResult& result) {
    if (result.unresolved) {
        return std::nullopt;
    }
    return static_cast<float>(result.mean_layers);
}

ThicknessOutcome ProfileThickness::analyse(const ThicknessRequest& request) {
    ThicknessOutcome out;
    out.serial = request.serial;
    try {
        FoundStandard standard = find_standard(request.places, request.standard_name,
                                               request.standard_sha256, request.standard_choice);
        if (!standard.pattern) {
            out.standard_missing = standard.missing;
            out.problem = std::move(standard.problem);
            return out;
        }
        auto result = analyse_thickness(request.sample, &*standard.pattern, request.range);
        if (!result) {
            out.problem = "No thickness distribution: " + result.error();
            return out;
        }
        out.result = std::move(result.value());
    } catch (const std::bad_alloc&) {
        out = ThicknessOutcome{request.serial, std::nullopt,
                               "No thickness distribution: the analysis needs more memory than "
                               "this computer has.",
                               false};
    } catch (const std::exception& e) {
        out = ThicknessOutcome{request.serial, std::nullopt,
                               std::string("No thickness distribution (") + e.what() + ").", false};
    }
    if (out.result && out.result->unresolved) {
        out.problem = "The coefficients do not fall: the stacks are at least as thick as the "
                      "pattern's steps resolve (" +
                      bare_number_text(static_cast<float>(out.result->mean_layers)) +
                      " layers), so the sample takes no N (profile).";
    } else if (out.result) {
        out.problem = thin_stacks_note(*out.result, request.range).value_or("");
    }
    return out;
}

bool ProfileThickness::take(ThicknessOutcome outcome) {
    if (!analysing_ || outcome.serial != serial_) {
        return false;
    }
    analysing_ = false;
    result_ = std::move(outcome.result);
    problem_ = std::move(outcome.problem);
    standard_missing_ = outcome.standard_missing;
    return true;
}

bool ProfileThickness::ask_unprompted() {
    return asks_for_standard() && asked_.insert(lab_->profile->sha256).second;
}

std::string ProfileThickness::readout() const {
    if (analysing_) {
        return "Analysing…";
    }
    if (!result_) {
        return "–";
    }
    if (result_->unresolved) {
        return "at least " + bare_number_text(static_cast<float>(result_->mean_layers));
    }
    return format_fixed(result_->mean_layers, 2) + " (u " +
           format_fixed(result_->u_mean_layers, 2) + ")";
}

std::string ProfileThickness::distribution_tip() const {
    std::string tip = "The share of the stacks of 1, 2, 3, … layers (grey) and the lognormal "
                      "fitted to it (purple)";
    if (result_) {
        tip += ": α " + format_fixed(result_->lognormal.alpha, 3) + ", β² " +
               format_fixed(result_->lognormal.beta2, 3);
        for (const std::string& note : thickness_notes(*result_)) {
            tip += "\n\n" + note;
        }
    }
    return tip;
}

std::optional<float> ProfileThickness::n_profile() const {
    if (analysing_ || !result_) {
        return std::nullopt;
    }
    return n_profile_of(*result_);
}

} // namespace teravine
