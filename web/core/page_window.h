// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the page holds it: `Terav` with its handlers, answered by the page through
// JsWindowServices and drawing on a DisplayListSurface.
#pragma once

#include "app/sample_table_text.h"
#include "app/terav.h"
#include "display_list_surface.h"
#include "js_window_services.h"

#include <emscripten/val.h>

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
    // The sample table as the window shows it: {titles, rows}, each row its cells, the
    // samples placed first, then those a treatment could not place.
    val table() const {
        const TeravState& state = terav_.state();
        const LabCalibration* lab = &state.lab;
        const auto columns = sample_columns(state.sigma > 0, converts_samples(state.lab));
        std::vector<std::string> titles;
        for (SampleColumn column : columns) {
            titles.push_back(sample_column_titles()[static_cast<std::size_t>(column)]);
        }
        val rows = val::array();
        int at = 0;
        for (std::size_t i = 0; i < state.samples.size(); ++i) {
            std::vector<std::string> cells;
            for (SampleColumn column : columns) {
                cells.push_back(sample_cell(state.samples[i], i, column, lab));
            }
            rows.set(at++, val::array(cells));
        }
        for (const UnplacedSample& unplaced : state.unplaced) {
            std::vector<std::string> cells;
            for (SampleColumn column : columns) {
                cells.push_back(unplaced_cell(unplaced, column, lab));
            }
            rows.set(at++, val::array(cells));
        }
        val result = val::object();
        result.set("titles", val::array(titles));
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
