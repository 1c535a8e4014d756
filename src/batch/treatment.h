// SPDX-License-Identifier: GPL-3.0-or-later
// The treatment of a whole width file into its result file. Both the window's
// "Treat File" and `teravine-cli treat` run treat_widths.
#pragma once

#include "batch/width_file.h"
#include "identify/sample_values.h"
#include "model/calibration.h"
#include "model/solvers.h"
#include "text/outcome.h"
#include "text/text_file.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace teravine {

struct TreatSummary {
    int samples = 0; // lines written after the header
    int placed = 0;  // samples accepted and handed to place_accepted
    int errors = 0;  // "Error" lines
};

// Called once per accepted sample, in file order, after its line is written, with the
// corrected AD and EG widths; the window places the sample there as a click would.
using PlaceAccepted = std::function<void(float ad, float eg)>;
// The same, also told the sample's index in the file (0 for the first sample).
using PlaceAcceptedAt = std::function<void(std::size_t index, float ad, float eg)>;

// What the treatment made of one sample, told for every sample it takes, in file order.
struct TreatedSample {
    std::size_t index = 0;                // 0 for the first sample of the file
    float located = kOutside;             // find_k's status: kInside, kAboveDiagonal, kOutside
    const SampleValues* values = nullptr; // N, %S, k when located inside and computable
    int nfp = 0;                          // the Nfp written, with values
};
using ReportTreated = std::function<void(const TreatedSample& sample)>;

// Steps 7 and 8 of Tr_fi_Click on a width file whose widths are already corrected:
// creates or overwrites out_path, writes the header, then per sample either "Error"
// (above the diagonal, below the k = 3 row, or a width of -1 that could not be
// corrected) and goes on, or the sample's line followed by place_accepted(AD, EG).
// Nfp in the file is always floor(100 / fp_pct), also when AD equals EG.
// Failures stop the treatment and are returned as descriptions: the result file cannot
// be created or written (naming it), or a sample's N, %S or Nfp cannot be computed
// (naming the sample). The lines already written stay in the file and the samples
// already placed stay placed. Writes row 6 of both tables of cal.
Outcome<TreatSummary> treat_widths(const WidthFile& corrected, Calibration& cal,
                                   std::string_view rule_name, const std::string& out_path,
                                   const PlaceAccepted& place_accepted);
Outcome<TreatSummary> treat_widths_at(const WidthFile& corrected, Calibration& cal,
                                      std::string_view rule_name, const std::string& out_path,
                                      const PlaceAcceptedAt& place_accepted);
// The same into a writer opened already (a file or standard output), which it closes;
// the summary comes back only when the last flush and close succeeded. report, when
// given, hears of every sample taken, before it is placed (a sample that cannot be
// computed is told, then the treatment stops).
Outcome<TreatSummary> treat_widths_into(const WidthFile& corrected, Calibration& cal,
                                        std::string_view rule_name, LineWriter& out,
                                        const PlaceAcceptedAt& place_accepted,
                                        const ReportTreated& report = {});

} // namespace teravine
