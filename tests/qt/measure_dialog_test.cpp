// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog driven as a user would: two synthetic patterns opened, the range
// typed, the widths used and drawn; its figures and the sample placed are compared with
// what teravine-cli measure prints for the same files and range.
#include "patterns/synthetic_pattern.h"
#include "qt/main_window.h"
#include "qt/measure_dialog.h"
#include "qt/peak_plot_widget.h"
#include "support/scratch_folder.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_NEAR(dialog.session().range().lo, 7.0, 0.03);
    EXPECT_NEAR(dialog.range_lo->value(), dialog.session().range().lo, 1e-9);
    dialog.range_lo->setValue(7.1);
    dialog.range_hi->setValue(10.9);

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

    const std::string figure = folder.file("peaks.png");
    EXPECT_EQ(dialog.save_figure_to(figure), std::nullopt);
    EXPECT_TRUE(std::ifstream(figure).good());
}

TEST_F(MeasureDialogTest, ABadFileIsNamedInItsHalfAndChangesNothingElse) {
    MeasureDialog& dialog = window.show_measure_dialog();
    window.controls().box(TextBox::Xls)->setText(QStringLiteral("0.5"));
    const std::string flat = folder.file("flat.xy");
    std::ofstream(flat) << "8 100\n8.5 100\n9 100\n9.5 100\n10 100\n10.5 100\n11 100\n11.2 100\n"
                           "11.3 100\n11.4 100\n11.5 100\n";
    struct Case {
        std::string path;
        const char* message;
    };
    for (const Case& c :
         {Case{folder.file("missing.xy"), "cannot be opened"}, Case{flat, "flat.xy: no peak"}}) {
        dialog.open_pattern(PatternSide::AirDried, c.path);
        dialog.open_pattern(PatternSide::Glycolated, eg);
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

} // namespace
} // namespace teravine
