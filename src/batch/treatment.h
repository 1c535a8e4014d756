// SPDX-License-Identifier: GPL-3.0-or-later
// The treatment of a whole width file into its result file. Both the window's
// "Treat File" and `teravine-cli treat` run treat_widths.
#pragma once

#include "batch/width_file.h"
#include "identify/identify_point.h"
#include "lines/line_tables.h"
#include "model/calibration.h"
#include "text/text_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// One pair of the width file as the treatment took it.
struct TreatedPair {
    std::size_t index = 0; // 0 for the first sample of the file
    std::string name;      // from a sample list; empty for a width file
    float ad = 0;          // the widths as corrected, as its line gives them
    float eg = 0;
    Identification found; // where it lies, its values, the sample with its four lines
    int nfp = 0;          // the Nfp written in its line, with values

    // Its line holds values and the sample goes onto the diagram.
    bool accepted() const { return found.placed.has_value(); }
};

struct Treatment {
    // Every pair whose line was written, in file order; then, when a sample's N, %S or
    // Nfp cannot be computed, that sample, which stopped the treatment.
    std::vector<TreatedPair> pairs;
    int samples = 0; // lines written after the header, or attempted
    int placed = 0;  // samples accepted
    int errors = 0;  // "Error" lines
    // Why the treatment stopped early or the result could not be written. The pairs taken
    // stay in `pairs`; a result file written whole is then not written at all, and the one
    // it would have replaced stays as it was.
    std::optional<std::string> failure;
    bool written = false; // the result was written and closed
};

// Steps 7 and 8 of Tr_fi_Click on a width file whose widths are already corrected, into
// a writer opened already (a file or standard output), which it closes. Every pair is
// identified once, with its lines (workers 0: on every core, as identify_pairs shares
// them). The header, then per sample either "Error" (above the diagonal, below the
// k = 3 row, or a width of -1 that could not be corrected) or the sample's line. Nfp in
// the file is always floor(100 / fp_pct), also when AD equals EG. A failure to write
// stops the treatment, as does a sample whose N, %S or Nfp cannot be computed (the
// failure names it); a whole write is then abandoned.
Treatment treat_widths(const WidthFile& corrected, const Calibration& cal, const LineTables& tables,
                       std::string_view rule_name, LineWriter& out, unsigned workers = 0);

// The same treatment taken a slice of samples at a time, so that a front end can show how
// far it has come between slices. The file, calibration, tables and writer must outlive it;
// the lines written and the pairs taken are those of treat_widths, slice after slice.
class TreatmentRun {
public:
    // Writes the header.
    TreatmentRun(const WidthFile& corrected, const Calibration& cal, const LineTables& tables,
                 std::string_view rule_name, LineWriter& out, unsigned workers = 0);
    // Treats the next `count` samples (at least one); false once every sample is treated or
    // the treatment stopped, true while some are left.
    bool advance(std::size_t count);
    std::size_t done() const { return done_; }
    std::size_t total() const { return total_; }
    // The pairs taken so far; the caller may move them out as they come.
    Treatment& treated() { return treated_; }
    // Closes the writer (unless the treatment stopped) and gives what remains taken.
    Treatment finish();

private:
    const WidthFile& corrected_;
    const Calibration& cal_;
    const LineTables& tables_;
    LineWriter& out_;
    unsigned workers_;
    std::size_t total_ = 0;
    std::size_t done_ = 0;
    bool stopped_ = false;
    Treatment treated_;
};

} // namespace teravine
