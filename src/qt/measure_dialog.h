// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Measure Patterns…": the air-dried and the glycolated pattern side by side, each
// with its file chooser, its plot and the figures read, one measuring range for both,
// and the buttons that hand the two FWHMs to the main window. Non-modal; the state is
// MeasureSession's, the widgets only show it and pass the user's changes on. A file is
// read and measured on a thread of the pool while the dialog says so and stays
// responsive; a file opened meanwhile on the same side supersedes it, and a dialog closed
// or gone drops what the reading brings back. A change of range, method, scan or anode
// measures again on the pool the same way: a newer change supersedes an older one, which is
// not measured at all if it has not started. While an instrument profile is in use, the
// air-dried pattern's thickness distribution (ProfileThickness) is analysed on the pool
// alike and shown beside its width; the standard's pattern it needs is asked for once when
// it is not found.
#pragma once

#include "app/measure_session.h"
#include "app/profile_thickness.h"

#include <QDialog>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QDoubleSpinBox;
class QBoxLayout;
class QFormLayout;
class QLabel;
class QLayout;
class QPushButton;

namespace teravine {

class PeakPlotWidget;
class ThicknessPlotWidget;

// The file the user last pointed at as the standard's pattern of the instrument profile,
// kept between runs; empty when none.
std::string pointed_standard_pattern();

class MeasureDialog final : public QDialog {
public:
    struct Half {
        QWidget* frame = nullptr; // the half's group box
        QLabel* file = nullptr;
        QPushButton* choose = nullptr;
        QLabel* status = nullptr;   // "Reading <file>…" while it is read
        QComboBox* scan = nullptr;  // shown for a file of several scans
        QComboBox* anode = nullptr; // enabled for a scan that states no wavelength
        PeakPlotWidget* plot = nullptr;
        QLabel* position = nullptr;
        QLabel* fwhm = nullptr;
        QLabel* breadth = nullptr;
        QLabel* u_fwhm = nullptr;
        QLabel* message = nullptr; // the reader's or the measurer's complaint
        QLabel* counts = nullptr;  // how counts were taken from intensities that are not
    };

    // What a pair of width texts will give when drawn (k, N, %S, Nfp, or why it will not
    // be placed), under the window's rule and broadening.
    using Preview = std::function<std::string(const std::string& ad, const std::string& eg)>;

    // draw runs the main window's "Draw" after the widths were written; lab, when given, is
    // the window's calibration, whose instrument profile and CIS method the widths are held
    // against.
    MeasureDialog(WindowServices& services, std::function<void()> draw, QWidget* parent,
                  Preview what_it_gives = {}, const LabCalibration* lab = nullptr);

    // Starts reading the file; the half shows the result once it is read.
    void open_pattern(PatternSide side, const std::string& path);
    // A file is being read, a width measured or a thickness analysed.
    bool reading() const { return session_.reading() || thickness_.analysing(); }
    MeasureSession& session() { return session_; }
    const ProfileThickness& thickness() const { return thickness_; }

    const Half& half(PatternSide side) const { return halves_[static_cast<std::size_t>(side)]; }
    QDoubleSpinBox* range_lo = nullptr;
    QDoubleSpinBox* range_hi = nullptr;
    QPushButton* reset_range = nullptr;
    QCheckBox* log_counts = nullptr;
    QComboBox* method = nullptr;    // "Half height", or a fit of one of the profiles
    QSpinBox* components = nullptr; // of a fit, 1 to 3
    // Of a fit: I(Kα2) / I(Kα1), 0 to 1; its lowest step, shown "As stated", takes each
    // file's own statement, else 0.5.
    QDoubleSpinBox* alpha2_ratio = nullptr;
    QPushButton* save_figure = nullptr;
    QPushButton* use_widths = nullptr;
    QPushButton* use_and_draw = nullptr;
    QLabel* preview = nullptr;          // what the measured pair will give
    QLabel* calibration_note = nullptr; // a CIS calibration of another method
    // While an instrument profile is in use, beside the air-dried width: the mean layers of
    // the stacks with their u, their distribution, why there is none, and the button that
    // asks for the standard's pattern.
    QLabel* n_profile = nullptr;
    ThicknessPlotWidget* distribution = nullptr;
    QLabel* thickness_note = nullptr;
    QPushButton* find_standard = nullptr;

    // How a pair was measured taken up (MeasureSession::measure_like), the range, method and
    // Kα2 ratio boxes showing it.
    void measure_like(const Measurement& measured);

    // The line of what the pair will give, again (the window's rule or broadening changed).
    void refresh_preview();
    // Everything shown again: the window's calibration changed.
    void calibration_changed() { refresh(); }

    // The two halves one above the other (for a narrow room beside the window) or side by
    // side; a resize chooses again.
    void set_stacked(bool stacked);
    // The width that shows both halves side by side without shrinking them.
    int side_by_side_width() const;

    // The figure of both plots as a PNG, SVG or PDF file; the failure's text, if any.
    std::optional<std::string> save_figure_to(const std::string& path) const;

    // The file dialog that asks for the standard's pattern; `point_to_standard` takes the
    // file chosen, as from now on the first place the pattern is looked for.
    void ask_for_standard();
    void point_to_standard(const std::string& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* build_half(PatternSide side);
    QWidget* build_controls();
    void choose_file(PatternSide side);
    void range_typed();
    void method_chosen();
    // What the session left to measure, started on the pool.
    void measure_pending();
    // The thickness to analyse anew, started on the pool; its outcome taken back.
    void analyse_pending();
    void take_analysed(std::optional<ThicknessOutcome> outcome);
    // The thickness's widgets beside the air-dried width.
    QLayout* build_thickness(QWidget* box, QBoxLayout* figure_column);
    void show_thickness();
    // The scan and anode choices of the half's file.
    void fill_choices(PatternSide side);
    // Shows the session's state in every widget.
    void refresh();

    MeasureSession session_;
    ProfileThickness thickness_;
    std::function<void()> draw_;
    Preview preview_;
    QBoxLayout* halves_layout_ = nullptr;
    QFormLayout* ad_figures_ = nullptr; // its N (profile) row shown with a profile
    std::array<Half, 2> halves_;
    // The serial of the latest measuring request of each side, shared with the pool's
    // threads, which pass over a request that a later one superseded.
    using LatestSerials = std::array<std::atomic<std::uint64_t>, 2>;
    std::shared_ptr<LatestSerials> latest_ = std::make_shared<LatestSerials>();
    std::shared_ptr<std::atomic<std::uint64_t>> latest_thickness_ =
        std::make_shared<std::atomic<std::uint64_t>>(0);
};

} // namespace teravine
