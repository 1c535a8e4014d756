// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/file_dialogs.h"
#include "qt/filter_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(FileFilter, PairsBecomeQtFiltersWithCaseBlindPatterns) {
    EXPECT_EQ(qt_file_filter(" CORRECTION (*.cor)|*.COR|Text (*.txt)|*.TXT|all (*.*)|*.*|"),
              QStringLiteral("CORRECTION (*.cor) (*.[cC][oO][rR]);;"
                             "Text (*.txt) (*.[tT][xX][tT]);;all (*.*) (*.*)"));
    EXPECT_EQ(qt_file_filter("Widths|*.IW;*.txt|"),
              QStringLiteral("Widths (*.[iI][wW] *.[tT][xX][tT])"));
    // Without the closing bar the last pair still counts; an odd item is dropped.
    EXPECT_EQ(qt_file_filter("Lines|*.IWL"), QStringLiteral("Lines (*.[iI][wW][lL])"));
    EXPECT_EQ(qt_file_filter("Lines|*.IWL|orphan"), QStringLiteral("Lines (*.[iI][wW][lL])"));
    EXPECT_EQ(qt_file_filter(""), QString());
    EXPECT_EQ(case_blind_pattern(QStringLiteral("a_1?.B*")), QStringLiteral("[aA]_1?.[bB]*"));
}

TEST(FileChoice, OutcomesOfTheDialog) {
    EXPECT_EQ(file_choice_from(false, {}).outcome, FileChoice::Outcome::Cancelled);
    EXPECT_EQ(file_choice_from(false, {"/tmp/x.IW"}).outcome, FileChoice::Outcome::Cancelled);

    const FileChoice nothing = file_choice_from(true, {});
    EXPECT_EQ(nothing.outcome, FileChoice::Outcome::Failed);
    EXPECT_FALSE(nothing.error.empty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const FileChoice folder = file_choice_from(true, {dir.path()});
    EXPECT_EQ(folder.outcome, FileChoice::Outcome::Failed);
    EXPECT_NE(folder.error.find("folder"), std::string::npos);

    const QString path = dir.filePath(QStringLiteral("samples.IW"));
    const FileChoice chosen = file_choice_from(true, {path});
    EXPECT_EQ(chosen.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(chosen.path, path.toStdString());
    EXPECT_EQ(chosen.title, "samples.IW");
}

// Runs the dialog and has the next modal dialog answered by act.
FileChoice run_with(FileDialogKind kind, const std::function<void(QFileDialog&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
    return run_file_dialog(nullptr, kind, QStringLiteral("Results (*.IWO)|*.IWO|"));
}

TEST(FileDialog, SaveOpensEmptyAndCancelIsSilent) {
    QString shown_name = QStringLiteral("unset");
    const FileChoice cancelled = run_with(FileDialogKind::Save, [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.nameFilters(), QStringList{"Results (*.IWO) (*.[iI][wW][oO])"});
        shown_name = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    EXPECT_EQ(cancelled.outcome, FileChoice::Outcome::Cancelled);
    EXPECT_TRUE(shown_name.isEmpty() || QFileInfo(shown_name).isDir()) << shown_name.toStdString();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("out.IWO"));
    const FileChoice chosen = run_with(FileDialogKind::Save, [&](QFileDialog& dialog) {
        dialog.selectFile(target);
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    EXPECT_EQ(chosen.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(chosen.path, target.toStdString());
    EXPECT_EQ(chosen.title, "out.IWO");
}

} // namespace
} // namespace teravine
