// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture.h"

namespace teravine::bench {

BenchPicture::BenchPicture(BenchServices& services) {
    services.on_picture_size = [this](int width, int height) { resize(width, height); };
    resize(1, 1); // as the window's picture box starts; the first drawing sizes it
}

const QImage& BenchPicture::image() {
    surface_.finish();
    return image_;
}

void BenchPicture::set_drawing(bool on) {
    drawing_ = on;
    surface_.set_device(on ? &image_ : nullptr);
}

// As the window's picture box does it: a new white image of the size, drawn on from now.
void BenchPicture::resize(int width, int height) {
    surface_.finish();
    image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image_.fill(Qt::white);
    surface_.set_device(drawing_ ? &image_ : nullptr);
}

} // namespace teravine::bench
