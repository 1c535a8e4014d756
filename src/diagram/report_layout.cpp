// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/report_layout.h"

#include "diagram/cis_drawing.h"
#include "diagram/peak_drawing.h"
#include "diagram/text_fit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace teravine {
namespace {

constexpr const char* kFontName = "Arial";
constexpr Colour kInk = 0x000000;
constexpr Colour kGrey = 0x808080;
constexpr Colour kDoubt = 0x2020C0; // the measuring dialog's red for a doubtful width
constexpr Colour kRuleColour = 0xA0A0A0;

constexpr double kContentWidth = kReportPageWidth - 2 * kReportMargin;
constexpr double kTop = kReportMargin;
constexpr double kBottom = kReportPageHeight - kReportMargin;
constexpr double kCellPad = 6;
constexpr double kWidestCell = 170; // longer names and notes are cut short with "…"
constexpr double kDiagramHeight = 560;
constexpr double kPeakHeight = 290;
constexpr double kGap = 10;
constexpr std::size_t kLinesKeptTogether = 6;

struct Font {
    float size = 9;
    bool bold = false;
};
constexpr Font kTitle{16, true};
constexpr Font kHeading{12, true};
constexpr Font kSubheading{10, true};
constexpr Font kBody{9, false};
constexpr Font kSmall{8, false};
constexpr Font kCell{7, false};
constexpr Font kCellTitle{7, true};

struct TextItem {
    double x = 0, y = 0;
    std::string text;
    Font font;
    Colour colour = kInk;
};
struct RuleItem {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
enum class FigureKind { diagram, cis, peak };
struct FigureItem {
    FigureKind kind = FigureKind::diagram;
    std::size_t index = 0; // of the peaks
    std::size_t panel = 0; // of their panels
    PlotArea area;
};
struct LaidPage {
    std::vector<FigureItem> figures;
    std::vector<TextItem> texts;
    std::vector<RuleItem> rules;
};

void use_font(Surface& s, Font font) {
    s.set_font_name(kFontName);
    s.set_font_size(font.size);
    s.set_font_bold(font.bold);
}

// Everything laid so far, page by page, and where the next line goes.
class Flow {
public:
    explicit Flow(Surface& surface) : s_(surface) { pages_.emplace_back(); }

    double width(const std::string& text, Font font) {
        use_font(s_, font);
        return s_.text_width(text);
    }
    double line_height(Font font) {
        use_font(s_, font);
        return 1.3 * s_.text_height("Mg");
    }
    double y() const { return y_; }
    bool at_top() const { return y_ <= kTop; }
    void new_page() {
        pages_.emplace_back();
        y_ = kTop;
    }
    // Goes on to a new page unless `height` fits under what the page holds.
    void need(double height) {
        if (y_ + height > kBottom && !at_top()) {
            new_page();
        }
    }
    void skip(double height) { y_ = std::min(y_ + height, kBottom); }
    // A new part of the report: on a new page unless at least half of this one is free.
    void part() {
        if (kBottom - y_ < (kBottom - kTop) / 2) {
            new_page();
        } else {
            skip(2 * kGap);
        }
    }

    void put(double x, const std::string& words, Font font, Colour colour) {
        pages_.back().texts.push_back({x, y_, words, font, colour});
    }
    void rule(double from, double to) { pages_.back().rules.push_back({from, y_, to, y_}); }
    void figure(FigureKind kind, std::size_t index, std::size_t panel, const PlotArea& area) {
        pages_.back().figures.push_back({kind, index, panel, area});
    }

    // The longest start of `text` that fits in `room`, one character at least.
    std::size_t fitting(const std::string& text, Font font, double room) {
        return fitting_length(text, room, [&](const std::string& t) { return width(t, font); });
    }

    // The text on as many lines of `room` as it needs, broken at blanks, and within a
    // word too long for a line (a path).
    std::vector<std::string> wrap(const std::string& text, Font font, double room) {
        std::vector<std::string> lines;
        std::string line;
        std::size_t from = 0;
        while (true) {
            const std::size_t gap = text.find(' ', from);
            std::string word = text.substr(from, gap == std::string::npos ? gap : gap - from);
            const std::string longer = line.empty() ? word : line + " " + word;
            if (width(longer, font) <= room) {
                line = longer;
            } else {
                if (!line.empty()) {
                    lines.push_back(line);
                }
                while (word.size() > 1 && width(word, font) > room) {
                    const std::size_t cut = fitting(word, font, room);
                    lines.push_back(word.substr(0, cut));
                    word.erase(0, cut);
                }
                line = word;
            }
            if (gap == std::string::npos) {
                break;
            }
            from = gap + 1;
        }
        lines.push_back(line);
        return lines;
    }

    // A paragraph of a few lines is kept on one page.
    void paragraph(const std::string& text, Font font, Colour colour = kInk) {
        const double height = line_height(font);
        const std::vector<std::string> lines = wrap(text, font, kContentWidth);
        if (lines.size() <= kLinesKeptTogether) {
            need(height * static_cast<double>(lines.size()));
        }
        for (const std::string& line : lines) {
            need(height);
            put(kReportMargin, line, font, colour);
            skip(height);
        }
    }

    // The text, cut short with "…" when wider than `room`.
    std::string elided(const std::string& text, Font font, double room) {
        return teravine::elided(text, room, [&](const std::string& t) { return width(t, font); });
    }

    std::vector<LaidPage> take() { return std::move(pages_); }

private:
    Surface& s_;
    std::vector<LaidPage> pages_;
    double y_ = kTop;
};

// The columns of one part of a table and their widths.
struct TablePart {
    std::vector<std::size_t> columns;
    std::vector<double> widths;
};

// Each column as wide as its widest cell (within kWidestCell); the columns after the key
// columns go into as few parts as the page's width allows, each part with the key columns.
std::vector<TablePart> table_parts(Flow& flow, const ReportTable& table) {
    std::vector<double> widths;
    for (std::size_t c = 0; c < table.titles.size(); ++c) {
        double widest = flow.width(table.titles[c], kCellTitle);
        for (const auto& row : table.rows) {
            if (c < row.size()) {
                widest = std::max(widest, flow.width(row[c], kCell));
            }
        }
        widths.push_back(std::min(widest, kWidestCell) + kCellPad);
    }
    const std::size_t keys = std::min(table.key_columns, widths.size());
    TablePart key;
    double key_width = 0;
    for (std::size_t c = 0; c < keys; ++c) {
        key.columns.push_back(c);
        key.widths.push_back(widths[c]);
        key_width += widths[c];
    }
    std::vector<TablePart> parts{key};
    double used = key_width;
    for (std::size_t c = keys; c < widths.size(); ++c) {
        if (used + widths[c] > kContentWidth && parts.back().columns.size() > keys) {
            parts.push_back(key);
            used = key_width;
        }
        parts.back().columns.push_back(c);
        parts.back().widths.push_back(std::min(widths[c], kContentWidth - key_width));
        used += widths[c];
    }
    return parts;
}

void table_header(Flow& flow, const ReportTable& table, const TablePart& part) {
    const double height = flow.line_height(kCellTitle);
    flow.need(3 * height);
    double x = kReportMargin;
    for (std::size_t i = 0; i < part.columns.size(); ++i) {
        flow.put(x,
                 flow.elided(table.titles[part.columns[i]], kCellTitle, part.widths[i] - kCellPad),
                 kCellTitle, kInk);
        x += part.widths[i];
    }
    flow.skip(height);
    flow.rule(kReportMargin, x);
    flow.skip(2);
}

void lay_table(Flow& flow, const ReportTable& table) {
    const double height = flow.line_height(kCell);
    for (const TablePart& part : table_parts(flow, table)) {
        table_header(flow, table, part);
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            if (flow.y() + height > kBottom) {
                flow.new_page();
                table_header(flow, table, part);
            }
            const auto& row = table.rows[r];
            const bool grey = r < table.greyed.size() && table.greyed[r];
            double x = kReportMargin;
            for (std::size_t i = 0; i < part.columns.size(); ++i) {
                const std::size_t c = part.columns[i];
                const bool marked =
                    r < table.marked.size() && c < table.marked[r].size() && table.marked[r][c];
                if (c < row.size() && !row[c].empty()) {
                    flow.put(x, flow.elided(row[c], kCell, part.widths[i] - kCellPad), kCell,
                             marked ? kDoubt
                             : grey ? kGrey
                                    : kInk);
                }
                x += part.widths[i];
            }
            flow.skip(height);
        }
        flow.skip(kGap);
    }
}

void heading(Flow& flow, const std::string& text, Font font = kHeading) {
    const double height = flow.line_height(font);
    // A heading stays with two lines of what follows it.
    flow.need(height + 2 * flow.line_height(kBody));
    flow.skip(flow.at_top() ? 0 : 0.5 * height);
    flow.paragraph(text, font);
}

void lay_front(Flow& flow, const ReportDocument& doc) {
    flow.paragraph(doc.title, kTitle);
    if (!doc.source.empty()) {
        flow.paragraph(doc.source, kSubheading);
    }
    flow.paragraph(doc.stamp, kBody, kGrey);
    flow.skip(kGap / 2);
    for (const std::string& line : doc.summary) {
        flow.paragraph(line, kBody);
    }
    if (doc.diagram) {
        flow.skip(kGap);
        flow.need(kDiagramHeight);
        const double height = std::min(kDiagramHeight, kBottom - flow.y());
        flow.figure(FigureKind::diagram, 0, 0,
                    {kReportMargin, flow.y(), kReportMargin + kContentWidth, flow.y() + height});
        flow.skip(height);
    }
    heading(flow, "Samples");
    if (doc.samples.rows.empty()) {
        flow.paragraph("None.", kBody);
        return;
    }
    lay_table(flow, doc.samples);
    for (const std::string& note : doc.sample_notes) {
        flow.paragraph(note, kSmall);
    }
}

void lay_calibration(Flow& flow, const ReportDocument& doc) {
    if (!doc.profile && !doc.calibration) {
        return;
    }
    flow.part();
    for (const auto* section : {&doc.profile, &doc.calibration}) {
        if (!*section) {
            continue;
        }
        heading(flow, (*section)->heading);
        for (const std::string& line : (*section)->lines) {
            flow.paragraph(line, kBody);
        }
        flow.skip(kGap / 2);
    }
    if (!doc.standards.rows.empty()) {
        lay_table(flow, doc.standards);
    }
    if (doc.cis) {
        flow.need(kCisFigureHeight);
        const double left = kReportMargin + (kContentWidth - kCisFigureWidth) / 2;
        flow.figure(FigureKind::cis, 0, 0,
                    {left, flow.y(), left + kCisFigureWidth, flow.y() + kCisFigureHeight});
        flow.skip(kCisFigureHeight);
    }
}

void lay_peaks(Flow& flow, const ReportDocument& doc) {
    if (doc.peaks.empty() && doc.peak_notes.empty()) {
        return;
    }
    flow.part();
    heading(flow, "Measured peaks");
    for (const std::string& note : doc.peak_notes) {
        flow.paragraph(note, kBody);
    }
    const double note_height = flow.line_height(kSmall);
    for (std::size_t i = 0; i < doc.peaks.size(); ++i) {
        const ReportPeaks& peaks = doc.peaks[i];
        flow.need(flow.line_height(kSubheading) * 1.5 + kPeakHeight +
                  note_height * static_cast<double>(peaks.notes.size()));
        flow.skip(kGap / 2);
        flow.paragraph(peaks.heading, kSubheading);
        const double width =
            kContentWidth / static_cast<double>(std::max<std::size_t>(1, peaks.panels.size()));
        for (std::size_t p = 0; p < peaks.panels.size(); ++p) {
            const double left = kReportMargin + width * static_cast<double>(p);
            flow.figure(FigureKind::peak, i, p,
                        {left, flow.y(), left + width, flow.y() + kPeakHeight});
        }
        flow.skip(kPeakHeight);
        for (const std::string& note : peaks.notes) {
            flow.paragraph(note, kSmall);
        }
    }
}

void draw_text(Surface& s, const TextItem& item) {
    use_font(s, item.font);
    s.set_fore_color(item.colour);
    s.set_current(static_cast<float>(item.x), static_cast<float>(item.y));
    s.print_text(item.text);
}

void draw_page(ReportDevice& device, const ReportDocument& doc, const LaidPage& page,
               const std::string& footer, const std::string& number) {
    for (const FigureItem& figure : page.figures) {
        if (figure.kind == FigureKind::diagram && doc.diagram) {
            device.draw_diagram(doc.diagram->content(), doc.diagram->world, figure.area);
        }
    }
    Surface& s = device.page();
    for (const FigureItem& figure : page.figures) {
        if (figure.kind == FigureKind::cis && doc.cis) {
            draw_cis_figure(s, *doc.cis, doc.cis_limits, figure.area);
        } else if (figure.kind == FigureKind::peak) {
            draw_peak_panel(s, doc.peaks[figure.index].panels[figure.panel], figure.area);
        }
    }
    s.set_pen_width(1);
    s.set_fore_color(kRuleColour);
    for (const RuleItem& rule : page.rules) {
        s.line(static_cast<float>(rule.x1), static_cast<float>(rule.y1),
               static_cast<float>(rule.x2), static_cast<float>(rule.y2));
    }
    for (const TextItem& text : page.texts) {
        draw_text(s, text);
    }
    const double foot = kBottom + 0.5 * kReportMargin;
    draw_text(s, {kReportMargin, foot, footer, kSmall, kGrey});
    use_font(s, kSmall);
    draw_text(s,
              {kReportMargin + kContentWidth - s.text_width(number), foot, number, kSmall, kGrey});
}

} // namespace

int draw_report(ReportDevice& device, const ReportDocument& doc) {
    Flow flow(device.page());
    lay_front(flow, doc);
    lay_calibration(flow, doc);
    lay_peaks(flow, doc);
    const std::vector<LaidPage> pages = flow.take();
    const std::string footer =
        doc.source.empty() ? doc.stamp : doc.stamp + "  \u00B7  " + doc.source;
    const std::string of = " of " + std::to_string(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            device.next_page();
        }
        draw_page(device, doc, pages[i], footer, "page " + std::to_string(i + 1) + of);
    }
    return static_cast<int>(pages.size());
}

} // namespace teravine
