// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog driven as a user would: two synthetic patterns opened, the range
// typed, the widths used and drawn; its figures and the sample placed are compared with
// what teravine-cli measure prints for the same files and range. Files are read off the
// event thread: the dialog says so, takes the latest file of a side, and may be closed or
// gone before the reading ends; the anode is told for a file that does not state it; the
// widths are held against the window's calibration.
#include "formats/binary_writers.h"
#include "formats/synthetic_pattern.h"
#include "qt/main_window.h"
#include "qt/measure_dialog.h"
#include "qt/peak_plot_widget.h"
#include "qt/sample_table_dock.h"
#include "standards/instrument_measure.h"
#include "support/scratch_folder.h"
#include "support/scripted_services.h"
#include "text/number_text.h"
#include "text/sha256.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace teravine {
namespace {

std::string write_pattern(const ScratchFolder& folder, const std::string& name, double fwhm,
                          unsigned seed) {
    synthetic::PeakShape shape;
    shape.fwhm = fwhm;
    shape.background = synthetic::Background::Sloping;
    shape.step = 0.02;
    shape.noise_seed = seed;
    const std::string path = folder.file(name);
    std::ofstream(path) << synthetic::file_text(synthetic::make_pattern(shape),
                                                synthetic::Format::Xy);
    return path;
}

// Lets the event loop run until the dialog has taken back every file it reads and every
// width it measures again.
void wait_until_read(const MeasureDialog& dialog) {
    QElapsedTimer timer;
    timer.start();
    while (dialog.reading() && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(dialog.reading()) << "still reading after 30 s";
}

// The lines teravine-cli prints for the arguments.
QStringList cli_lines(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(TERAVINE_CLI), arguments);
    EXPECT_TRUE(cli.waitForFinished(30000));
    return QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

class MeasureDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.start();
        ad = write_pattern(folder, "ad.xy", 0.45, 0);
        eg = write_pattern(folder, "eg.xy", 0.35, 7);
    }
    QString box(TextBox which) const { return window.controls().box(which)->text(); }

    MainWindow window{MainWindow::Options{false}};
    ScratchFolder folder;
    std::string ad, eg;
};

TEST_F(MeasureDialogTest, ShowsTheCliWidthsAndUseAndDrawPlacesItsSample) {
    window.menus().measure_patterns->trigger();
    MeasureDialog& dialog = window.show_measure_dialog();
    EXPECT_FALSE(dialog.isModal());
    dialog.open_pattern(PatternSide::AirDried, ad);
    dialog.open_pattern(PatternSide::Glycolated, eg);
    wait_until_read(dialog);
    // The low end dragged on the plot to 7°, then both ends typed.
    PeakPlotWidget* plot = dialog.half(PatternSide::AirDried).plot;
    plot->repaint();
    const auto at = [&](double x) { return QPoint(static_cast<int>(std::lround(x)), 100); };
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, at(plot->plot().range_lo_x));
    QMouseEvent move(QEvent::MouseMove, at(plot->plot().x_of(7.0)),
                     plot->mapToGlobal(at(plot->plot().x_of(7.0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, at(plot->plot().x_of(7.0)));
    wait_until_read(dialog);
    EXPECT_NEAR(dialog.session().range().lo, 7.0, 0.03);
    EXPECT_NEAR(dialog.range_lo->value(), dialog.session().range().lo, 1e-9);
    dialog.range_lo->setValue(7.1);
    dialog.range_hi->setValue(10.9);
    // Measured again off the event thread: no widths to use meanwhile.
    EXPECT_FALSE(dialog.use_widths->isEnabled());
    EXPECT_EQ(dialog.half(PatternSide::AirDried).status->text(), QStringLiteral("Measuring…"));
    wait_until_read(dialog);

    const QStringList rows =
        cli_lines({"measure", QString::fromStdString(ad), QString::fromStdString(eg), "--range",
                   "7.1:10.9", "--identify"});
    ASSERT_EQ(rows.size(), 9); // the table, the result line, the label, the four intervals
    for (const auto& [row, side] :
         {std::pair{1, PatternSide::AirDried}, std::pair{2, PatternSide::Glycolated}}) {
        const QStringList columns = rows[row].split('\t');
        EXPECT_EQ(dialog.half(side).fwhm->text(), columns[3] + QStringLiteral("°"));
        EXPECT_EQ(dialog.half(side).position->text(), columns[2] + QStringLiteral("°"));
    }

    dialog.use_and_draw->click();
    EXPECT_EQ(box(TextBox::Xls).toStdString(), dialog.session().box_text(PatternSide::AirDried));
    ASSERT_EQ(window.terav().state().samples.size(), 1u);
    EXPECT_EQ(QString::fromStdString(window.terav().state().samples.back().record.label), rows[4]);
    // The sample keeps what it was measured on.
    const auto& measured = window.terav().state().samples.back().origin.measurement;
    ASSERT_TRUE(measured);
    EXPECT_EQ(measured->ad.path, ad);
    EXPECT_EQ(measured->eg.sha256, *sha256_of_file(eg));
    EXPECT_EQ(measured->range_lo, 7.1);
    // Its interval takes the measurement's own u, as a measured list's sample does.
    const SampleOrigin& origin = window.terav().state().samples.back().origin;
    EXPECT_EQ(origin.u_ad, std::optional(measured->ad.u));
    EXPECT_EQ(origin.u_eg, std::optional(measured->eg.u));

    const std::string figure = folder.file("peaks.png");
    EXPECT_EQ(dialog.save_figure_to(figure), std::nullopt);
    EXPECT_TRUE(std::ifstream(figure).good());
}

// After a session, the dialog measures as its latest measured pair was measured: opened
// first then, or open already when the session is opened.
TEST_F(MeasureDialogTest, TakesUpHowTheSessionsLatestPairWasMeasured) {
    Measurement m;
    m.ad = m.eg = {ad, sha256_hex("ad"), 1, 0.45f, 0.01f, "ok", ""};
    m.range_lo = 7.25;
    m.range_hi = 10.5;
    m.method = "fit:split-pearson7";
    m.alpha2_ratio = 0.3;
    window.controls().box(TextBox::Broad)->setText(QStringLiteral("0"));
    window.controls().box(TextBox::Xls)->setText(QStringLiteral("0.45"));
    window.controls().box(TextBox::Yls)->setText(QStringLiteral("0.35"));
    window.terav().use_measurement(m);
    window.controls().Command1->click();
    ASSERT_EQ(window.terav().latest_measurement(), m);
    MeasureDialog& dialog = window.show_measure_dialog();
    for (const bool again : {false, true}) {
        EXPECT_EQ(dialog.method->currentText(), QStringLiteral("Fit split-pearson7")) << again;
        EXPECT_EQ(dialog.alpha2_ratio->value(), 0.3);
        EXPECT_TRUE(dialog.alpha2_ratio->isEnabled());
        EXPECT_EQ(dialog.range_lo->value(), 7.25);
        EXPECT_EQ(dialog.session().alpha2_ratio(), 0.3);
        dialog.method->setCurrentIndex(0);
        dialog.alpha2_ratio->setValue(0.5);
        window.session_opened();
    }
}

TEST_F(MeasureDialogTest, ABadFileIsNamedInItsHalfAndChangesNothingElse) {
    MeasureDialog& dialog = window.show_measure_dialog();
    window.controls().box(TextBox::Xls)->setText(QStringLiteral("0.5"));
    const std::string flat = folder.file("flat.xy");
    std::ofstream(flat)
        << "6 100\n7 100\n8 100\n8.5 100\n9 100\n9.5 100\n10 100\n10.5 100\n11 100\n11.2 100\n"
           "11.3 100\n11.4 100\n11.5 100\n12 100\n";
    struct Case {
        std::string path;
        const char* message;
    };
    // An archive of four long rows of commas, which once ran the reading out of memory.
    const std::string commas = "<RawData><DataRoutes><DataRoute><ScanInformation><ScaleAxes>"
                               "<ScaleAxisInfo><Start>5</Start><Increment>0.01</Increment>"
                               "</ScaleAxisInfo></ScaleAxes></ScanInformation><Datum>" +
                               std::string(2'500'000, ',') +
                               "</Datum></DataRoute></DataRoutes></RawData>";
    const std::string bomb = folder.file("commas.brml");
    std::ofstream(bomb, std::ios::binary) << binary::zip_of({{"Experiment0/RawData0.xml", commas},
                                                             {"Experiment0/RawData1.xml", commas},
                                                             {"Experiment0/RawData2.xml", commas},
                                                             {"Experiment0/RawData3.xml", commas}});
    for (const Case& c : {Case{folder.file("missing.xy"), "cannot be opened"},
                          Case{flat, "flat.xy: no peak"}, Case{bomb, "more than 8000000 points"}}) {
        dialog.open_pattern(PatternSide::AirDried, c.path);
        dialog.open_pattern(PatternSide::Glycolated, eg);
        wait_until_read(dialog);
        EXPECT_TRUE(dialog.half(PatternSide::AirDried).message->text().contains(c.message))
            << dialog.half(PatternSide::AirDried).message->text().toStdString();
        EXPECT_TRUE(dialog.half(PatternSide::Glycolated).message->text().isEmpty());
        EXPECT_NE(dialog.half(PatternSide::Glycolated).fwhm->text(), QStringLiteral("–"));
        EXPECT_FALSE(dialog.use_and_draw->isEnabled());
        dialog.use_and_draw->click();
        EXPECT_EQ(box(TextBox::Xls), QStringLiteral("0.5"));
        EXPECT_TRUE(window.terav().state().samples.empty());
    }
}

TEST_F(MeasureDialogTest, ReadsOffTheEventThreadAndTakesTheLatestFile) {
    MeasureDialog& dialog = window.show_measure_dialog();
    const MeasureDialog::Half& h = dialog.half(PatternSide::AirDried);
    dialog.open_pattern(PatternSide::AirDried, folder.file("missing.xy"));
    dialog.open_pattern(PatternSide::AirDried, ad);
    // Until the event loop runs again the dialog can only be reading.
    EXPECT_TRUE(dialog.reading());
    EXPECT_EQ(h.status->text(), QStringLiteral("Reading ad.xy…"));
    EXPECT_EQ(h.fwhm->text(), QStringLiteral("–"));
    EXPECT_FALSE(dialog.save_figure->isEnabled());
    wait_until_read(dialog);
    EXPECT_TRUE(h.status->text().isEmpty());
    EXPECT_TRUE(h.message->text().isEmpty()) << h.message->text().toStdString();
    EXPECT_EQ(h.file->text().toStdString(), ad);
    EXPECT_NE(h.fwhm->text(), QStringLiteral("–"));
    EXPECT_FALSE(h.scan->isVisibleTo(&dialog)); // one scan: nothing to choose

    // Closed while reading, then shown again: the file read meanwhile is there.
    dialog.open_pattern(PatternSide::Glycolated, eg);
    dialog.close();
    wait_until_read(dialog);
    window.show_measure_dialog();
    EXPECT_NE(dialog.half(PatternSide::Glycolated).fwhm->text(), QStringLiteral("–"));
}

TEST_F(MeasureDialogTest, ADialogGoneBeforeItsFileIsReadIsLeftAlone) {
    synthetic::PeakShape shape;
    shape.step = 0.0001; // 100,001 points: read long enough to outlive the dialog
    const std::string big = folder.file("big.xy");
    std::ofstream(big) << synthetic::file_text(synthetic::make_pattern(shape),
                                               synthetic::Format::Xy);
    ScriptedServices services;
    for (int round = 0; round < 3; ++round) {
        auto* dialog = new MeasureDialog(services, {}, nullptr);
        dialog->open_pattern(PatternSide::AirDried, big);
        dialog->open_pattern(PatternSide::Glycolated, big);
        EXPECT_TRUE(dialog->reading());
        delete dialog;
    }
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents(); // whatever the workers posted finds no dialog
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(MeasureDialogTest, TheAnodeToldMeasuresAsTheCliToldItDoes) {
    MeasureDialog& dialog = window.show_measure_dialog();
    dialog.open_pattern(PatternSide::AirDried, ad);
    dialog.open_pattern(PatternSide::Glycolated, eg);
    wait_until_read(dialog);
    QComboBox* anode = dialog.half(PatternSide::AirDried).anode;
    EXPECT_TRUE(anode->isEnabled()); // the .xy file states no wavelength
    EXPECT_EQ(anode->currentText(), QStringLiteral("Cu"));
    anode->setCurrentIndex(anode->findText(QStringLiteral("Co")));
    emit anode->activated(anode->currentIndex());
    wait_until_read(dialog);
    const QStringList rows = cli_lines(
        {"measure", QString::fromStdString(ad), QString::fromStdString(eg), "--anode", "Co"});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(dialog.half(PatternSide::AirDried).fwhm->text(),
              rows[1].split('\t')[3] + QStringLiteral("°"));
    EXPECT_TRUE(dialog.session().half(PatternSide::AirDried).width->converted);
    EXPECT_FALSE(dialog.session().half(PatternSide::Glycolated).width->converted);

    // A file that states its wavelength shows its anode and takes no other.
    const std::string co = folder.file("co.xrdml");
    synthetic::PeakShape shape;
    shape.position = 10.2;
    std::ofstream(co) << synthetic::file_text(synthetic::make_pattern(shape),
                                              synthetic::Format::XrdmlIntensities, 1.78901);
    dialog.open_pattern(PatternSide::Glycolated, co);
    wait_until_read(dialog);
    QComboBox* stated = dialog.half(PatternSide::Glycolated).anode;
    EXPECT_FALSE(stated->isEnabled());
    EXPECT_EQ(stated->currentText(), QStringLiteral("Co"));
}

TEST_F(MeasureDialogTest, AFileOfSeveralScansOffersThemAll) {
    // Two scans of one XRDML file: a narrow and a broad peak.
    std::string scans;
    for (const double fwhm : {0.3, 0.6}) {
        synthetic::PeakShape shape;
        shape.fwhm = fwhm;
        const std::string one = synthetic::file_text(synthetic::make_pattern(shape),
                                                     synthetic::Format::XrdmlIntensities);
        const auto from = one.find("<scan>");
        scans += one.substr(from, one.find("</scan>") + 7 - from) + "\n";
    }
    const std::string whole =
        synthetic::file_text(synthetic::make_pattern({}), synthetic::Format::XrdmlIntensities);
    const std::string two = folder.file("two.xrdml");
    std::ofstream(two) << whole.substr(0, whole.find("<scan>")) << scans
                       << "</xrdMeasurement>\n</xrdMeasurements>\n";

    MeasureDialog& dialog = window.show_measure_dialog();
    dialog.open_pattern(PatternSide::AirDried, two);
    wait_until_read(dialog);
    QComboBox* scan = dialog.half(PatternSide::AirDried).scan;
    ASSERT_EQ(scan->count(), 2);
    EXPECT_TRUE(scan->isVisibleTo(&dialog));
    EXPECT_TRUE(scan->itemText(1).startsWith(QStringLiteral("Scan 2: 4° to 14°, 1001 points")))
        << scan->itemText(1).toStdString();
    const auto fwhm = [&] { return dialog.half(PatternSide::AirDried).fwhm->text().chopped(1); };
    EXPECT_NEAR(fwhm().toDouble(), 0.3, 0.005);
    scan->setCurrentIndex(1);
    emit scan->activated(1);
    wait_until_read(dialog);
    EXPECT_NEAR(fwhm().toDouble(), 0.6, 0.01);
    // The CLI measures the same scan when told it.
    const QStringList rows = cli_lines(
        {"measure", QString::fromStdString(two), QString::fromStdString(two), "--scan", "2"});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(dialog.half(PatternSide::AirDried).fwhm->text(),
              rows[1].split('\t')[3] + QStringLiteral("°"));
}

// Each method of the box measures both patterns as the session's own method does, the
// components only with a fit; the dialog still fits a 1280 x 1024 screen.
TEST_F(MeasureDialogTest, TheMethodChosenMeasuresBothPatterns) {
    MeasureDialog& dialog = window.show_measure_dialog();
    dialog.open_pattern(PatternSide::AirDried, ad);
    dialog.open_pattern(PatternSide::Glycolated, eg);
    wait_until_read(dialog);
    for (int index = 0; index < dialog.method->count(); ++index) {
        dialog.method->setCurrentIndex(index);
        dialog.components->setValue(index == 4 ? 2 : 1);
        wait_until_read(dialog);
        const WidthMethod& method = dialog.session().method();
        EXPECT_EQ(method.fits(), index > 0);
        EXPECT_EQ(dialog.components->isEnabled(), index > 0);
        EXPECT_EQ(dialog.alpha2_ratio->isEnabled(), index > 0);
        for (const PatternSide side : {PatternSide::AirDried, PatternSide::Glycolated}) {
            const MeasuredHalf& half = dialog.session().half(side);
            ASSERT_TRUE(half.width.has_value()) << half.problem;
            const auto again = read_width(*half.pattern(), dialog.session().range(), method);
            ASSERT_TRUE(again.ok());
            EXPECT_EQ(half.width->fwhm, again->width.fwhm);
            EXPECT_EQ(half.fit.has_value(), index > 0);
            if (half.fit) {
                EXPECT_EQ(half.fit->components.size(), index == 4 ? 2u : 1u);
            }
        }
    }
    EXPECT_LE(dialog.sizeHint().width(), 1280);
    EXPECT_LE(dialog.sizeHint().height(), 1024);
    // The Kα2 ratio of the fits: the files' own (none stated: 0.5) until one is given.
    EXPECT_EQ(dialog.alpha2_ratio->text(), QStringLiteral("As stated"));
    EXPECT_EQ(dialog.session().half(PatternSide::AirDried).fit->alpha2_ratio, 0.5);
    dialog.alpha2_ratio->setValue(0);
    wait_until_read(dialog);
    EXPECT_EQ(dialog.session().alpha2_ratio(), 0.0);
    EXPECT_EQ(dialog.session().half(PatternSide::Glycolated).fit->alpha2_ratio, 0.0);
    dialog.alpha2_ratio->setValue(dialog.alpha2_ratio->minimum());
    wait_until_read(dialog);
    EXPECT_EQ(dialog.session().alpha2_ratio(), std::nullopt);

    // The window's instrument profile and CIS calibration of the half-height reading, taken
    // while the dialog is open: the fitted widths are flagged, the calibration named.
    InstrumentProfile profile;
    profile.method = "half-height";
    window.terav().use_instrument_profile(profile, "INSTRUMENT.json");
    CisCalibration calibration;
    calibration.method = "half-height";
    window.terav().use_cis_calibration(calibration, "calibration.json");
    const QLabel* message = dialog.half(PatternSide::Glycolated).message;
    EXPECT_TRUE(message->text().contains(QStringLiteral("instrument-method")))
        << message->text().toStdString();
    EXPECT_TRUE(dialog.calibration_note->text().contains(QStringLiteral("does not carry over")));
    // The sample drawn from them keeps the flag: its table cell names the reasons.
    dialog.use_and_draw->click();
    SampleTableModel& table = window.sample_table().model();
    table.show_appended();
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.index(0, 3).data(Qt::ToolTipRole).toString(),
              QStringLiteral("Doubtful: ") +
                  QString::fromStdString(dialog.session().quality(PatternSide::Glycolated)));
    window.terav().stop_instrument_profile();
    window.terav().stop_cis_calibration();
    EXPECT_FALSE(message->text().contains(QStringLiteral("instrument-method")));
    EXPECT_TRUE(dialog.calibration_note->text().isEmpty());
}

// With an instrument profile made from a standard's pattern that lies beside the profile,
// the air-dried pattern's mean layers stand beside its width as teravine-cli thickness gives
// them in the same range, and the sample placed from the widths keeps them.
TEST_F(MeasureDialogTest, TheProfilesStandardGivesTheStacksThicknessBesideTheWidth) {
    const std::string mica = folder.file("mica.xy");
    std::filesystem::copy_file(
        std::string(std::getenv("TERAVINE_SOURCE_DIR")) + "/examples/mica.xy", mica);
    const auto made = measure_instrument_file(mica, {}, {});
    ASSERT_TRUE(made) << made.error();
    window.terav().use_instrument_profile(made->profile, folder.file("instrument.json"));
    MeasureDialog& dialog = window.show_measure_dialog();
    dialog.open_pattern(PatternSide::AirDried, ad);
    dialog.open_pattern(PatternSide::Glycolated, eg);
    dialog.range_lo->setValue(6.8);
    wait_until_read(dialog);
    const QStringList rows = cli_lines({"thickness", QString::fromStdString(ad), "--standard",
                                        QString::fromStdString(mica), "--range", "6.8:11.5"});
    ASSERT_GE(rows.size(), 2);
    const double mean = rows[0].section('\t', 1).toDouble();
    const double u = rows[1].section('\t', 1).toDouble();
    ASSERT_TRUE(dialog.thickness().result()) << dialog.thickness_note->text().toStdString();
    EXPECT_NEAR(dialog.thickness().result()->mean_layers, mean, 5e-4);
    EXPECT_NEAR(dialog.thickness().result()->u_mean_layers, u, 5e-4);
    EXPECT_TRUE(dialog.n_profile->text().startsWith(
        QString::fromStdString(format_fixed(dialog.thickness().result()->mean_layers, 2))));
    EXPECT_FALSE(dialog.find_standard->isVisibleTo(&dialog));

    dialog.use_and_draw->click();
    ASSERT_EQ(window.terav().state().samples.size(), 1u);
    EXPECT_EQ(window.terav().state().samples[0].origin.n_profile,
              static_cast<float>(dialog.thickness().result()->mean_layers));
}

} // namespace
} // namespace teravine
