// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of image file the program writes, named by a path's extension. Plain text,
// so a command can refuse a name before it draws anything.
#pragma once

#include <optional>
#include <string>

namespace teravine {

enum class ImageFormat { Png, Svg, Pdf };

// The format named by the file's extension (.png, .svg, .pdf in any case), if any.
std::optional<ImageFormat> image_format_for(const std::string& path);
// "Cannot write PATH: the file must end in .png, .svg or .pdf".
std::string unknown_format_message(const std::string& path);

} // namespace teravine
