// SPDX-License-Identifier: GPL-3.0-or-later
// The about window's picture and the program's icon, drawn by our own code: stacked
// clay layers under a diffraction trace with its peaks.
#pragma once

#include <QImage>
#include <QPixmap>

namespace teravine {

// A diffraction-like trace (two broad clay peaks on a falling background) over a stack
// of layers, on white.
QImage about_picture(QSize size);

// The window icon: a few coloured layers with one sharp peak above them.
QPixmap teravine_icon(int side = 64);

} // namespace teravine
