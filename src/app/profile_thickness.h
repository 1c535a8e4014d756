// SPDX-License-Identifier: GPL-3.0-or-later
// The thickness distribution of the stacks of the measuring dialog's air-dried pattern,
// the instrument removed with the pattern of the standard that the instrument profile in
// use was made from (Stokes; thickness/thickness_analysis). A profile records that pattern
// by its file's name and SHA-256 alone: the pattern is looked for beside the profile,
// beside the session and where the user last pointed, and a file of another digest is
// refused. The analysis is a request that any thread can carry out, as the dialog's
// measuring is, so that the dialog stays responsive while the counts are resampled.
#pragma once

#include "app/lab_calibration.h"
#include "app/measure_session.h"
#include "formats/read_pattern.h"
#include "thickness/thickness_analysis.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace teravine {

// The air-dried scan and the standard's pattern to analyse, copied, so that the dialog may
// change or be gone before the work is done.
struct ThicknessRequest {
    std::uint64_t serial = 0; // a later request supersedes it
    Pattern sample;
    PeakRange range;
    std::string standard_name; // as the profile records it
    std::string standard_sha256;
    // The files that may be the standard's pattern, the one the user pointed at first.
    std::vector<std::string> places;
    // As the sample's scan was taken: the wavelength told for a scan that states none and the
    // Kα2 ratio given over the file's own, for the standard's scan alike.
    PatternChoice standard_choice;
};

struct ThicknessOutcome {
    std::uint64_t serial = 0;
    std::optional<ThicknessResult> result;
    std::string problem;           // why there is no distribution
    bool standard_missing = false; // no file of the places is the standard's pattern
};

// The standard's pattern looked for among the places (the first file of the digest),
// read as the choice says; or why there is none.
struct FoundStandard {
    std::optional<Pattern> pattern;
    std::string problem;
    bool missing = false; // no file of the places is the standard's pattern
};
FoundStandard find_standard(const std::vector<std::string>& places, const std::string& name,
                            const std::string& sha256, const PatternChoice& choice);

// The mean layers a sample takes as its N (profile): none when the steps do not resolve the
// stacks.
std::optional<float> n_profile_of(const ThicknessResult& result);

// Where a profile's standard pattern may lie: the file it was made from, then a file of the
// standard's name beside the profile's file, beside the session file and beside the file
// the user last pointed at (`pointed`, which comes first of all). Each path once.
std::vector<std::string> standard_places(const LabCalibration& lab, const std::string& pointed);

class ProfileThickness {
public:
    // lab is the window's calibration as it stands at each look.
    explicit ProfileThickness(const LabCalibration* lab) : lab_(lab) {}

    // The file the user pointed at as the standard's pattern (a file dialog); it is tried
    // first from now on.
    void point_to(const std::string& path);
    const std::string& pointed() const { return pointed_; }
    // Files beyond the usual places that may be the standard's pattern (a front end's own
    // store of files), tried after them.
    void look_also(std::vector<std::string> places) { also_ = std::move(places); }

    // What is to be analysed anew for the session's air-dried half as it now stands: a
    // request, the distribution shown being analysed until its outcome is taken; nothing
    // when what is shown still holds, or when there is nothing to analyse (problem() says
    // why, when there is a reason).
    std::optional<ThicknessRequest> request(const MeasureSession& session);
    // Reads the places until one is the standard's pattern and analyses the sample with it;
    // on any thread, touching nothing of a ProfileThickness.
    static ThicknessOutcome analyse(const ThicknessRequest& request);
    // The outcome of the latest request; one that a later request superseded is dropped:
    // false.
    bool take(ThicknessOutcome outcome);

    // An instrument profile is in use: the dialog shows the thickness.
    bool shown() const { return lab_ != nullptr && lab_->profile.has_value(); }
    bool analysing() const { return analysing_; }
    const std::optional<ThicknessResult>& result() const { return result_; }
    // Why there is no distribution, or what limits the one shown; empty when nothing is to
    // be said.
    const std::string& problem() const { return problem_; }
    // The standard's pattern was not found, or the file pointed at was refused: the dialog
    // asks for it.
    bool asks_for_standard() const { return standard_missing_ && !analysing_; }
    // True the first time it asks for each standard's pattern: the dialog then asks without
    // being told to, and later only when told.
    bool ask_unprompted();
    // The name the profile records of its standard's pattern.
    std::string standard_name() const;
    // "10.03 (u 0.07)", "at least 222", "Analysing…", or "–" without a distribution.
    std::string readout() const;
    // The distribution plot's tool tip: what it draws, the lognormal's α and β², and the
    // result's notes.
    std::string distribution_tip() const;
    // The mean layers for the sample placed from the widths now measured: none while they are
    // analysed, without a distribution, and when the steps do not resolve the stacks.
    std::optional<float> n_profile() const;

private:
    // What the distribution shown was analysed from; another asks for a new request.
    struct Inputs {
        std::string path, sha256, wavelength, alpha2_ratio;
        std::size_t scan = 0;
        double lo = 0, hi = 0;
        std::string standard, standard_sha256;
        std::vector<std::string> places;
        bool operator==(const Inputs&) const = default;
    };
    void clear(std::string problem);

    const LabCalibration* lab_ = nullptr;
    std::string pointed_;
    std::vector<std::string> also_;
    std::optional<Inputs> inputs_;
    std::uint64_t serial_ = 0;
    bool analysing_ = false;
    std::optional<ThicknessResult> result_;
    std::string problem_;
    bool standard_missing_ = false;
    std::set<std::string> asked_; // the digests of the standards' patterns asked for
};

} // namespace teravine
