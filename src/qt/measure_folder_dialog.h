// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Measure Folder…": the AD and EG patterns of a folder paired by their names, shown
// with the files left unpaired before anything is measured; then every pair measured on the
// thread pool, a bar showing how far it has gone, and the measured pairs handed to the
// window as a sample list. Non-modal: the window stays usable meanwhile; Cancel, or closing
// the dialog, drops the run and places nothing.
#pragma once

#include "app/folder_pairs.h"
#include "app/measured_pair.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace teravine {

class MeasureFolderDialog final : public QDialog {
public:
    // What the window measures with beyond the dialog's method (the broadening, the
    // instrument profile in use and its standard's pattern, read for the range), or why it
    // cannot measure; the pairs lie in `folder`.
    using Measuring =
        std::function<Outcome<PairMeasuring>(const PeakRange& range, const std::string& folder)>;
    // Places the measured pairs, a list named after the folder.
    using Place = std::function<void(const NamedList& list, const std::string& folder)>;

    MeasureFolderDialog(Measuring measuring, Place place, QWidget* parent);
    ~MeasureFolderDialog() override;

    // The folder's pairs and unpaired files shown; a folder that cannot be read says why.
    void show_folder(const std::string& folder);
    // Asks for a folder, starting from the one shown; false when none was chosen.
    bool choose_folder();
    const std::string& folder() const { return folder_; }
    const FolderPairing& pairing() const { return pairing_; }

    // Starts measuring every pair shown; Cancel drops the run.
    void measure();
    void cancel();
    bool measuring() const { return run_ != nullptr; }

    QLabel* folder_label = nullptr;
    QTableWidget* pairs = nullptr;    // sample, AD file, EG file, what it gave
    QTableWidget* unpaired = nullptr; // file, why
    QDoubleSpinBox* range_lo = nullptr;
    QDoubleSpinBox* range_hi = nullptr;
    QComboBox* method = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* summary = nullptr;
    QPushButton* choose = nullptr;
    QPushButton* measure_button = nullptr;
    QPushButton* cancel_button = nullptr;
    QPushButton* close_button = nullptr;

    // Closing, by any means, drops a run.
    void done(int result) override;

private:
    // What a pair gave, brought back from the pool.
    struct PairResult {
        std::optional<ListedSample> sample;
        std::string problem;           // why it was left out, or its doubts
        std::string n_profile_problem; // why it has no N (profile), a standard found
    };
    struct Run {
        std::atomic<bool> dropped{false};
        std::vector<std::optional<PairResult>> results;
        std::size_t done = 0;
        std::string standard_problem; // said once, beside the summary
    };
    void take(std::optional<PairResult> result, std::size_t row, const std::shared_ptr<Run>& run);
    void finish();
    void show_state();
    // Why the run's pairs take no N (profile), on a line of its own; empty when they do.
    static QString standard_note(const Run& run);

    Measuring measuring_;
    Place place_;
    std::string folder_;
    FolderPairing pairing_;
    std::shared_ptr<Run> run_;
};

} // namespace teravine
