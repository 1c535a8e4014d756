// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/figure_size.h"

#include <charconv>
#include <cmath>

namespace teravine::cli {
namespace {

constexpr double kPrintDpi = 300;

struct Length {
    double value = 0;
    double per_inch = 0; // units per inch; 0 for pixels
};

Outcome<Length> parse_length(const std::string& text) {
    Length length;
    const char* const end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, length.value);
    const std::string unit(rest, end);
    if (error != std::errc() || !(length.value > 0) || !std::isfinite(length.value)) {
        return Failure{"the length \"" + text + "\" is not a positive number with a unit"};
    }
    if (unit == "mm") {
        length.per_inch = kMillimetresPerInch;
    } else if (unit == "in") {
        length.per_inch = 1;
    } else if (unit != "px") {
        return Failure{"the length \"" + text + "\" needs a unit: mm, in or px"};
    }
    return length;
}

int device_pixels(const Length& length, double dpi) {
    const double pixels = length.per_inch > 0 ? length.value / length.per_inch * dpi : length.value;
    return pixels < 1e9 ? static_cast<int>(std::lround(pixels)) : 1'000'000'000;
}

} // namespace

Outcome<FigureSize> figure_size(const std::string& width, const std::string& height,
                                std::optional<double> dpi) {
    const auto w = parse_length(width.empty() ? height : width);
    if (!w) {
        return Failure{w.error()};
    }
    const auto h = parse_length(height.empty() ? width : height);
    if (!h) {
        return Failure{h.error()};
    }
    const bool physical = w->per_inch > 0 || h->per_inch > 0;
    FigureSize size;
    size.dpi = dpi ? *dpi : physical ? kPrintDpi : kScreenDpi;
    size.width = device_pixels(*w, size.dpi);
    size.height = device_pixels(*h, size.dpi);
    return size;
}

} // namespace teravine::cli
