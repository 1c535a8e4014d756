// SPDX-License-Identifier: GPL-3.0-or-later
// One-pixel line segments of an opaque colour written straight into 32-bit pixel rows
// (0xAARRGGBB, alpha premultiplied or opaque). The pixels are those Qt's raster engine
// sets for a one-pixel pen with round caps, aliased or antialiased: the same 26.6
// fixed-point stepping, rounding, coverage, blending and clipping. The diagram draws its
// thousands of identical lines this way at a fraction of the engine's cost per segment;
// tests/qt compares the two pixel for pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace teravine {

struct PixelRows {
    std::uint32_t* first = nullptr; // the top row's first pixel
    std::ptrdiff_t stride = 0;      // pixels from one row to the next
    int width = 0;
    int height = 0;
    // Only the rows from_row <= y < to_row are written. The clipping and the stepping
    // stay those of all the rows, so a band gets the very pixels the whole drawing sets
    // in it, and bands may be drawn at once by different threads.
    int from_row = 0;
    int to_row = std::numeric_limits<int>::max();
};

// Sets every pixel of the segment (x1, y1)-(x2, y2), in device pixels, that lies inside
// the rows (and their band) to `pixel`.
// A segment of no length is drawn as the point (x1, y1).
void draw_hairline(const PixelRows& rows, double x1, double y1, double x2, double y2,
                   std::uint32_t pixel);

// The same segment antialiased: each step covers the two pixels nearest to the line in
// proportion to their distance from it, blended over what the rows hold.
void draw_antialiased_hairline(const PixelRows& rows, double x1, double y1, double x2, double y2,
                               std::uint32_t pixel);

// Sets the pixel nearest to (x, y) when it lies inside the rows.
void draw_hairline_point(const PixelRows& rows, double x, double y, std::uint32_t pixel);

} // namespace teravine
