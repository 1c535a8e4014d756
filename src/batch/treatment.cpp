// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/treatment.h"

#include "batch/result_file.h"
#include "batch/result_line.h"
#include "identify/sample_values.h"
#include "model/solvers.h"

#include <algorithm>

namespace teravine {

Outcome<TreatSummary> treat_widths(const WidthFile& corrected, Calibration& cal,
                                   std::string_view rule_name, const std::string& out_path,
                                   const PlaceAccepted& place_accepted) {
    PlaceAcceptedAt at;
    if (place_accepted) {
        at = [&place_accepted](std::size_t, float ad, float eg) { place_accepted(ad, eg); };
    }
    return treat_widths_at(corrected, cal, rule_name, out_path, at);
}

Outcome<TreatSummary> treat_widths_at(const WidthFile& corrected, Calibration& cal,
                                      std::string_view rule_name, const std::string& out_path,
                                      const PlaceAcceptedAt& place_accepted) {
    LineWriter out;
    if (auto failure = out.open(out_path)) {
        return Failure{*failure};
    }
    return treat_widths_into(corrected, cal, rule_name, out, place_accepted);
}

Outcome<TreatSummary> treat_widths_into(const WidthFile& corrected, Calibration& cal,
                                        std::string_view rule_name, LineWriter& out,
                                        const PlaceAcceptedAt& place_accepted,
                                        const ReportTreated& report) {
    for (const auto& line :
         result_header(corrected.title, cal.name(), corrected.broadening, rule_name)) {
        out.line(line);
    }

    TreatSummary summary;
    const std::size_t m = std::min(corrected.ad.size(), corrected.eg.size());
    for (std::size_t i = 0; i < m && !out.failed(); ++i) {
        const float ad = corrected.ad[i];
        float eg = corrected.eg[i];
        InterpRecord located;
        ++summary.samples;
        TreatedSample told{i, find_k(located, cal.coef_eg, ad, eg, cal.reich)};
        if (told.located != kInside) {
            out.line(kErrorLine);
            ++summary.errors;
            if (report) {
                report(told);
            }
            continue;
        }
        auto values = sample_values(cal, located, ad);
        Outcome<int> nfp = values ? nfp_from_percent(values->fp_pct) : Failure{values.error()};
        if (!nfp) {
            if (report) {
                report(told);
            }
            out.close();
            return Failure{"Sample " + std::to_string(i + 1) + " of the file: " + nfp.error()};
        }
        out.line(result_line(ad, eg, *values, *nfp));
        if (report && !out.failed()) {
            told.values = &*values;
            told.nfp = *nfp;
            report(told);
        }
        if (out.failed()) {
            break;
        }
        ++summary.placed;
        if (place_accepted) {
            place_accepted(i, ad, eg);
        }
    }
    if (auto failure = out.close()) {
        return Failure{*failure};
    }
    return summary;
}

} // namespace teravine
