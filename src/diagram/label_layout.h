// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping a figure's labels apart: each label goes where it was meant to stand or, when a
// label laid before it is there, to the nearest free place around the point it labels.
#pragma once

#include <span>
#include <vector>

namespace teravine {

// A label's box in user units, top-left corner and size (y grows downwards).
struct LabelBox {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    bool overlaps(const LabelBox& o) const {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
    bool operator==(const LabelBox&) const = default;
};

struct LabelRequest {
    LabelBox wanted;
    float anchor_x = 0; // the point labelled, where a moved label's leader line starts
    float anchor_y = 0;
    bool avoids_obstacles = false; // a line's label keeps off the samples' dots
};

// Beyond this many labels a figure is a cloud of text whatever is done: they stay put.
inline constexpr std::size_t kMaxLaidLabels = 400;

// The boxes of the labels, in the order given (earlier ones keep their place first). A
// label keeps its wanted box when that is free and within `bounds`; otherwise it takes the
// nearest box around it that overlaps no label laid before it and lies within `bounds`,
// and keeps the wanted one when there is none within reach. A label that avoids obstacles
// takes no box that overlaps one of them either.
std::vector<LabelBox> lay_labels(std::span<const LabelRequest> requests, const LabelBox& bounds,
                                 std::span<const LabelBox> obstacles = {});

// Where a leader line from (x, y) meets the box: the box's nearest point.
void nearest_point(const LabelBox& box, float& x, float& y);

} // namespace teravine
