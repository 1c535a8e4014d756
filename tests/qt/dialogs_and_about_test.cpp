// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialogs (the program's filter texts in Qt's terms, what an answer becomes) and
// the about window with its rolling ball.
#include "qt/about_window.h"
#include "qt/boule.h"
#include "qt/file_dialogs.h"
#include "qt/filter_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace teravine {
namespace {

// Pairs become Qt filters with case-blind patterns; without the closing bar the last
// pair still counts, an odd item is dropped.
TEST(FileFilter, PairsBecomeQtFiltersWithCaseBlindPatterns) {
    const std::pair<const char*, const char*> cases[] = {
        {" CORRECTION (*.cor)|*.COR|all (*.*)|*.*|",
         "CORRECTION (*.cor) (*.[cC][oO][rR]);;all (*.*) (*.*)"},
        {"Widths|*.IW;*.txt|", "Widths (*.[iI][wW] *.[tT][xX][tT])"},
        {"Lines|*.IWL", "Lines (*.[iI][wW][lL])"},
        {"Lines|*.IWL|orphan", "Lines (*.[iI][wW][lL])"},
        {"", ""}};
    for (const auto& [filter, qt] : cases) {
        EXPECT_EQ(qt_file_filter(filter), QString::fromUtf8(qt)) << filter;
    }
    EXPECT_EQ(case_blind_pattern(QStringLiteral("a_1?.B*")), QStringLiteral("[aA]_1?.[bB]*"));
}

// A save dialog adds the first pattern's suffix to a name typed without one.
TEST(FileFilter, FirstSuffixIsTheSaveDialogsDefault) {
    const std::pair<const char*, const char*> cases[] = {
        {"File S.W. out (*.IWO)|*.IWO;*.iwo|all (*.*)|*.*|", "IWO"},
        {"File S.W (*.IWL)|*.IWL;*.iwl|all (*.*)|*.*|", "IWL"},
        {"all (*.*)|*.*|", ""},
        {"Lines", ""},
        {"odd|*.I?L|", ""}};
    for (const auto& [filter, suffix] : cases) {
        EXPECT_EQ(first_suffix(filter), QString::fromUtf8(suffix)) << filter;
    }
}

TEST(FileChoice, CancelIsSilentAFolderOrNothingIsAFailure) {
    QTemporaryDir dir;
    EXPECT_EQ(file_choice_from(false, {dir.path()}).outcome, FileChoice::Outcome::Cancelled);
    EXPECT_EQ(file_choice_from(true, {}).outcome, FileChoice::Outcome::Failed);
    const FileChoice folder = file_choice_from(true, {dir.path()});
    EXPECT_EQ(folder.outcome, FileChoice::Outcome::Failed);
    EXPECT_NE(folder.error.find("folder"), std::string::npos);
    const FileChoice chosen = file_choice_from(true, {dir.filePath("samples.IW")});
    EXPECT_EQ(chosen.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(chosen.path, dir.filePath("samples.IW").toStdString());
    EXPECT_EQ(chosen.title, "samples.IW");
}

// Runs the dialog and has the next modal dialog answered by act.
FileChoice run_with(const std::function<void(QFileDialog&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
    return run_file_dialog(nullptr, FileDialogKind::Save, QStringLiteral("Results (*.IWO)|*.IWO|"));
}

TEST(FileDialog, SaveOpensWithoutANameAndCancelIsSilent) {
    QString shown = QStringLiteral("unset");
    const FileChoice cancelled = run_with([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.nameFilters(), QStringList{"Results (*.IWO) (*.[iI][wW][oO])"});
        shown = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    EXPECT_EQ(cancelled.outcome, FileChoice::Outcome::Cancelled);
    EXPECT_TRUE(shown.isEmpty() || QFileInfo(shown).isDir()) << shown.toStdString();
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.IWO"));
    const FileChoice chosen = run_with([&](QFileDialog& dialog) {
        dialog.selectFile(target);
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    EXPECT_EQ(chosen.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(chosen.path, target.toStdString());
}

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
    // Worked by hand from the start (u 131, mark k 130): each pass moves u one left and v
    // 0.2 down; the line shows once u passes the mark, which then moves 5 on, and hides
    // two passes later, when u comes within 3 of the new mark; 20 passes end at u 111.
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
    EXPECT_FLOAT_EQ(played.u, 122); // 131 less the 9 passes
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
