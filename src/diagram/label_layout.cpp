// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/label_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {

namespace {

constexpr int kRings = 24;      // how far a label may move: rings of half a line each
constexpr int kDirections = 16; // places tried on each ring

bool inside(const LabelBox& box, const LabelBox& bounds) {
    return box.x >= bounds.x && box.y >= bounds.y && box.x + box.width <= bounds.x + bounds.width &&
           box.y + box.height <= bounds.y + bounds.height;
}

// Free, with a gap of a fifth of a line either side so that neighbours do not read as one.
bool free_place(const LabelBox& box, std::span<const LabelBox> laid) {
    const float gap = 0.2f * box.height;
    const LabelBox padded{box.x - gap, box.y, box.width + 2 * gap, box.height};
    return std::none_of(laid.begin(), laid.end(),
                        [&](const LabelBox& other) { return padded.overlaps(other); });
}

} // namespace

std::vector<LabelBox> lay_labels(std::span<const LabelRequest> requests, const LabelBox& bounds,
                                 std::span<const LabelBox> obstacles) {
    std::vector<LabelBox> laid;
    laid.reserve(requests.size());
    if (requests.size() > kMaxLaidLabels) {
        for (const LabelRequest& request : requests) {
            laid.push_back(request.wanted);
        }
        return laid;
    }
    for (const LabelRequest& request : requests) {
        const LabelBox& wanted = request.wanted;
        const auto usable = [&](const LabelBox& box) {
            return inside(box, bounds) && free_place(box, laid) &&
                   (!request.avoids_obstacles || free_place(box, obstacles));
        };
        LabelBox chosen = wanted;
        if (!usable(wanted)) {
            const float step = 0.5f * wanted.height;
            bool found = false;
            for (int ring = 1; ring <= kRings && !found; ++ring) {
                for (int d = 0; d < kDirections && !found; ++d) {
                    const double angle = 2 * std::numbers::pi * d / kDirections;
                    LabelBox candidate = wanted;
                    // Sideways moves reach further: a label is wider than it is tall.
                    candidate.x += static_cast<float>(2.0 * ring * step * std::cos(angle));
                    candidate.y +=
                        static_cast<float>(static_cast<double>(ring) * step * std::sin(angle));
                    if (usable(candidate)) {
                        chosen = candidate;
                        found = true;
                    }
                }
            }
        }
        laid.push_back(chosen);
    }
    return laid;
}

void nearest_point(const LabelBox& box, float& x, float& y) {
    x = std::clamp(x, box.x, box.x + box.width);
    y = std::clamp(y, box.y, box.y + box.height);
}

} // namespace teravine
