// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/report_pdf.h"

#include "diagram/diagram_picture.h"
#include "diagram/report_layout.h"
#include "qt/painter_surface.h"
#include "qt/render/diagram_image.h"
#include "qt/render/headless_gui.h"
#include "qt/render/page_file.h"

#include <QPdfWriter>

#include <cmath>

namespace teravine {
namespace {

constexpr double kReportDpi = 300;
constexpr double kDevicePerUnit = kReportDpi / kScreenDpi; // a unit is a screen pixel

// The pages of the PDF, one painter over all of them: ending it would end the document.
class PdfReport final : public ReportDevice {
public:
    explicit PdfReport(QPdfWriter& pdf) : pdf_(pdf), surface_(&pdf, kDevicePerUnit) {
        surface_.set_antialiasing(true);
        use_page_scale();
    }

    Surface& page() override { return surface_; }

    void next_page() override {
        surface_.flush();
        pdf_.newPage();
    }

    void draw_diagram(const DiagramContent& content, const WorldWindow& world,
                      const PlotArea& area) override {
        const auto device = [](double units) { return units * kDevicePerUnit; };
        const FigureSize size{static_cast<int>(std::lround(device(area.right - area.left))),
                              static_cast<int>(std::lround(device(area.bottom - area.top))),
                              kReportDpi};
        const FigureFrame frame = figure_frame(content, world, size);
        surface_.set_picture_frame(QRectF(device(area.left) + frame.left,
                                          device(area.top) + frame.top, frame.side, frame.side));
        PlotWindow plot;
        static_cast<WorldWindow&>(plot) = world;
        AxisCaptions captions;
        draw_diagram_picture(surface_, frame.picture_pixels, content, plot, captions);
        surface_.set_picture_frame(std::nullopt);
        use_page_scale();
    }

    void finish() { surface_.finish(); }

private:
    void use_page_scale() {
        surface_.set_user_scale(0, 0, static_cast<float>(kReportPageWidth),
                                static_cast<float>(kReportPageHeight));
    }

    QPdfWriter& pdf_;
    PainterSurface surface_;
};

} // namespace

std::optional<std::string> write_report_pdf(const std::string& path,
                                            const ReportDocument& document) {
    HeadlessGui gui;
    return write_pdf_document(path, document.title, kReportDpi, [&](QPdfWriter& pdf) {
        PdfReport report(pdf);
        draw_report(report, document);
        report.finish();
    });
}

} // namespace teravine
