// SPDX-License-Identifier: GPL-3.0-or-later
// Every bit of an identified sample or a located record as one comparable list, for the
// tests that want two ways of identifying to agree bit for bit.
#pragma once

#include "identify/sample_list.h"
#include "model/polynomial.h"

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

using Fingerprint = std::vector<std::uint64_t>;

inline Fingerprint fingerprint(const InterpRecord& r) {
    return {std::uint64_t(r.row_lo), std::uint64_t(r.row_hi), std::bit_cast<std::uint32_t>(r.frac),
            std::bit_cast<std::uint32_t>(r.k)};
}

inline Fingerprint fingerprint(const Line& line) {
    Fingerprint f{std::uint64_t(line.count), line.points.size()};
    for (const LinePoint& p : line.points) {
        f.push_back(std::bit_cast<std::uint32_t>(p.ad));
        f.push_back(std::bit_cast<std::uint32_t>(p.eg));
    }
    return f;
}

inline Fingerprint fingerprint(const std::optional<PlacedSample>& placed) {
    Fingerprint f;
    if (!placed) {
        return f;
    }
    const auto add = [&f](float v) { f.push_back(std::bit_cast<std::uint32_t>(v)); };
    const SampleRecord& r = placed->record;
    for (float v : {r.iw_ad, r.iw_eg, r.n, r.s_pct, r.fp_pct, placed->s_of, placed->fp_of}) {
        add(v);
    }
    f.push_back(std::uint64_t(r.n_int));
    f.push_back(std::uint64_t(placed->n_of));
    f.push_back(std::hash<std::string>{}(r.label));
    for (const Line* line : {&placed->line_k, &placed->line_n, &placed->line_s, &placed->line_fp}) {
        const Fingerprint of_line = fingerprint(*line);
        f.insert(f.end(), of_line.begin(), of_line.end());
    }
    return f;
}

} // namespace teravine
