// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/file_dialogs.h"

#include "formats/pattern_formats.h"
#include "qt/filter_text.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>

#include <utility>

namespace teravine {

FileChoice file_choice_from(bool accepted, const QStringList& selected) {
    FileChoice choice;
    if (!accepted) {
        choice.outcome = FileChoice::Outcome::Cancelled;
        return choice;
    }
    if (selected.isEmpty() || selected.front().isEmpty()) {
        choice.outcome = FileChoice::Outcome::Failed;
        choice.error = "No file name was given.";
        return choice;
    }
    const QFileInfo info(selected.front());
    if (info.isDir()) {
        choice.outcome = FileChoice::Outcome::Failed;
        choice.error = "\"" + info.filePath().toStdString() + "\" is a folder, not a file.";
        return choice;
    }
    choice.outcome = FileChoice::Outcome::Chosen;
    choice.path = info.absoluteFilePath().toStdString();
    choice.title = info.fileName().toStdString();
    return choice;
}

QString pattern_filter() {
    QStringList patterns;
    for (const std::string_view suffix : pattern_suffixes()) {
        patterns << QStringLiteral("*") +
                        QString::fromUtf8(suffix.data(), static_cast<qsizetype>(suffix.size()));
    }
    return QStringLiteral("Diffraction patterns|") + patterns.join(QLatin1Char(';')) +
           QStringLiteral("|All files|*.*|");
}

namespace {

// The dialog run: accepted or not, and the files it selected. An open dialog may say what
// it asks for and offer a name.
std::pair<bool, QStringList> run_dialog(QWidget* parent, FileDialogKind kind, const QString& filter,
                                        const QString& title = {}, const QString& name = {}) {
    QFileDialog dialog(parent);
    if (!title.isEmpty()) {
        dialog.setWindowTitle(title);
    }
    // The platform's own dialog cannot hide the case-blind patterns behind the
    // descriptions, and would ignore them on some desktops.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(qt_file_filter(filter));
    if (kind != FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(kind == FileDialogKind::OpenMany ? QFileDialog::ExistingFiles
                                                            : QFileDialog::ExistingFile);
        if (!name.isEmpty()) {
            dialog.selectFile(name);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(first_suffix(filter)); // a name typed without one
        dialog.selectFile(QString());
    }
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {accepted, dialog.selectedFiles()};
}

} // namespace

FileChoice run_file_dialog(QWidget* parent, FileDialogKind kind, const QString& filter) {
    const auto [accepted, selected] = run_dialog(parent, kind, filter);
    return file_choice_from(accepted, selected);
}

void choose_pattern_file(QWidget* parent, QLabel* message,
                         const std::function<void(const std::string& path)>& open,
                         const QString& title, const QString& name) {
    const auto [accepted, selected] =
        run_dialog(parent, FileDialogKind::Open, pattern_filter(), title, name);
    const FileChoice choice = file_choice_from(accepted, selected);
    if (choice.outcome == FileChoice::Outcome::Chosen) {
        open(choice.path);
    } else if (choice.outcome == FileChoice::Outcome::Failed) {
        message->setText(QString::fromStdString(choice.error));
    }
}

void choose_pattern_files(QWidget* parent, QLabel* message,
                          const std::function<void(const std::string& path)>& open) {
    const auto [accepted, selected] =
        run_dialog(parent, FileDialogKind::OpenMany, pattern_filter());
    if (!accepted) {
        return;
    }
    // Each file is taken on its own: a folder among them is named, the others are opened.
    for (const QString& file : selected.isEmpty() ? QStringList{QString()} : selected) {
        const FileChoice choice = file_choice_from(true, {file});
        if (choice.outcome == FileChoice::Outcome::Chosen) {
            open(choice.path);
        } else {
            message->setText(QString::fromStdString(choice.error));
        }
    }
}

void choose_figure_file(
    QWidget* parent,
    const std::function<std::optional<std::string>(const std::string& path)>& write) {
    const FileChoice choice =
        run_file_dialog(parent, FileDialogKind::Save, QString::fromUtf8(kFigureFilter));
    std::optional<std::string> failure;
    if (choice.outcome == FileChoice::Outcome::Chosen) {
        failure = write(choice.path);
    } else if (choice.outcome == FileChoice::Outcome::Failed) {
        failure = choice.error;
    }
    if (failure) {
        QMessageBox::warning(parent, parent->windowTitle(), QString::fromStdString(*failure));
    }
}

} // namespace teravine
