// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/treatment.h"

#include "batch/result_file.h"
#include "batch/result_line.h"
#include "identify/identify_pairs.h"
#include "identify/sample_values.h"

#include <algorithm>

namespace teravine {

Treatment treat_widths(const WidthFile& corrected, const Calibration& cal, const LineTables& tables,
                       std::string_view rule_name, LineWriter& out, unsigned workers) {
    for (const auto& line :
         result_header(corrected.title, cal.name(), corrected.broadening, rule_name)) {
        out.line(line);
    }

    Treatment treated;
    const std::size_t m = std::min(corrected.ad.size(), corrected.eg.size());
    std::vector<Identification> found = identify_pairs(
        cal, tables, std::span(corrected.ad).first(m), std::span(corrected.eg).first(m), workers);
    treated.pairs.reserve(m);
    for (std::size_t i = 0; i < m && !out.failed(); ++i) {
        ++treated.samples;
        TreatedPair pair{
            i, corrected.name_of(i), corrected.ad[i], corrected.eg[i], std::move(found[i]), 0};
        if (!pair.found.place.inside()) {
            out.line(kErrorLine);
            ++treated.errors;
            treated.pairs.push_back(std::move(pair));
            continue;
        }
        const Outcome<int> nfp = pair.found.values ? nfp_from_percent(pair.found.values->fp_pct)
                                                   : Failure{pair.found.failure};
        if (!nfp) {
            treated.pairs.push_back(std::move(pair));
            out.abandon();
            treated.failure = "Sample " + std::to_string(i + 1) + " of the file: " + nfp.error();
            return treated;
        }
        pair.nfp = *nfp;
        out.line(result_line(pair.ad, pair.eg, *pair.found.values, pair.nfp));
        if (out.failed()) {
            break;
        }
        ++treated.placed;
        treated.pairs.push_back(std::move(pair));
    }
    treated.failure = out.close();
    treated.written = !treated.failure;
    return treated;
}

} // namespace teravine
