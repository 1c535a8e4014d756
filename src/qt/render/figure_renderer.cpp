// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the renderer library (libteravine-render.so).
#include "qt/render/figure_renderer.h"

#include "qt/render/cis_figure.h"
#include "qt/render/peak_image.h"
#include "qt/render/report_pdf.h"
#include "qt/render/thickness_figure.h"
#include "teravine_version.h"

extern "C" __attribute__((visibility("default"))) const teravine::FigureRenderer*
teravine_figure_renderer() {
    static const teravine::FigureRenderer table{teravine::kVersion,
                                                teravine::figure_renderer_layout(),
                                                teravine::write_diagram_image,
                                                teravine::write_diagram_figure,
                                                teravine::write_peak_image,
                                                teravine::write_cis_image,
                                                teravine::write_report_pdf,
                                                teravine::write_thickness_image};
    return &table;
}
