// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/recent_files.h"

#include "app/dropped_files.h"
#include "qt/window_settings.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace teravine {
namespace {

const QString kKey = QStringLiteral("recent/files");

} // namespace

RecentFiles::RecentFiles(QMenu* menu, std::function<void(const std::string& path)> open)
    : QObject(menu), menu_(menu), open_(std::move(open)) {
    show_entries();
}

void RecentFiles::remember(const std::string& path) {
    if (classify_dropped({path}).kind == DroppedFiles::Kind::refused) {
        return;
    }
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    QStringList files = window_settings().value(kKey).toStringList();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kKept) {
        files.removeLast();
    }
    window_settings().setValue(kKey, files);
    show_entries();
}

void RecentFiles::show_entries() {
    menu_->clear();
    const QStringList files = window_settings().value(kKey).toStringList();
    for (const QString& file : files) {
        QAction* entry = menu_->addAction(QFileInfo(file).fileName());
        entry->setToolTip(file);
        entry->setStatusTip(file);
        connect(entry, &QAction::triggered, this, [this, file] { open_(file.toStdString()); });
    }
    menu_->setEnabled(!files.isEmpty());
}

} // namespace teravine
