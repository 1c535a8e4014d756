// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window's dialogs open and how they keep their place: beside the main window
// where the screen has room, never over the width boxes, no larger than the screen; once
// the user has moved or sized one, where it was left (kept in the settings).
#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QWidget;

namespace teravine {

// The place for a dialog that would like `wanted`: beside `window` on the side with room,
// else over the side of the window that leaves most of it visible, below `keep_clear`;
// always within `room`, the screen's available area.
QRect place_beside(const QRect& room, const QRect& window, QSize wanted, const QRect& keep_clear);

// The dialog's size and place as the user last left them, if kept and still on a screen.
bool restore_remembered_place(QDialog& dialog, const QString& key);

// Keeps the dialog's size and place under `key` whenever it is moved, sized or hidden.
void remember_place(QDialog& dialog, const QString& key);

// Brings a dialog within the screen it is on: no larger than its room, no edge beyond it.
void keep_on_screen(QWidget& dialog);

} // namespace teravine
