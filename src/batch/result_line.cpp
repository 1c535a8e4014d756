// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_line.h"

#include "text/number_text.h"

namespace teravine {

std::string result_line(float iw_ad, float iw_eg, const SampleValues& values, int nfp) {
    const char tab = '\t';
    return number_text(iw_ad) + tab + number_text(iw_eg) + tab +
           number_text(static_cast<int>(values.n_int)) + tab + number_text(values.s_pct) + tab +
           format_fixed(values.k, 2) + tab + number_text(nfp);
}

} // namespace teravine
