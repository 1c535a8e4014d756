// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sample_history.h"

namespace teravine {

void SampleHistory::placed() {
    if (steps_.empty() || steps_.back().placed == 0) {
        steps_.emplace_back();
    }
    ++steps_.back().placed;
}

void SampleHistory::remove(SampleList& samples, const std::vector<std::size_t>& rows) {
    if (rows.empty()) {
        return;
    }
    Step step;
    step.removed.reserve(rows.size());
    SampleList kept;
    std::size_t next = 0; // the next row to take out
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            step.removed.emplace_back(i, std::move(samples[i]));
            ++next;
        } else {
            kept.push_back(std::move(samples[i]));
        }
    }
    samples = std::move(kept);
    steps_.push_back(std::move(step));
}

std::optional<SampleListChange> SampleHistory::undo(SampleList& samples) {
    if (steps_.empty()) {
        return std::nullopt;
    }
    Step& step = steps_.back();
    SampleListChange change;
    if (step.placed > 0) {
        change.kind = SampleListChange::Kind::removed;
        change.rows = {samples.size() - 1};
        samples.pop_back();
        if (--step.placed == 0) {
            steps_.pop_back();
        }
        return change;
    }
    // Back at their old indices: the list merged with them in one pass.
    change.kind = SampleListChange::Kind::inserted;
    SampleList merged;
    std::size_t kept = 0;
    for (auto& [index, sample] : step.removed) {
        while (merged.size() < index && kept < samples.size()) {
            merged.push_back(std::move(samples[kept++]));
        }
        change.rows.push_back(merged.size());
        merged.push_back(std::move(sample));
    }
    while (kept < samples.size()) {
        merged.push_back(std::move(samples[kept++]));
    }
    samples = std::move(merged);
    steps_.pop_back();
    return change;
}

} // namespace teravine
