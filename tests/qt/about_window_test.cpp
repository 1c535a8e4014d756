// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/about_window.h"
#include "qt/boule.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <vector>

namespace teravine {
namespace {

TEST(Boule, TheLineFlashesAsTheBallRollsForFiveSecondsOfTheClock) {
    BallRun run;
    std::vector<int> shown_at, hidden_at;
    for (int pass = 0; pass < 20; ++pass) {
        const bool visible = run.line_visible;
        boule_step(run);
        if (run.line_visible != visible) {
            (run.line_visible ? shown_at : hidden_at).push_back(static_cast<int>(run.u));
        }
    }
    EXPECT_EQ(shown_at, (std::vector<int>{129, 124, 119, 114}));
    EXPECT_EQ(hidden_at, (std::vector<int>{127, 122, 117, 112}));
    EXPECT_NEAR(run.v, 15 + 20 * 0.2f, 1e-4);

    double now = 86399.0; // a clock that would wrap at midnight must not matter
    int shown = 0;
    BallRun played;
    played.u = 40; // replaced by the start position
    const long passes = play_boule(
        played, [&now] { return (now += 0.5) - 0.5; }, [&](const BallRun&) { ++shown; });
    EXPECT_EQ(passes, 9); // readings 0.5 .. 4.5 s after the start
    EXPECT_EQ(shown, 9);
    EXPECT_FLOAT_EQ(played.u, 122);
}

TEST(AboutWindow, StartupDisplayIsCentredAndCannotBeClosed) {
    AboutWindow logo(AboutWindow::Mode::Startup, nullptr);
    EXPECT_TRUE(logo.ok()->isHidden());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((logo.geometry().center() - screen.center()).manhattanLength(), 2);
    logo.show();
    EXPECT_FALSE(logo.close());
    logo.reject();
    EXPECT_TRUE(logo.isVisible());
    logo.unload();
    EXPECT_FALSE(logo.isVisible());
}

} // namespace
} // namespace teravine
