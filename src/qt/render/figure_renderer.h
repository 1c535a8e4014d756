// SPDX-License-Identifier: GPL-3.0-or-later
// The figure renderer as a library opened at run time: the table of the functions that
// draw and write a figure, handed out by the one symbol the library exports. The
// command-line tool draws through it, so commands that draw nothing start without the
// toolkit. No Qt type here.
#pragma once

#include "diagram/peak_drawing.h"
#include "diagram/report_document.h"
#include "diagram/thickness_drawing.h"
#include "qt/render/diagram_image.h"
#include "standards/cis_calibration.h"
#include "standards/cis_zones.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct FigureRenderer {
    // The program's version and the layout of what crosses over; a library of another
    // build is refused rather than handed data it reads differently.
    const char* version = nullptr;
    std::size_t layout = 0;

    Outcome<WrittenImage> (*diagram_image)(const DiagramContent& content, const WorldWindow& world,
                                           const std::string& path, int pixels) = nullptr;
    Outcome<WrittenImage> (*diagram_figure)(const DiagramContent& content, const WorldWindow& world,
                                            const std::string& path,
                                            const FigureSize& size) = nullptr;
    std::optional<std::string> (*peak_image)(const std::string& path,
                                             const std::vector<PeakPanel>& panels) = nullptr;
    std::optional<std::string> (*cis_image)(const std::string& path,
                                            const CisCalibration& calibration,
                                            const ZoneLimits& limits) = nullptr;
    std::optional<std::string> (*report_pdf)(const std::string& path,
                                             const ReportDocument& document) = nullptr;
    std::optional<std::string> (*thickness_image)(const std::string& path,
                                                  const ThicknessFigure& figure) = nullptr;
};

// A fingerprint of the types the table's functions take, the same on both sides of one
// build.
inline constexpr std::size_t figure_renderer_layout() {
    return sizeof(FigureRenderer) ^ (sizeof(DiagramContent) << 8) ^ (sizeof(WorldWindow) << 16) ^
           (sizeof(FigureSize) << 24) ^ (sizeof(PeakPanel) << 32) ^ (sizeof(CisCalibration) << 40) ^
           (sizeof(ZoneLimits) << 48) ^ (sizeof(ReportDocument) << 4) ^
           (sizeof(ReportTable) << 12) ^ (sizeof(ThicknessFigure) << 56);
}

// The file name of the library and the name of its one exported function, which returns
// the table.
inline constexpr const char* kFigureRendererFile = "libteravine-render.so";
inline constexpr const char* kFigureRendererSymbol = "teravine_figure_renderer";

} // namespace teravine
