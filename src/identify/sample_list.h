// SPDX-License-Identifier: GPL-3.0-or-later
// The identified samples with the four lines kept through each of them.
#pragma once

#include "identify/uncertainty.h"
#include "lines/line_store.h"
#include "model/broadening.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

struct SampleRecord {
    float iw_ad = 0;
    float iw_eg = 0;
    std::int16_t n_int = 0; // N rounded
    float n = 0;            // N as computed
    float s_pct = 0;        // %S to two decimals
    std::string label;      // the label printed at the point
    float fp_pct = 0;       // 100 / Nfp to two decimals
    float k = 0;
    std::int16_t nfp = 0; // Nfp as the label shows it
};

// The pattern file one width was measured on, and the width it gave.
struct MeasuredFile {
    std::string path;
    std::string sha256;    // of the file as it was read: 64 lowercase hexadecimal digits
    std::int32_t scan = 1; // counted from 1
    float width = 0;       // FWHM, °Δ2θ on the Cu Kα scale
    float u = 0;           // its standard uncertainty
    // "ok", or the reasons to doubt the width joined by ';', those against the instrument
    // profile in use included, as the measuring dialog showed them.
    std::string quality = "ok";
    // The anode the width was measured for: the one the scan states, else the one told;
    // empty when neither was and Cu Kα was taken.
    std::string anode;
    bool operator==(const MeasuredFile&) const = default;
};

inline constexpr const char* kMethodHalfHeight = "half-height";

// How a pair placed from the measuring dialog was measured.
struct Measurement {
    MeasuredFile ad;
    MeasuredFile eg;
    double range_lo = 0; // the range searched, °2θ on the Cu Kα scale
    double range_hi = 0;
    std::string method = kMethodHalfHeight; // WidthMethod::name(): "half-height" or "fit:<profile>"
    // The Kα2 ratio the measuring dialog gave a fit; none: each file's own, else 0.5.
    std::optional<double> alpha2_ratio = {};
    bool operator==(const Measurement&) const = default;
};

// Where a sample's widths came from: as measured, with the broadening that "Draw" or
// Treat File removed from them. A click places its widths as they are.
struct SampleOrigin {
    float ad = 0;
    float eg = 0;
    float broadening = 0;
    std::int16_t rule = kRuleMixture;
    bool measured = false; // false: a click, the widths are the record's
    std::string name;      // from a sample list; empty when the sample has none
    // The standard uncertainties of the measured widths, when its measurement gave them;
    // its interval then uses these rather than the table's sigma.
    std::optional<float> u_ad;
    std::optional<float> u_eg;
    // The patterns and how they were measured, for a pair placed from the measuring dialog.
    std::optional<Measurement> measurement;
    // The doubts a sample list states of each width ("weak", "edge;flank"; empty or "ok":
    // none). A pair from the measuring dialog has its own in its measurement.
    std::string quality_ad;
    std::string quality_eg;
    // The mean number of layers of the stacks from the profile of the air-dried pattern's
    // 001, the instrument removed with the standard's pattern of the instrument profile in
    // use (each stack counted once); none unless the measuring dialog analysed it.
    std::optional<float> n_profile;
};

// Whether a width's quality casts doubt on it: neither empty nor "ok".
inline bool doubtful(std::string_view quality) {
    return !quality.empty() && quality != "ok";
}

// The doubts on one width of a sample: its measurement's, else the list's; empty when
// the width is not doubted.
inline std::string width_doubt(const SampleOrigin& origin, bool air_dried) {
    const std::string& quality =
        origin.measurement
            ? (air_dried ? origin.measurement->ad.quality : origin.measurement->eg.quality)
            : (air_dried ? origin.quality_ad : origin.quality_eg);
    return doubtful(quality) ? quality : std::string();
}

// A measured pair's own uncertainties are those of its measurement, unless the sample
// already states its own: the one place its interval and its calibrated value read them.
inline void take_measured_uncertainties(SampleOrigin& origin) {
    if (!origin.measurement) {
        return;
    }
    const auto own = [](float u) { return u > 0 && u < 1e30f ? std::optional(u) : std::nullopt; };
    if (!origin.u_ad) {
        origin.u_ad = own(origin.measurement->ad.u);
    }
    if (!origin.u_eg) {
        origin.u_eg = own(origin.measurement->eg.u);
    }
}

struct PlacedSample {
    SampleRecord record;
    Line line_k;           // constant k through the point: 110 points, AD 0.01 .. 1.10
    Line line_n;           // constant N
    Line line_s;           // constant %S (the diagonal when AD is not above EG)
    Line line_fp;          // approximately constant Nfp
    std::int16_t n_of = 0; // values the lines were built for
    float s_of = 0;
    float fp_of = 0;
    SampleOrigin origin;
    // Over the region of the window's sigma, when one is set; nothing outside the model.
    std::optional<WidthUncertainty> uncertainty;
    // Its widths lie beyond the diagram's axes: the model's curves are drawn, and
    // calibrated, only up to the axes' end.
    bool beyond_range = false;
};

// What the table and the status bar say of such a sample.
inline constexpr const char* kBeyondRange = "outside the calibrated range";

// Sample p of the window is element p - 1. A deque: appending never moves the
// samples already held.
using SampleList = std::deque<PlacedSample>;

inline constexpr int kMaxSamples = 32767;

} // namespace teravine
