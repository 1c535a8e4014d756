// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/treatment.h"

#include "batch/result_file.h"
#include "batch/result_line.h"
#include "identify/identify_pairs.h"
#include "identify/sample_values.h"

#include <algorithm>

namespace teravine {

TreatmentRun::TreatmentRun(const WidthFile& corrected, const Calibration& cal,
                           const LineTables& tables, std::string_view rule_name, LineWriter& out,
                           unsigned workers)
    : corrected_(corrected), cal_(cal), tables_(tables), out_(out), workers_(workers),
      total_(std::min(corrected.ad.size(), corrected.eg.size())) {
    for (const auto& line :
         result_header(corrected.title, cal.name(), corrected.broadening, rule_name)) {
        out.line(line);
    }
    stopped_ = out.failed();
}

bool TreatmentRun::advance(std::size_t count) {
    if (stopped_ || done_ >= total_) {
        return false;
    }
    const std::size_t first = done_;
    const std::size_t n = std::min(std::max<std::size_t>(count, 1), total_ - first);
    std::vector<Identification> found =
        identify_pairs(cal_, tables_, std::span(corrected_.ad).subspan(first, n),
                       std::span(corrected_.eg).subspan(first, n), workers_);
    treated_.pairs.reserve(treated_.pairs.size() + n);
    for (std::size_t j = 0; j < n; ++j) {
        if (out_.failed()) {
            stopped_ = true;
            return false;
        }
        const std::size_t i = first + j;
        ++done_;
        ++treated_.samples;
        TreatedPair pair{
            i, corrected_.name_of(i), corrected_.ad[i], corrected_.eg[i], std::move(found[j]), 0};
        if (!pair.found.place.inside()) {
            out_.line(kErrorLine);
            ++treated_.errors;
            treated_.pairs.push_back(std::move(pair));
            continue;
        }
        const Outcome<int> nfp = pair.found.values ? nfp_from_percent(pair.found.values->fp_pct)
                                                   : Failure{pair.found.failure};
        if (!nfp) {
            treated_.pairs.push_back(std::move(pair));
            out_.abandon();
            treated_.failure = "Sample " + std::to_string(i + 1) + " of the file: " + nfp.error();
            stopped_ = true;
            return false;
        }
        pair.nfp = *nfp;
        out_.line(result_line(pair.ad, pair.eg, *pair.found.values, pair.nfp));
        if (out_.failed()) {
            stopped_ = true;
            return false;
        }
        ++treated_.placed;
        treated_.pairs.push_back(std::move(pair));
    }
    return done_ < total_;
}

Treatment TreatmentRun::finish() {
    if (!treated_.failure) {
        treated_.failure = out_.close();
        treated_.written = !treated_.failure;
    }
    return std::move(treated_);
}

Treatment treat_widths(const WidthFile& corrected, const Calibration& cal, const LineTables& tables,
                       std::string_view rule_name, LineWriter& out, unsigned workers) {
    TreatmentRun run(corrected, cal, tables, rule_name, out, workers);
    while (run.advance(run.total())) {
    }
    return run.finish();
}

} // namespace teravine
