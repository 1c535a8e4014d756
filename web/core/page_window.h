// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the page holds it: `Terav` with its handlers, answered by the page through
// JsWindowServices and drawing on a DisplayListSurface.
#pragma once

#include "app/sample_table_text.h"
#include "app/terav.h"
#include "display_list_surface.h"
#include "js_window_services.h"

#include <emscripten/val.h>

#include <algorithm>

namespace teravine::web {

using emscripten::val;

// The window as the page holds it. `page` answers the services; `measure(font, text)`
// gives a text's [width, height] in pixels.
class PageWindow {
public:
    PageWindow(val page, val measure)
        : picture_(measure), services_(page, measure, picture_), terav_(services_, picture_) {}

    val take_picture_commands() { return picture_.take_commands(); }

    Terav& terav() { return terav_; }
    WindowServices& services() { return services_; }
    int sample_count() const { return static_cast<int>(terav_.state().samples.size()); }
    // The sample table as the window shows it: {titles, count, rows}, the samples placed
    // first, then those a treatment could not place; `rows` holds the cells of the rows
    // [first, last) only, as a page builds only the rows in view.
    val table(int first, int last) const {
        const TeravState& state = terav_.state();
        const LabCalibration* lab = &state.lab;
        const auto columns = sample_columns(state.sigma > 0, converts_samples(state.lab));
        std::vector<std::string> titles;
        for (SampleColumn column : columns) {
            titles.push_back(sample_column_titles()[static_cast<std::size_t>(column)]);
        }
        const std::size_t placed = state.samples.size();
        const std::size_t count = placed + state.unplaced.size();
        const std::size_t from = std::min(count, static_cast<std::size_t>(std::max(first, 0)));
        const std::size_t to = std::clamp(static_cast<std::size_t>(std::max(last, 0)), from, count);
        val rows = val::array();
        for (std::size_t i = from; i < to; ++i) {
            std::vector<std::string> cells;
            for (SampleColumn column : columns) {
                cells.push_back(i < placed
                                    ? sample_cell(state.samples[i], i, column, lab)
                                    : unplaced_cell(state.unplaced[i - placed], column, lab));
            }
            rows.set(static_cast<int>(i - from), val::array(cells));
        }
        val result = val::object();
        result.set("titles", val::array(titles));
        result.set("count", static_cast<int>(count));
        result.set("rows", rows);
        return result;
    }
    void select_samples(const val& rows) {
        std::vector<std::size_t> chosen;
        for (int row : emscripten::vecFromJSArray<int>(rows)) {
            chosen.push_back(static_cast<std::size_t>(row));
        }
        terav_.select_samples(std::move(chosen));
    }

private:
    DisplayListSurface picture_;
    JsWindowServices services_;
    Terav terav_;
};

} // namespace teravine::web
