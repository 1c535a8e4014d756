// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/raster/hairline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <utility>

namespace teravine {
namespace {

// Device pixels in 26.6 fixed point, truncated as the engine truncates.
int to_26_6(double v) {
    return static_cast<int>(v * 64.0);
}

// a / b in 16.16 fixed point, both in 26.6.
int fixed_div(int a, int b) {
    if (std::abs(a) > 0x7fff) {
        return static_cast<int>(static_cast<long long>(a) * (1 << 16) / b);
    }
    return a * (1 << 16) / b;
}

// Equal as Qt's QPointF comparison takes them: relatively, or near zero absolutely.
bool fuzzy_equal(double a, double b) {
    if (a == 0 || b == 0) {
        return std::fabs(a - b) <= 1e-12;
    }
    return std::fabs(a - b) * 1e12 <= std::min(std::fabs(a), std::fabs(b));
}

// Half away from zero, as Qt rounds a point to its pixel.
int round_to_pixel(double v) {
    return v >= 0.0 ? static_cast<int>(v + 0.5) : static_cast<int>(v - 0.5);
}

bool written(const PixelRows& rows, int x, int y) {
    return x >= 0 && y >= rows.from_row && y >= 0 && x < rows.width && y < rows.height &&
           y < rows.to_row;
}

// Whether a segment from y1 to y2 sets no pixel of the band: its pixels lie within a
// pixel of its ends' rows.
bool misses_band(const PixelRows& rows, double y1, double y2) {
    return std::max(y1, y2) < rows.from_row - 2.0 || std::min(y1, y2) > rows.to_row + 2.0;
}

void set_pixel(const PixelRows& rows, int x, int y, std::uint32_t pixel) {
    if (written(rows, x, y)) {
        rows.first[y * rows.stride + x] = pixel;
    }
}

// Clips the segment to lo <= a <= hi along one axis, moving b with it. False when
// nothing is left.
bool clip_axis(double& a1, double& b1, double& a2, double& b2, double lo, double hi) {
    if (a1 < lo) {
        if (a2 <= lo) {
            return false;
        }
        b1 += (b2 - b1) / (a2 - a1) * (lo - a1);
        a1 = lo;
    } else if (a1 > hi) {
        if (a2 >= hi) {
            return false;
        }
        b1 += (b2 - b1) / (a2 - a1) * (hi - a1);
        a1 = hi;
    }
    if (a2 < lo) {
        b2 += (b2 - b1) / (a2 - a1) * (lo - a2);
        a2 = lo;
    } else if (a2 > hi) {
        b2 += (b2 - b1) / (a2 - a1) * (hi - a2);
        a2 = hi;
    }
    return true;
}

// Clips the segment, in floating point, to the rows widened by a pixel on each side, so
// that the fixed-point stepping cannot overflow: x first, then y.
bool clip_to(const PixelRows& rows, double& x1, double& y1, double& x2, double& y2) {
    return clip_axis(x1, y1, x2, y2, -1, rows.width + 1.0) &&
           clip_axis(y1, x1, y2, x2, -1, rows.height + 1.0);
}

// Steps along the major axis one pixel at a time from `major1` to `major2` (26.6, in
// order), the minor coordinate in 16.16 from `minor1` with slope `inc`. The round caps
// widen the segment by half a pixel at both ends. plot(major, minor) sets one pixel.
template <typename Plot> void step_along(int major1, int major2, int minor1, int inc, Plot plot) {
    int minor = minor1 * (1 << 10);
    major1 -= 32;
    minor -= inc >> 1;
    major2 += 32;
    int at = (major1 + 32) >> 6;
    const int end = (major2 + 32) >> 6;
    if (at == end) {
        return;
    }
    const int round = inc > 0 ? 32 : 0;
    minor += ((at * (1 << 6)) + round - major1) * inc >> 6;
    do {
        plot(at, minor >> 16);
        minor += inc;
    } while (++at < end);
}

// x scaled by a / 255, each of its four bytes, rounded.
std::uint32_t byte_mul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xff00ffu) * a;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    x = ((x >> 8) & 0xff00ffu) * a;
    x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return x | t;
}

// `pixel` over the pixel at (x, y) with coverage 0..255.
void blend_pixel(const PixelRows& rows, int x, int y, std::uint32_t pixel, std::uint32_t coverage) {
    if (!written(rows, x, y)) {
        return;
    }
    std::uint32_t& at = rows.first[y * rows.stride + x];
    at = coverage == 255 ? pixel : byte_mul(pixel, coverage) + byte_mul(at, 255 - coverage);
}

// Steps along the major axis from `major1` to `major2` (26.6, in order), covering at each
// step the two pixels across the minor axis that straddle the line, the first and last
// step in proportion to the part of their pixel they cover. cover(major, minor, coverage).
template <typename Cover>
void step_antialiased(int major1, int major2, int minor1, int inc, Cover cover) {
    int minor = (minor1 - 32) * (1 << 10);
    minor -= (((major1 & 63) - 32) * inc) >> 6;
    major1 -= 32; // the round caps
    minor -= inc >> 1;
    major2 += 32;
    int at = major1 >> 6;
    const int end = major2 >> 6;
    const int share_first = at == end ? major2 - major1 : 64 - (major1 & 63);
    const int share_last = at == end ? 0 : major2 & 63;
    const auto cover_pair = [&](int share) {
        const auto split = static_cast<std::uint32_t>(static_cast<std::uint8_t>(minor >> 8));
        cover(at, minor >> 16, (255 - split) * static_cast<std::uint32_t>(share) >> 6);
        cover(at, (minor >> 16) + 1, split * static_cast<std::uint32_t>(share) >> 6);
    };
    cover_pair(share_first);
    minor += inc;
    for (++at; at < end; ++at) {
        cover_pair(64);
        minor += inc;
    }
    if (share_last != 0) {
        cover_pair(share_last);
    }
}

// Clips the segment, takes it to 26.6 fixed point and orders it along its longer axis,
// then hands walk(from, to, minor1, inc, along_y) the stepping: the major coordinate from
// `from` to `to`, the minor one from `minor1` with the slope `inc` (16.16); along_y
// (std::true_type or std::false_type, so each stepping is compiled for its axis) tells
// that the major axis is y.
template <typename Walk>
void walk_segment(const PixelRows& rows, double x1, double y1, double x2, double y2, Walk walk) {
    if (!clip_to(rows, x1, y1, x2, y2)) {
        return;
    }
    int fx1 = to_26_6(x1), fy1 = to_26_6(y1), fx2 = to_26_6(x2), fy2 = to_26_6(y2);
    const int dx = fx2 - fx1;
    const int dy = fy2 - fy1;
    if (std::abs(dx) < std::abs(dy)) {
        const int inc = fixed_div(dx, dy); // the same for either order of the ends
        if (fy1 > fy2) {
            std::swap(fy1, fy2);
            std::swap(fx1, fx2);
        }
        walk(fy1, fy2, fx1, inc, std::true_type{});
    } else if (dx != 0) {
        const int inc = fixed_div(dy, dx);
        if (fx1 > fx2) {
            std::swap(fx1, fx2);
            std::swap(fy1, fy2);
        }
        walk(fx1, fx2, fy1, inc, std::false_type{});
    }
}

} // namespace

void draw_hairline_point(const PixelRows& rows, double x, double y, std::uint32_t pixel) {
    set_pixel(rows, round_to_pixel(x), round_to_pixel(y), pixel);
}

namespace {

// A segment outside the band draws nothing, and one of no length is a point: true when
// either settled it, so that no walk along it is needed.
bool drawn_without_walk(const PixelRows& rows, double x1, double y1, double x2, double y2,
                        std::uint32_t pixel) {
    if (misses_band(rows, y1, y2)) {
        return true;
    }
    if (fuzzy_equal(x1, x2) && fuzzy_equal(y1, y2)) {
        draw_hairline_point(rows, x1, y1, pixel);
        return true;
    }
    return false;
}

} // namespace

void draw_hairline(const PixelRows& rows, double x1, double y1, double x2, double y2,
                   std::uint32_t pixel) {
    if (drawn_without_walk(rows, x1, y1, x2, y2, pixel)) {
        return;
    }
    walk_segment(rows, x1, y1, x2, y2, [&](int from, int to, int minor1, int inc, auto along_y) {
        step_along(from, to, minor1, inc, [&](int major, int minor) {
            if constexpr (along_y) {
                set_pixel(rows, minor, major, pixel);
            } else {
                set_pixel(rows, major, minor, pixel);
            }
        });
    });
}

void draw_antialiased_hairline(const PixelRows& rows, double x1, double y1, double x2, double y2,
                               std::uint32_t pixel) {
    if (drawn_without_walk(rows, x1, y1, x2, y2, pixel)) {
        return;
    }
    walk_segment(rows, x1, y1, x2, y2, [&](int from, int to, int minor1, int inc, auto along_y) {
        step_antialiased(from, to, minor1, inc, [&](int major, int minor, std::uint32_t coverage) {
            if constexpr (along_y) {
                blend_pixel(rows, minor, major, pixel, coverage);
            } else {
                blend_pixel(rows, major, minor, pixel, coverage);
            }
        });
    });
}

} // namespace teravine
