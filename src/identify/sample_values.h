// SPDX-License-Identifier: GPL-3.0-or-later
// From a point located between two k rows to the sample's N, %S, k and Nfp, and the
// texts that show them: the diagram label and the line of a result file.
#pragma once

#include "model/calibration.h"
#include "model/polynomial.h"
#include "text/outcome.h"

#include <cstdint>
#include <string>

namespace teravine {

struct SampleValues {
    float n = 0;            // N as computed
    std::int16_t n_int = 0; // N rounded
    float s_pct = 0;        // %S to two decimals
    float fp_pct = 0;       // 100 / Nfp to two decimals
    float k = 0;
};

// N, %S and Nfp of a point that find_k has placed inside (located: its place's record).
// A value that cannot be computed (zero or non-finite, beyond 16 bits) is a failure.
Outcome<SampleValues> sample_values(const Calibration& cal, const InterpRecord& located,
                                    float iw_ad);

// Nfp: the largest whole number not above 100 / fp_pct. Fails when fp_pct is 0.
Outcome<int> nfp_from_percent(float fp_pct);

// Nfp as the label shows it: the rounded N when both widths are equal.
Outcome<int> label_nfp(const SampleValues& values, float iw_ad, float iw_eg);

// "N: 24,S: 4.88%,k:1.17,Nfp: 11"
std::string sample_label(const SampleValues& values, int nfp);

} // namespace teravine
