// SPDX-License-Identifier: GPL-3.0-or-later
// A page drawn by the caller, encoded as PNG, SVG or PDF and saved whole (through
// save_file_atomically): the one encoder of every image file the program writes.
#pragma once

#include "diagram/figure_size.h"
#include "diagram/image_format.h"

#include <functional>
#include <optional>
#include <string>

class QPaintDevice;
class QPdfWriter;

namespace teravine {

// width x height device pixels at dpi (a PNG records the resolution, a PDF page is
// width / dpi by height / dpi inches).
struct PageFile {
    int width = 0;
    int height = 0;
    double dpi = kScreenDpi;
    std::string title;
};

// Pixels a metre of a resolution in dots an inch, as QImage records it.
int dots_per_metre(double dpi);

// Nothing on success, else "Cannot write PATH: reason". A PNG page starts white.
std::optional<std::string> write_page_file(const std::string& path, ImageFormat format,
                                           const PageFile& page,
                                           const std::function<void(QPaintDevice&)>& paint);

// A PDF document of A4 pages at dpi, which `paint` draws (calling newPage() between pages),
// saved whole as write_page_file saves a page. Nothing on success, else "Cannot write PATH:
// reason".
std::optional<std::string> write_pdf_document(const std::string& path, const std::string& title,
                                              double dpi,
                                              const std::function<void(QPdfWriter&)>& paint);

} // namespace teravine
