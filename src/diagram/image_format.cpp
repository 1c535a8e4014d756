// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/image_format.h"

#include <algorithm>

namespace teravine {

std::string unknown_format_message(const std::string& path) {
    return "Cannot write " + path + ": the file must end in .png, .svg or .pdf";
}

std::optional<ImageFormat> image_format_for(const std::string& path) {
    // The extension is what follows the last dot of the file's own name.
    const std::size_t name = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name)) {
        return std::nullopt;
    }
    std::string suffix = path.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (suffix == "png") {
        return ImageFormat::Png;
    }
    if (suffix == "svg") {
        return ImageFormat::Svg;
    }
    if (suffix == "pdf") {
        return ImageFormat::Pdf;
    }
    return std::nullopt;
}

} // namespace teravine
