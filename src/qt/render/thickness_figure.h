// SPDX-License-Identifier: GPL-3.0-or-later
// A thickness analysis's figure (diagram/thickness_drawing) written as an image file, as
// `thickness --figure` writes it.
#pragma once

#include "diagram/thickness_drawing.h"

#include <optional>
#include <string>

namespace teravine {

// Nothing on success, else the failure naming the file; the format follows the suffix
// (.png, .svg, .pdf).
std::optional<std::string> write_thickness_image(const std::string& path,
                                                 const ThicknessFigure& figure);

} // namespace teravine
