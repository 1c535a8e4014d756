// SPDX-License-Identifier: GPL-3.0-or-later
// A scroll area that asks for the whole of what it holds when there is room and scrolls
// only when the screen is smaller: a dialog's contents in one, its buttons outside it,
// keep every button on a small screen.
#pragma once

#include <QScrollArea>

namespace teravine {

class FittingScrollArea final : public QScrollArea {
public:
    // Holds `contents`, which it sizes to the room it has.
    FittingScrollArea(QWidget* contents, QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace teravine
