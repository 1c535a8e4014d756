// SPDX-License-Identifier: GPL-3.0-or-later
// What the diagram draws on: the window's picture, a printer page or an image file.
// Coordinates are user units (the picture is (0, 0)-(15, 15), left-top to right-bottom).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace teravine {

// Colours are 0x00BBGGRR: blue in the high byte, red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour kColourK = 0x000808;
inline constexpr Colour kColourN = 0x0000FF;
inline constexpr Colour kColourS = 0xFF8080;
inline constexpr Colour kColourFp = 0x00C000;
inline constexpr Colour kColourSample = 0x000000;

inline constexpr int kDrawModeCopyPen = 13;

class Surface {
public:
    virtual ~Surface() = default;

    // The user coordinate system: (left, top) to (right, bottom) spans the surface.
    virtual void set_user_scale(float left, float top, float right, float bottom) = 0;
    virtual void clear() = 0;

    virtual Colour fore_color() const = 0;
    virtual void set_fore_color(Colour colour) = 0;
    virtual int pen_width() const = 0;
    virtual void set_pen_width(int width) = 0;
    virtual int draw_mode() const = 0;
    virtual void set_draw_mode(int mode) = 0;

    // Each of these leaves the current position at its end point.
    virtual void line(float x1, float y1, float x2, float y2) = 0;
    virtual void line_to(float x, float y) = 0;
    virtual void box(float x1, float y1, float x2, float y2) = 0; // unfilled rectangle
    virtual void point(float x, float y) = 0;
    // line_to each of `count` points in turn, xy holding x, y of each: one call for a run
    // of a polyline.
    virtual void lines_to(const float* xy, int count) {
        for (int i = 0; i < count; ++i) {
            line_to(xy[2 * i], xy[2 * i + 1]);
        }
    }

    virtual float current_x() const = 0;
    virtual float current_y() const = 0;
    virtual void set_current(float x, float y) = 0;

    // Prints text with its top-left corner at the current position, then moves the
    // current position to the start of the next line (x back to 0, y down one line).
    virtual void print_text(const std::string& text) = 0;
    virtual float text_width(const std::string& text) const = 0;
    virtual float text_height(const std::string& text) const = 0;

    virtual std::string font_name() const = 0;
    virtual void set_font_name(const std::string& name) = 0;
    virtual float font_size() const = 0;
    virtual void set_font_size(float size) = 0;
    virtual bool font_bold() const = 0;
    virtual void set_font_bold(bool bold) = 0;

    // Whether a one-pixel line sets its pixels to its colour whatever lies under them
    // (aliased drawing on an image): a line drawn again later then hides every earlier
    // drawing of it, which may be left out.
    virtual bool overwrites_lines() const { return false; }

    // A drawing of the whole picture from the surface's state as it stands: `on` is the
    // surface it draws on, and `kept` marks the one run whose results stand.
    using WholeDrawing = std::function<void(Surface& on, bool kept)>;

    // Runs draw on this surface. A surface that can draw faster so may instead run it on
    // several copies of itself at once, each from this state and on its own thread, which
    // together set the pixels of one run, and then take on the state the kept run left;
    // draw must be safe to run so. `samples`: how many samples the picture holds, by which
    // the surface judges whether that pays.
    virtual void draw_whole(std::size_t samples, const WholeDrawing& draw) {
        (void)samples;
        draw(*this, true);
    }
};

} // namespace teravine
