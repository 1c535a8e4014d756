// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/diagram_labels.h"

#include "diagram/text_style.h"

#include <algorithm>

namespace teravine {

void DiagramLabels::write(Surface& surface, const std::string& text, float anchor_x, float anchor_y,
                          bool sample) {
    if (!lay_apart_) {
        surface.print_text(text);
        return;
    }
    const float x = surface.current_x();
    const float y = surface.current_y();
    const float height = surface.text_height(text);
    if (sample) {
        const float radius = 0.25f * height;
        dots_.push_back({anchor_x - radius, anchor_y - radius, 2 * radius, 2 * radius});
    }
    gathered_.push_back({text,
                         {{x, y, surface.text_width(text), height}, anchor_x, anchor_y, !sample},
                         surface.fore_color(),
                         surface.font_size(),
                         sample});
    surface.set_current(0, y + height); // where printing would have left it
}

void DiagramLabels::finish(Surface& surface, const LabelBox& bounds) {
    if (gathered_.empty()) {
        return;
    }
    // Samples first: their labels stay by their dots, and the lines' labels give way.
    std::stable_partition(gathered_.begin(), gathered_.end(),
                          [](const Gathered& g) { return g.sample; });
    std::vector<LabelRequest> requests;
    requests.reserve(gathered_.size());
    for (const Gathered& g : gathered_) {
        requests.push_back(g.request);
    }
    const std::vector<LabelBox> boxes = lay_labels(requests, bounds, dots_);

    TextStyle kept;
    keep_text_style(kKeepStore, kept, surface);
    const int pen = surface.pen_width();
    surface.set_pen_width(1);
    for (std::size_t i = 0; i < gathered_.size(); ++i) {
        const Gathered& g = gathered_[i];
        const LabelBox& box = boxes[i];
        surface.set_fore_color(g.colour);
        surface.set_font_size(g.font_size);
        if (!(box == g.request.wanted)) {
            float x = g.request.anchor_x;
            float y = g.request.anchor_y;
            nearest_point(box, x, y);
            surface.line(g.request.anchor_x, g.request.anchor_y, x, y);
        }
        surface.set_current(box.x, box.y);
        surface.print_text(g.text);
    }
    surface.set_pen_width(pen);
    keep_text_style(kKeepRestore, kept, surface);
    gathered_.clear();
    dots_.clear();
}

} // namespace teravine
