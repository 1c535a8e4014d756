// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Calibration…" driven as a user would: a mica's pattern made into the instrument
// profile on a thread of the pool, its b in the broadening box until typed over; standards
// typed and measured from their patterns, fitted, and the sample table's KI (CIS) and Zone
// columns coming and going with the calibration; the figure saved in three formats.
#include "formats/synthetic_pattern.h"
#include "qt/calibration_dialog.h"
#include "qt/main_window.h"
#include "qt/sample_table_dock.h"
#include "support/scratch_folder.h"
#include "text/number_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace teravine {
namespace {

std::string write_peak(const ScratchFolder& folder, const std::string& name, double fwhm,
                       double position) {
    synthetic::PeakShape shape;
    shape.fwhm = fwhm;
    shape.position = position;
    shape.step = 0.005;
    const std::string path = folder.file(name);
    std::ofstream(path) << synthetic::file_text(synthetic::make_pattern(shape),
                                                synthetic::Format::Xy);
    return path;
}

void wait_until_read(const CalibrationDialog& dialog) {
    QElapsedTimer timer;
    timer.start();
    while (dialog.reading() && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(dialog.reading()) << "still reading after 30 s";
}

class CalibrationDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.start();
    }
    QLineEdit* box(TextBox which) const { return window.controls().box(which); }
    const LabCalibration& lab() { return window.terav().state().lab; }

    MainWindow window{MainWindow::Options{false}};
    ScratchFolder folder;
};

TEST_F(CalibrationDialogTest, AStandardsPatternGivesTheBroadeningUntilItIsTypedOver) {
    window.menus().calibration->trigger();
    CalibrationDialog& dialog = window.show_calibration_dialog();
    EXPECT_FALSE(dialog.isModal());
    dialog.make_profile(folder.file("missing.xy"));
    wait_until_read(dialog);
    EXPECT_FALSE(lab().profile);
    EXPECT_NE(dialog.profile_message->text().indexOf(QStringLiteral("missing.xy")), -1);

    dialog.make_profile(write_peak(folder, "mica.xy", 0.08, 8.86));
    wait_until_read(dialog);
    ASSERT_TRUE(lab().profile) << dialog.profile_message->text().toStdString();
    EXPECT_NEAR(lab().profile->b, 0.08, 0.004);
    EXPECT_EQ(lab().profile->standard, "mica.xy");
    EXPECT_EQ(box(TextBox::Broad)->text().toStdString(), width_text(lab().profile->b));
    EXPECT_NE(window.broadening_source_label()->toolTip().indexOf(QStringLiteral("mica.xy")), -1);
    EXPECT_NE(box(TextBox::Broad)->toolTip().indexOf(QStringLiteral("mica.xy")), -1);
    EXPECT_TRUE(dialog.stop_profile->isEnabled());

    QTest::keyClicks(box(TextBox::Broad), QStringLiteral("5"));
    EXPECT_FALSE(lab().profile);
    EXPECT_TRUE(window.broadening_source_label()->text().isEmpty());
    EXPECT_FALSE(dialog.stop_profile->isEnabled());
}

// The Kα2 ratio box, as Measure Patterns has it: waiting while widths are read at half
// height; for a fit, the ratio every standard's fit and the profile's take, in their method.
TEST_F(CalibrationDialogTest, FitsTakeTheRatioOfTheBox) {
    CalibrationDialog& dialog = window.show_calibration_dialog();
    EXPECT_FALSE(dialog.alpha2_ratio->isEnabled());
    EXPECT_EQ(dialog.alpha2_ratio->text(), QStringLiteral("As stated"));
    dialog.method->setCurrentIndex(dialog.method->findText(QStringLiteral("Fit split-pearson7")));
    ASSERT_TRUE(dialog.alpha2_ratio->isEnabled());
    dialog.alpha2_ratio->setValue(0.4);
    dialog.make_profile(write_peak(folder, "mica.xy", 0.08, 8.86));
    for (const char* name : {"SW1-2012.xy", "SW2-2012.xy", "SW6-2012.xy"}) {
        dialog.add_standard_pattern(
            write_peak(folder, name, 0.6 - 0.1 * dialog.standards->rowCount(), 8.85));
    }
    wait_until_read(dialog);
    ASSERT_TRUE(lab().profile);
    EXPECT_NE(lab().profile->method.find(" alpha2_ratio=0.4"), std::string::npos)
        << lab().profile->method;
    ASSERT_TRUE(dialog.fit_standards()) << dialog.cis_message->text().toStdString();
    EXPECT_NE(lab().cis->method.find(" alpha2_ratio=0.4 "), std::string::npos) << lab().cis->method;
}

TEST_F(CalibrationDialogTest, AddPatternTakesEveryFileSelected) {
    CalibrationDialog& dialog = window.show_calibration_dialog();
    for (const char* name : {"SW1-2012.xy", "SW2-2012.xy", "SW6-2012.xy"}) {
        write_peak(folder, name, 0.4, 8.85);
    }
    QTimer::singleShot(0, [this] {
        auto* files = dynamic_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(files, nullptr);
        files->setDirectory(QString::fromStdString(folder.file("")));
        files->selectFile(QStringLiteral("\"SW1-2012.xy\" \"SW2-2012.xy\" \"SW6-2012.xy\""));
        QMetaObject::invokeMethod(files, "accept");
        if (files->isVisible()) { // the names were refused
            QMetaObject::invokeMethod(files, "reject");
        }
    });
    const auto buttons = dialog.findChildren<QPushButton*>();
    const auto add = std::find_if(buttons.begin(), buttons.end(), [](const QPushButton* b) {
        return b->text() == QStringLiteral("Add Pattern…");
    });
    ASSERT_NE(add, buttons.end());
    (*add)->click();
    wait_until_read(dialog);
    ASSERT_EQ(dialog.standards->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_NEAR(dialog.standards->item(row, 2)->text().toDouble(), 0.4, 0.01) << row;
    }
    EXPECT_EQ(dialog.standards->item(2, 0)->text(), QStringLiteral("SW6-2012"));
}

TEST_F(CalibrationDialogTest, TheTableGainsItsColumnsWithAFittedCalibration) {
    box(TextBox::Broad)->setText(QStringLiteral("0.05"));
    box(TextBox::Xls)->setText(QStringLiteral("0.55"));
    box(TextBox::Yls)->setText(QStringLiteral("0.45"));
    window.controls().Command1->click();
    SampleTableModel& table = window.sample_table().model();
    table.show_appended();
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.columnCount(), 13);

    CalibrationDialog& dialog = window.show_calibration_dialog();
    dialog.add_standard("SW1-2012", "", "0.61");
    dialog.add_standard("SW2-2012", "", "0.43");
    dialog.add_standard("lab A", "0.30", "0.27");
    const std::string sw3 = write_peak(folder, "SW3-2012.xy", 0.35, 8.85);
    dialog.add_standard_pattern(sw3);
    wait_until_read(dialog);
    ASSERT_EQ(dialog.standards->rowCount(), 4);
    EXPECT_EQ(dialog.standards->item(3, 0)->text(), QStringLiteral("SW3-2012"));
    EXPECT_NEAR(dialog.standards->item(3, 2)->text().toDouble(), 0.35, 0.01);
    // A known standard's empty CIS value cell shows the published value, greyed, until it
    // is typed over; a name of no standard shows none.
    EXPECT_EQ(dialog.standards->item(3, 1)->text(), QStringLiteral("0.372"));
    EXPECT_TRUE(dialog.standards->item(3, 1)->font().italic());
    EXPECT_EQ(dialog.standards->item(2, 1)->text(), QStringLiteral("0.30"));
    dialog.standards->item(1, 1)->setText(QStringLiteral("0.5"));
    EXPECT_FALSE(dialog.standards->item(1, 1)->font().italic());
    dialog.standards->item(1, 1)->setText(QString());
    EXPECT_EQ(dialog.standards->item(1, 1)->text(), QStringLiteral("0.455"));
    dialog.standards->item(0, 0)->setText(QStringLiteral("lab B"));
    EXPECT_EQ(dialog.standards->item(0, 1)->text(), QString());
    dialog.standards->item(0, 0)->setText(QStringLiteral("SW1-2012"));

    ASSERT_TRUE(dialog.fit_standards());
    ASSERT_TRUE(lab().cis);
    EXPECT_EQ(lab().cis->n, 4);
    EXPECT_NEAR(lab().cis->standards[3].cis, 0.372, 1e-9); // its published value
    // The measured width in every digit, not the four the table shows.
    EXPECT_EQ(lab().cis->standards[3].fwhm, measure_standard(sw3, {}, {})->width.fwhm);
    EXPECT_EQ(table.columnCount(), 16);
    EXPECT_EQ(table.headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("KI (CIS)"));
    const CisValue value = apply_cis(*lab().cis, 0.55, 0, lab().limits);
    EXPECT_TRUE(table.data(table.index(0, 11), Qt::DisplayRole)
                    .toString()
                    .startsWith(QString::fromStdString(format_fixed(value.ki_cis, 3))));
    EXPECT_EQ(table.data(table.index(0, 12), Qt::DisplayRole).toString().toStdString(), value.zone);

    for (const char* name : {"cis.png", "cis.svg", "cis.pdf"}) {
        EXPECT_EQ(dialog.save_figure_to(folder.file(name)), std::nullopt) << name;
        EXPECT_GT(std::filesystem::file_size(folder.file(name)), 1000u) << name;
    }
    EXPECT_NE(dialog.save_figure_to(folder.file("cis.gif")), std::nullopt);

    dialog.stop_cis->click();
    EXPECT_FALSE(lab().cis);
    EXPECT_EQ(table.columnCount(), 13);
}

} // namespace
} // namespace teravine
