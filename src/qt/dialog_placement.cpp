// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dialog_placement.h"

#include "qt/window_settings.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>

#include <algorithm>

namespace teravine {
namespace {

// Room left for the frame the window manager puts around a dialog.
const QSize kFrameAllowance(16, 48);

QString geometry_key(const QString& key) {
    return QStringLiteral("dialogs/") + key + QStringLiteral("/geometry");
}

class PlaceKeeper final : public QObject {
public:
    PlaceKeeper(QDialog& dialog, QString key) : QObject(&dialog), key_(std::move(key)) {
        dialog.installEventFilter(this);
    }

private:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        // A QWidget only: events also come while the dialog is being destroyed, when it is
        // no longer a QDialog.
        auto* dialog = qobject_cast<QWidget*>(watched);
        if (dialog == nullptr) {
            return false;
        }
        // Only a dialog on screen has a place worth keeping; the first placement happens
        // before it is shown.
        if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Hide) &&
            dialog->isVisible()) {
            window_settings().setValue(geometry_key(key_), dialog->saveGeometry());
        }
        return false;
    }

    QString key_;
};

} // namespace

QRect place_beside(const QRect& room, const QRect& window, QSize wanted, const QRect& keep_clear) {
    const QSize size = wanted.boundedTo(room.size() - kFrameAllowance);
    const int right = room.right() - window.right();
    const int left = window.left() - room.left();
    int x = 0;
    bool over_window = false;
    if (size.width() <= right) {
        x = window.right() + 1;
    } else if (size.width() <= left) {
        x = window.left() - size.width();
    } else {
        // Over the window, on the side with more room, so most of it stays in view.
        over_window = true;
        x = right >= left ? room.right() + 1 - size.width() : room.left();
    }
    int top =
        std::clamp(window.top(), room.top(), std::max(room.top(), room.bottom() - size.height()));
    QRect placed(QPoint(x, top), size);
    if (over_window && placed.intersects(keep_clear)) {
        top = keep_clear.bottom() + 1;
        placed = QRect(QPoint(x, top),
                       QSize(size.width(), std::min(size.height(), room.bottom() + 1 - top)));
    }
    return placed;
}

bool restore_remembered_place(QDialog& dialog, const QString& key) {
    const QByteArray kept = window_settings().value(geometry_key(key)).toByteArray();
    if (kept.isEmpty() || !dialog.restoreGeometry(kept)) {
        return false;
    }
    keep_on_screen(dialog);
    return true;
}

void remember_place(QDialog& dialog, const QString& key) {
    new PlaceKeeper(dialog, key);
}

void keep_on_screen(QWidget& dialog) {
    const QScreen* screen = dialog.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect room = screen->availableGeometry();
    const QSize size = dialog.size().boundedTo(room.size() - kFrameAllowance);
    if (size != dialog.size()) {
        dialog.resize(size);
    }
    const int x = std::clamp(dialog.x(), room.left(), room.right() + 1 - size.width());
    const int y = std::clamp(
        dialog.y(), room.top(),
        std::max(room.top(), room.bottom() + 1 - kFrameAllowance.height() / 2 - size.height()));
    if (x != dialog.x() || y != dialog.y()) {
        dialog.move(x, y);
    }
}

} // namespace teravine
