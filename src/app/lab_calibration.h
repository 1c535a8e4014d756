// SPDX-License-Identifier: GPL-3.0-or-later
// The laboratory's own calibration, held by the window beside the diagram's tables: the
// instrument profile whose b stands in "Instrumental Broadening", and the CIS calibration
// that turns each sample's air-dried width into a Kübler index on the CIS scale, read
// against the zone limits chosen. Also the measuring of a standard's pattern, on any
// thread, as the measuring dialog measures a sample's.
#pragma once

#include "identify/sample_list.h"
#include "peaks/width_method.h"
#include "standards/cis_calibration.h"
#include "standards/instrument_profile.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

struct LabCalibration {
    std::optional<InstrumentProfile> profile; // in use: its b is in the broadening box
    std::string profile_source;               // the file it was read from or made of
    // The session file last opened or saved, beside which the standard's pattern that the
    // profile names is also looked for; never written into a session.
    std::string session_file;
    std::optional<CisCalibration> cis;
    std::string cis_source;
    ZoneLimits limits = default_zone_limits();
};

// "b = 0.0712° (u 0.0015) from the instrument profile of mica.raw, half-height", or empty
// when no profile is in use.
std::string broadening_source(const LabCalibration& lab);

// What the calibration dialog says of the instrument profile: "In use: " and its
// broadening_source with the angle, or that none is in use.
std::string profile_state_text(const LabCalibration& lab);
// Likewise of the CIS calibration: its equation and zone limits (and file), or that none is
// loaded.
std::string cis_state_text(const LabCalibration& lab);

// "KI (CIS) = 0.0270 + 1.1000 · FWHM, r = 0.9990, n = 5" ("AI (CIS)" for the Árkai index)
std::string cis_equation(const CisCalibration& calibration);

// A calibration of the Kübler index is loaded: the one that converts the samples' air-dried
// (illite 10 Å) widths. One of the Árkai index is kept, drawn and saved, but converts none.
bool converts_samples(const LabCalibration& lab);

// The Kübler index on the CIS scale of a sample: from its air-dried width as measured or
// typed, before any broadening was removed (the standards were measured so), with that
// width's own u where it has one. Nothing for a click, or unless converts_samples.
std::optional<CisValue> sample_cis(const SampleOrigin& origin, const LabCalibration& lab);
std::optional<CisValue> width_cis(float raw_ad, float u_ad, const LabCalibration& lab);

// What the window says of a standard's file of several scans of which none, or more than
// one, covers the range: it has no scan box for a standard.
inline constexpr std::string_view kStandardScanChoice = "choose a range that one scan alone covers";

// A standard's width as the dialogs measure it, with the Kα2 ratio its fit took (none for
// the half-height reading) and which scan of several was taken, when it was chosen.
struct StandardWidth {
    PeakWidth width;
    std::optional<double> alpha2_ratio;
    std::string scan_note;
};

// A standard's pattern read and its peak measured, as the measuring dialog measures a
// sample's and `cis fit` a standard's: of a file of several scans, the only one that
// covers the range (several or none refused with their list). A fit takes the Kα2 ratio
// given, else the file's own, else 0.5.
Outcome<StandardWidth> measure_standard(const std::string& path, const PeakRange& range,
                                        const WidthMethod& method,
                                        std::optional<double> alpha2_ratio = {});

// One row of the standards the window's dialog lists: a name, the CIS value as typed
// (empty: the known standard's), the measured FWHM as typed or measured, its u, and the
// Kα2 ratio the fit of its pattern took (none for a width typed or read at half height).
struct StandardRow {
    std::string name;
    std::string certified;
    std::string fwhm;
    double u_fwhm = 0;
    std::optional<double> alpha2_ratio = {};
};

// The method in full that a calibration fitted to these rows states: the method's, with
// the range and the Kα2 ratio their fits took; refused when two fits took different ratios
// (files that state different ratios, measured with "As stated" in the Kα2 ratio box).
Outcome<std::string> rows_method_name(const std::vector<StandardRow>& rows,
                                      const WidthMethod& method, const PeakRange& range);

// The text a row takes of a measured figure shown in the standards table: the figure in
// full (the fewest digits that read back to it) while the cell still shows it as it was
// measured, so that the fit is that of `cis fit` on the same patterns; else the text as
// shown, typed over.
std::string measured_cell_text(const std::string& shown, double measured);

// The rows as standards to fit; a row wholly empty is skipped. Refuses, naming the row,
// a FWHM or value that is not a positive number, and an empty value whose name is not a
// known standard of that index.
Outcome<std::vector<CisStandard>> standards_of_rows(const std::vector<StandardRow>& rows,
                                                    CisIndex index);

} // namespace teravine
