// SPDX-License-Identifier: GPL-3.0-or-later
// "Save Picture…": the file, its format (PNG, SVG or PDF), the figure's width and height
// in millimetres or pixels and its resolution.
#pragma once

#include "app/window_services.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace teravine {

class SavePictureDialog final : public QDialog {
public:
    // Opens with the size of the picture on screen (pixels of a 96 dpi screen) given in
    // millimetres, at 300 dpi.
    SavePictureDialog(QSize screen_pixels, QWidget* parent);

    // The file with its format's suffix added when it has none, and the size in pixels.
    PictureRequest request() const;

    QLineEdit* file() const { return file_; }
    QComboBox* format() const { return format_; }
    QDoubleSpinBox* width() const { return width_; }
    QDoubleSpinBox* height() const { return height_; }
    QComboBox* unit() const { return unit_; }
    QSpinBox* dpi() const { return dpi_; }

    void accept() override; // asks before replacing a file

private:
    void browse();
    void unit_changed();
    void follow_typed_suffix();
    bool millimetres() const;

    QLineEdit* file_ = nullptr;
    QComboBox* format_ = nullptr;
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* height_ = nullptr;
    QComboBox* unit_ = nullptr;
    QSpinBox* dpi_ = nullptr;
    QCheckBox* caption_ = nullptr;
    bool was_millimetres_ = true;
};

// The dialog run modally: the request, or nothing when cancelled.
std::optional<PictureRequest> ask_picture_file(QWidget* parent, QSize screen_pixels);

} // namespace teravine
