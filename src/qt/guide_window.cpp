// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/guide_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace teravine {

QString installed_guide_path() {
    for (const char* path :
         {TERAVINE_INSTALLED_GUIDE, "/usr/share/doc/teravine/guide.md", TERAVINE_SOURCE_GUIDE}) {
        const QFileInfo guide(QString::fromUtf8(path));
        if (guide.isFile()) {
            return guide.absoluteFilePath();
        }
    }
    return {};
}

GuideWindow::GuideWindow(const QString& path, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("User Guide"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* find_row = new QHBoxLayout;
    find_box = new QLineEdit(this);
    find_box->setPlaceholderText(QStringLiteral("Find in the guide"));
    find_box->setClearButtonEnabled(true);
    auto* previous = new QPushButton(QStringLiteral("Previous"), this);
    auto* next = new QPushButton(QStringLiteral("Next"), this);
    find_state = new QLabel(this);
    for (QPushButton* button : {previous, next}) {
        button->setAutoDefault(false);
    }
    find_row->addWidget(new QLabel(QStringLiteral("Find"), this));
    find_row->addWidget(find_box, 1);
    find_row->addWidget(previous);
    find_row->addWidget(next);
    find_row->addWidget(find_state);
    layout->addLayout(find_row);

    browser = new QTextBrowser(this);
    browser->setOpenExternalLinks(true);
    // Relative image paths are read beside the guide.
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    layout->addWidget(browser, 1);

    connect(find_box, &QLineEdit::returnPressed, this, [this] { find_next(); });
    connect(find_box, &QLineEdit::textChanged, this, [this] { find_state->clear(); });
    connect(next, &QPushButton::clicked, this, [this] { find_next(); });
    connect(previous, &QPushButton::clicked, this, [this] { find_next(true); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        find_box->setFocus();
        find_box->selectAll();
    });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
            [this] { find_next(); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            [this] { find_next(true); });
}

bool GuideWindow::find_next(bool backwards) {
    const QString text = find_box->text();
    if (text.isEmpty()) {
        return false;
    }
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    const QTextCursor before = browser->textCursor();
    bool found = browser->find(text, flags);
    if (!found) {
        // Round the end (or the start) of the guide.
        QTextCursor from = before;
        from.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
        browser->setTextCursor(from);
        found = browser->find(text, flags);
        if (!found) {
            browser->setTextCursor(before);
        }
    }
    find_state->setText(found ? QString() : QStringLiteral("Not found"));
    return found;
}

} // namespace teravine
