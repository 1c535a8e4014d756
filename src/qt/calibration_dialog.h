// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Calibration…": the instrument profile (opened, or made from a standard's
// pattern) whose b fills "Instrumental Broadening", and the CIS calibration (opened, or
// fitted to a list of standards typed or measured from their patterns) with its zone
// limits, plotted with the fitted line and the residuals. Non-modal. The state is the
// window's (Terav's LabCalibration); the widgets show it and pass the user's changes on.
// Patterns are read and measured on a thread of the pool, as the measuring dialog reads
// a sample's; a dialog gone drops what the reading brings back.
#pragma once

#include "app/lab_calibration.h"
#include "app/terav.h"
#include "standards/instrument_measure.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace teravine {

class CisPlotWidget;

class CalibrationDialog final : public QDialog {
public:
    CalibrationDialog(Terav& terav, QWidget* parent);

    // Shows the window's calibration as it now stands.
    void refresh();

    // A standard's pattern made into the instrument profile in use, once it is read.
    void make_profile(const std::string& path);
    // A row for a standard's pattern, its FWHM filled in once it is read.
    void add_standard_pattern(const std::string& path);
    // A row typed: name, CIS value (empty: the known standard's), FWHM.
    void add_standard(const std::string& name, const std::string& certified,
                      const std::string& fwhm);
    // Fits the rows and uses the line; false when they give none (the reason shown).
    bool fit_standards();
    // A pattern is being read.
    bool reading() const { return readings_ > 0; }
    // The figure of the calibration in use; the failure's text, if any.
    std::optional<std::string> save_figure_to(const std::string& path) const;

    // The widgets, for the tests. Each part measures its standards' patterns in a range
    // of its own: a mica's 001 for the profile, the index's peak for the CIS standards.
    QComboBox* method = nullptr;
    QDoubleSpinBox* alpha2_ratio = nullptr; // of a fit, as Measure Patterns has it
    QDoubleSpinBox* profile_lo = nullptr;
    QDoubleSpinBox* profile_hi = nullptr;
    QDoubleSpinBox* cis_lo = nullptr;
    QDoubleSpinBox* cis_hi = nullptr;
    QLabel* profile_state = nullptr;
    QLabel* profile_message = nullptr;
    QPushButton* save_profile = nullptr;
    QPushButton* stop_profile = nullptr;
    QComboBox* index = nullptr;
    QComboBox* limits = nullptr; // "2015", "1994", own
    QDoubleSpinBox* own_lower = nullptr;
    QDoubleSpinBox* own_upper = nullptr;
    QTableWidget* standards = nullptr; // Name, CIS value, FWHM, u(FWHM), Pattern
    QLabel* cis_state = nullptr;
    QLabel* cis_message = nullptr;
    QPushButton* save_calibration = nullptr;
    QPushButton* save_figure = nullptr;
    QPushButton* stop_cis = nullptr;
    CisPlotWidget* plot = nullptr;

private:
    // What a reading on the pool brings back: a profile made, or a standard's width.
    struct Reading {
        std::uint64_t serial = 0; // of the row, or of the profile's standard
        std::string path;
        Outcome<MeasuredInstrument> profile = Failure{};
        Outcome<StandardWidth> width = Failure{};
    };

    QWidget* build_measuring();
    QWidget* build_profile();
    QWidget* build_cis();
    void read_in_pool(std::uint64_t serial, const std::string& path, bool profile);
    void take_profile(const Reading& reading);
    void index_chosen();
    // A known standard's published value, shown greyed in an empty CIS value cell.
    void show_published(int row);
    void take_reading(std::optional<Reading> reading);
    void limits_chosen();
    int row_of(std::uint64_t serial) const;

    Terav& terav_;
    std::uint64_t next_serial_ = 0;
    std::uint64_t profile_serial_ = 0; // of the latest standard for the profile
    int readings_ = 0;
};

} // namespace teravine
