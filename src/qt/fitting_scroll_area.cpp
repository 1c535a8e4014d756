// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/fitting_scroll_area.h"

#include <QScrollBar>

namespace teravine {

FittingScrollArea::FittingScrollArea(QWidget* contents, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(contents);
}

QSize FittingScrollArea::sizeHint() const {
    // The whole contents, without QScrollArea's bound of a few dozen lines, and room for
    // the vertical bar, so that contents cut short by the screen do not scroll sideways too.
    const QSize frame(2 * frameWidth() + verticalScrollBar()->sizeHint().width(), 2 * frameWidth());
    return widget() == nullptr ? QScrollArea::sizeHint() : widget()->sizeHint() + frame;
}

QSize FittingScrollArea::minimumSizeHint() const {
    // Room for the scroll bars and a little of the contents.
    const int bar = verticalScrollBar()->sizeHint().width();
    return {6 * bar, 6 * bar};
}

} // namespace teravine
