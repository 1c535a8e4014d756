// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's undo takes back: the last samples placed, one at a time, or the last
// removal of samples, which it puts back where they stood.
#pragma once

#include "app/window_services.h"
#include "identify/sample_list.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace teravine {

class SampleHistory {
public:
    // A sample was appended to the list.
    void placed();
    // These samples (at ascending indices of the list as it stood) are taken out of it.
    void remove(SampleList& samples, const std::vector<std::size_t>& rows);
    // The list was cleared or identified afresh: what came before cannot be taken back.
    void forget() { steps_.clear(); }
    bool empty() const { return steps_.empty(); }

    // Takes back the last step on samples and says what changed (nothing when empty).
    std::optional<SampleListChange> undo(SampleList& samples);

private:
    struct Step {
        std::size_t placed = 0; // samples appended in a row, taken back one by one
        std::vector<std::pair<std::size_t, PlacedSample>> removed;
    };
    std::vector<Step> steps_;
};

} // namespace teravine
