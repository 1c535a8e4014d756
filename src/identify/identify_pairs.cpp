// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_pairs.h"

#include "identify/shared_work.h"

namespace teravine {
namespace {

// find_k fills row_lo (1..4) when it accepts a point; -1 tells that it did not.
constexpr std::int16_t kNotLocated = -1;

Identification identify_one(Calibration& cal, LineMemo& memo, float ad, float eg) {
    Identification out;
    out.interp.row_lo = kNotLocated;
    out.iw_eg = eg;
    out.placed = identify_point(cal, memo, out.interp, ad, out.iw_eg);
    out.located = out.interp.row_lo != kNotLocated;
    if (!out.located) {
        out.interp = InterpRecord{};
    }
    return out;
}

} // namespace

std::vector<Identification> identify_pairs(const Calibration& cal, const LineTables& tables,
                                           std::span<const float> ad, std::span<const float> eg,
                                           unsigned workers) {
    const std::size_t count = std::min(ad.size(), eg.size());
    std::vector<Identification> results(count);
    // Each worker mixes rows into the scratch row of its own copy of the tables, and keeps
    // the lines it has built in its own memo.
    share_out(count, workers, [&] {
        return [&, own = cal, memo = LineMemo(tables)](std::size_t i) mutable {
            results[i] = identify_one(own, memo, ad[i], eg[i]);
        };
    });
    return results;
}

} // namespace teravine
