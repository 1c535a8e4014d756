// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/axes.h"

#include "text/number_text.h"

#include <cmath>

namespace teravine {
namespace {

void set_font(Surface& surface, float font_size, const std::string& font_name) {
    surface.set_font_size(font_size);
    surface.set_font_name(font_name);
}

// The sign of a tick length; a zero length is never passed.
float sign_of(float tick_length) {
    return tick_length / std::fabs(tick_length);
}

} // namespace

std::int16_t interval_count(float span, float step) {
    return static_cast<std::int16_t>(std::nearbyint(span / step)); // default mode: ties to even
}

void draw_axes(Surface& surface, float font_size, const std::string& font_name,
               AxisCaptions& captions, PlotWindow& plot) {
    set_font(surface, font_size, font_name);
    layout_frame(plot, surface.text_height(captions.x_text), surface.text_width(captions.y_text));

    surface.set_pen_width(3);
    surface.box(plot.left, plot.bottom, plot.right, plot.top);
    surface.set_pen_width(1);

    const float x_span = plot.xmax - plot.xmin;
    const float y_span = plot.ymax - plot.ymin;
    // Products with the literal 0.015 are carried in double and stored as singles.
    const auto x_tick = static_cast<float>(static_cast<double>(y_span) * 0.015);
    const auto y_tick = static_cast<float>(static_cast<double>(x_span) * 0.015 * plot.ny / plot.nx);
    draw_x_axis(surface, plot, x_tick, interval_count(x_span, plot.xstep), font_size, font_name,
                plot.xminor, captions);
    draw_y_axis(surface, plot, y_tick, interval_count(y_span, plot.ystep), font_size, font_name,
                plot.yminor, captions);
}

void draw_x_axis(Surface& surface, const PlotWindow& plot, float tick_length, int interval_count,
                 float font_size, const std::string& font_name, int minor_count,
                 AxisCaptions& captions) {
    surface.set_current(0, surface.current_y());
    set_font(surface, font_size, font_name);
    const float h = surface.text_height("H");
    const float s = sign_of(tick_length);

    const float a = y_from_origin(plot.yorig, plot.yunit, 0);
    const float t = y_from_origin(plot.yorig, plot.yunit, -tick_length);
    const float t2 = y_from_origin(plot.yorig, plot.yunit, -tick_length / 2);
    const float minor_step = plot.xstep / static_cast<float>(plot.xminor);

    float p = 0;
    for (int i = 0; i <= interval_count; ++i) {
        float d = static_cast<float>(i) * plot.xstep;
        const float value = d + plot.xmin;
        p = x_from_origin(plot.xorig, plot.xunit, d);
        surface.line(p, t, p, a);

        const std::string label = format_trim6(value);
        surface.set_current(p - surface.text_width(label) / 2, t + s * h);
        surface.print_text(label);

        if (i == interval_count) {
            continue;
        }
        for (int j = 1; j <= minor_count - 1; ++j) {
            d = d + minor_step;
            const float pm = x_from_origin(plot.xorig, plot.xunit, d);
            if (pm > plot.right) {
                break;
            }
            surface.line(pm, t2, pm, a);
        }
    }

    captions.x_left = p / 2 - surface.text_height(captions.x_text) / 2;
    captions.x_top = t + 2 * s * h;
    captions.x_visible = true;
}

void draw_y_axis(Surface& surface, const PlotWindow& plot, float tick_length, int interval_count,
                 float font_size, const std::string& font_name, int minor_count,
                 AxisCaptions& captions) {
    set_font(surface, font_size, font_name);
    const float h = surface.text_height("H");

    const float a = x_from_origin(plot.xorig, plot.xunit, 0);
    const float t = x_from_origin(plot.xorig, plot.xunit, -tick_length);
    const float t2 = x_from_origin(plot.xorig, plot.xunit, -tick_length / 2);
    const float minor_step = plot.ystep / static_cast<float>(plot.yminor);

    for (int i = 0; i <= interval_count; ++i) {
        float d = static_cast<float>(i) * plot.ystep;
        const float value = d + plot.ymin;
        const float p = y_from_origin(plot.yorig, plot.yunit, d);
        surface.line(t, p, a, p);

        const std::string label = format_trim6(value);
        const float w = surface.text_width(label);
        surface.set_current(static_cast<float>(t - 1.2 * static_cast<double>(w)), p - h / 2);
        surface.print_text(label);

        if (i == interval_count) {
            continue;
        }
        for (int j = 1; j <= minor_count - 1; ++j) {
            d = d + minor_step;
            const float pm = y_from_origin(plot.yorig, plot.yunit, d);
            if (pm < plot.top) {
                break;
            }
            surface.line(t2, pm, a, pm);
        }
    }

    captions.y_visible = true;
}

} // namespace teravine
