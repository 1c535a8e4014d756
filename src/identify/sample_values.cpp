// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/sample_values.h"

#include "model/solvers.h"
#include "text/number_text.h"

#include <cmath>

namespace teravine {
namespace {

Failure arithmetic_failure(const char* what) {
    return Failure{std::string("Arithmetic failure: ") + what + " cannot be computed."};
}

} // namespace

Outcome<SampleValues> sample_values(const Calibration& cal, const InterpRecord& located,
                                    float iw_ad) {
    const InterpRecord mix = row_frac(located, cal.coef_invn, cal.reich, iw_ad);
    const float inv_n = Pol5_0(interp_row(mix, cal.coef_invn, cal.reich), iw_ad);
    const auto n = static_cast<float>(1.0 / static_cast<double>(inv_n));
    if (inv_n == 0 || !std::isfinite(inv_n) || !std::isfinite(n)) {
        return arithmetic_failure("N");
    }

    SampleValues v;
    v.n = n;
    v.k = located.k;
    const double k = v.k;
    const double nd = n;
    const auto n_int = round_half(n);
    const auto s = round_half(static_cast<float>(k * 10000 / nd));
    const auto fp = round_half(static_cast<float>(((nd - 1) * k / nd + 1) * 10000 / nd));
    if (!n_int) {
        return arithmetic_failure("N");
    }
    if (!s) {
        return arithmetic_failure("%S");
    }
    if (!fp || *fp == 0) {
        return arithmetic_failure("Nfp");
    }
    v.n_int = *n_int;
    v.s_pct = static_cast<float>(*s / 100.0);
    v.fp_pct = static_cast<float>(*fp / 100.0);
    return v;
}

Outcome<int> nfp_from_percent(float fp_pct) {
    if (fp_pct == 0 || !std::isfinite(fp_pct)) {
        return arithmetic_failure("Nfp");
    }
    return static_cast<int>(std::floor(100.0 / static_cast<double>(fp_pct)));
}

Outcome<int> label_nfp(const SampleValues& values, float iw_ad, float iw_eg) {
    if (iw_ad == iw_eg) {
        return static_cast<int>(values.n_int);
    }
    return nfp_from_percent(values.fp_pct);
}

std::string sample_label(const SampleValues& values, int nfp) {
    return "N:" + number_text(static_cast<int>(values.n_int)) + ",S:" + number_text(values.s_pct) +
           "%,k:" + format_fixed(values.k, 2) + ",Nfp:" + number_text(nfp);
}

} // namespace teravine
