// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_pairs.h"

#include "identify/shared_work.h"

namespace teravine {

std::vector<Identification> identify_pairs(const Calibration& cal, const LineTables& tables,
                                           std::span<const float> ad, std::span<const float> eg,
                                           unsigned workers) {
    const std::size_t count = std::min(ad.size(), eg.size());
    std::vector<Identification> results(count);
    // The calibration is only read; each worker keeps the lines it has built in its own memo.
    share_out(count, workers, [&] {
        return [&, memo = LineMemo(tables)](std::size_t i) mutable {
            results[i] = identify_point(cal, memo, ad[i], eg[i]);
        };
    });
    return results;
}

} // namespace teravine
