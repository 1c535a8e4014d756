// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/diagram_scene.h"

#include "lines/const_lines.h"

namespace teravine {

void DiagramScene::set_up(std::int16_t reich, GridSwitches on) {
    cal = make_calibration(reich, &world);
    grids_on = on;
    if (on.n) {
        compute_const_n_lines(cal, grids);
    }
    if (on.s) {
        compute_const_s_lines(cal, grids);
    }
    if (on.fp) {
        compute_const_fp_lines(cal, grids);
    }
}

DiagramContent DiagramScene::content() const {
    DiagramContent shown{cal, grids, samples, grids_on, identical_on, labels};
    shown.ellipses = ellipses;
    shown.caption = caption;
    shown.ellipse_legend = legend;
    return shown;
}

} // namespace teravine
