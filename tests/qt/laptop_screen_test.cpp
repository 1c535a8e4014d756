// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs on a laptop's screen of 1366 × 768 (the tests' offscreen screen, or Xvfb's):
// each opens beside the window, clear of the width boxes, with every button on screen, and
// opens again where the user left it.
#include "qt/calibration_dialog.h"
#include "qt/dialog_placement.h"
#include "qt/main_window.h"
#include "qt/measure_dialog.h"
#include "qt/measure_folder_dialog.h"
#include "standards/instrument_measure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace teravine {
namespace {

std::string example(const char* name) {
    return std::string(std::getenv("TERAVINE_SOURCE_DIR")) + "/examples/" + name;
}

void wait_while(const std::function<bool()>& busy) {
    QElapsedTimer timer;
    timer.start();
    while (busy() && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(busy()) << "still reading after 30 s";
}

struct DialogCase {
    const char* name;
    // Opens the dialog of the window and fills it as a user would.
    std::function<QDialog&(MainWindow&)> open;
};

const DialogCase kDialogs[] = {
    {"MeasurePatterns",
     [](MainWindow& window) -> QDialog& {
         // The mica's profile in use: the air-dried pattern's thickness beside its width.
         const auto mica = measure_instrument_file(example("mica.xy"), {}, {});
         window.terav().use_instrument_profile(mica.value().profile, example("mica.xy"));
         MeasureDialog& dialog = window.show_measure_dialog();
         dialog.open_pattern(PatternSide::AirDried, example("illite-AD.xy"));
         dialog.open_pattern(PatternSide::Glycolated, example("illite-EG.xy"));
         wait_while([&] { return dialog.reading(); });
         return dialog;
     }},
    {"MeasureFolder",
     [](MainWindow& window) -> QDialog& {
         MeasureFolderDialog& dialog = *window.show_measure_folder_dialog(example(""));
         dialog.measure();
         wait_while([&] { return dialog.measuring(); });
         return dialog;
     }},
    {"Calibration",
     [](MainWindow& window) -> QDialog& {
         CalibrationDialog& dialog = window.show_calibration_dialog();
         for (const char* name : {"SW1", "SW2", "SW4", "SW6", "SW9"}) {
             dialog.add_standard(name, "", "0.3");
         }
         dialog.make_profile(example("mica.xy"));
         wait_while([&] { return dialog.reading(); });
         return dialog;
     }},
};

QRect global_rect(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

class LaptopScreen : public ::testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override {
        window.show();
        window.start();
    }
    MainWindow window{MainWindow::Options{false}};
};

TEST_P(LaptopScreen, EveryButtonIsOnScreenAndTheWidthBoxesStayInView) {
    QDialog& dialog = GetParam().open(window);
    QCoreApplication::processEvents();
    const QRect room = dialog.screen()->availableGeometry();
    ASSERT_EQ(room.size(), QSize(1366, 768)) << "not a laptop's screen";
    EXPECT_TRUE(room.contains(dialog.frameGeometry()));
    EXPECT_FALSE(dialog.frameGeometry().intersects(global_rect(*window.controls().Frame1)));
    const auto buttons = dialog.findChildren<QPushButton*>();
    ASSERT_FALSE(buttons.empty());
    for (const QPushButton* button : buttons) {
        if (!button->isVisibleTo(&dialog)) {
            continue;
        }
        // Whole: neither beyond the screen nor scrolled away.
        EXPECT_TRUE(room.contains(global_rect(*button))) << button->text().toStdString();
        EXPECT_EQ(button->visibleRegion().boundingRect(), button->rect())
            << button->text().toStdString();
    }
}

TEST_P(LaptopScreen, ADialogOpensAgainWhereItWasLeft) {
    QDialog& dialog = GetParam().open(window);
    dialog.move(30, 40);
    dialog.resize(520, 600);
    QCoreApplication::processEvents();
    const QRect left = dialog.geometry();
    dialog.close();

    MainWindow again{MainWindow::Options{false}};
    again.show();
    again.start();
    QDialog& reopened = GetParam().open(again);
    QCoreApplication::processEvents();
    EXPECT_EQ(reopened.geometry(), left);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, LaptopScreen, ::testing::ValuesIn(kDialogs),
                         [](const ::testing::TestParamInfo<DialogCase>& dialog) {
                             return std::string(dialog.param.name);
                         });

TEST(DialogPlacement, BesideWhereThereIsRoomElseOverTheWindowBelowItsWidthBoxes) {
    const QRect room(0, 0, 1366, 768);
    const QRect boxes(0, 20, 880, 80);
    struct Case {
        QRect window;
        QSize wanted;
        QRect placed;
    } const cases[] = {
        {{0, 0, 640, 700}, {600, 900}, {640, 0, 600, 720}}, // right of it, no taller than the room
        {{700, 0, 640, 700}, {600, 500}, {100, 0, 600, 500}}, // left of it
        {{0, 0, 900, 700},
         {600, 700},
         {766, 100, 600, 668}}, // over its right side, under the boxes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(place_beside(room, c.window, c.wanted, boxes), c.placed);
    }
}

} // namespace
} // namespace teravine
