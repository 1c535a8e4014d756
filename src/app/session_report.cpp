// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/session_report.h"

#include "app/lab_calibration.h"
#include "app/report_peaks.h"
#include "app/sample_table_text.h"
#include "app/session_scene.h"
#include "model/broadening.h"
#include "text/number_text.h"

#include <algorithm>
#include <array>

namespace teravine {
namespace {

const std::string kDegrees = " \u00B02\u03B8";

// The rule in a table cell: the mixture's name is too long for one.
std::string short_rule(std::int16_t rule) {
    return rule == kRuleMixture ? "geom. mean"
           : rule == kRuleTable ? "table"
                                : std::string(rule_name(rule));
}

std::string method_cell(const SampleOrigin& o) {
    if (!o.measured) {
        return "click";
    }
    return o.measurement ? o.measurement->method : "entered";
}

std::string correction_cell(const SampleOrigin& o) {
    if (!o.measured || !removes_broadening(o.broadening, o.rule)) {
        return "none";
    }
    if (o.rule == kRuleTable) {
        return "table";
    }
    return short_rule(o.rule) + ", b " + bare_number_text(o.broadening);
}

// "AD weak, EG edge;flank"; "ok" for a pair measured without doubt; empty when nothing is
// known of them.
std::string quality_cell(const std::string& ad, const std::string& eg, bool measured) {
    std::string text;
    for (const auto& [side, doubt] : {std::pair{"AD ", &ad}, std::pair{"EG ", &eg}}) {
        if (doubtful(*doubt)) {
            text += (text.empty() ? "" : ", ") + std::string(side) + *doubt;
        }
    }
    return text.empty() && measured ? "ok" : text;
}

// A column of the report's sample table: one of the window's, or one of its own.
enum class Extra { none, method, correction, quality, note };
struct Column {
    SampleColumn shown = SampleColumn::number;
    Extra extra = Extra::none;
};

// The window's columns, the label giving way to a note, and after EG how the widths were
// taken and corrected and the doubts on them.
std::vector<Column> report_columns(bool intervals, bool cis) {
    std::vector<Column> columns;
    for (const SampleColumn c : sample_columns(intervals, cis)) {
        if (c == SampleColumn::label) {
            columns.push_back({c, Extra::note});
            continue;
        }
        columns.push_back({c, Extra::none});
        if (c == SampleColumn::eg) {
            for (const Extra extra : {Extra::method, Extra::correction, Extra::quality}) {
                columns.push_back({c, extra});
            }
        }
    }
    return columns;
}

std::string column_title(const Column& c) {
    switch (c.extra) {
    case Extra::method:
        return "Method";
    case Extra::correction:
        return "Correction";
    case Extra::quality:
        return "Quality";
    case Extra::note:
        return "Note";
    case Extra::none:
        break;
    }
    return sample_column_titles()[static_cast<std::size_t>(c.shown)];
}

std::string placed_cell(const PlacedSample& s, std::size_t index, const Column& c,
                        const LabCalibration& lab) {
    switch (c.extra) {
    case Extra::method:
        return method_cell(s.origin);
    case Extra::correction:
        return correction_cell(s.origin);
    case Extra::quality:
        return quality_cell(width_doubt(s.origin, true), width_doubt(s.origin, false),
                            s.origin.measurement.has_value());
    case Extra::note:
        return s.beyond_range ? kBeyondRange : "";
    case Extra::none:
        break;
    }
    return sample_cell(s, index, c.shown, &lab);
}

std::string unplaced_report_cell(const UnplacedSample& s, const Column& c,
                                 const LabCalibration& lab) {
    switch (c.extra) {
    case Extra::quality:
        return quality_cell(s.quality_ad, s.quality_eg, false);
    case Extra::note:
        return unplaced_cell(s, SampleColumn::label, &lab);
    case Extra::none:
        return unplaced_cell(s, c.shown, &lab);
    default:
        return {};
    }
}

ReportTable sample_table(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                         bool intervals, const LabCalibration& lab) {
    const std::vector<Column> columns = report_columns(intervals, converts_samples(lab));
    ReportTable table;
    table.key_columns = 2; // # and Name
    for (const Column& c : columns) {
        table.titles.push_back(column_title(c));
    }
    // Red: a doubtful width's cells, as the window's table draws them, and its doubts.
    const auto marked = [](const Column& c, const std::string& cell, std::string doubt) {
        return c.extra == Extra::quality ? !cell.empty() && cell != "ok"
                                         : c.extra == Extra::none && !doubt.empty();
    };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        table.rows.emplace_back();
        table.marked.emplace_back();
        for (const Column& c : columns) {
            table.rows.back().push_back(one_line(placed_cell(samples[i], i, c, lab)));
            table.marked.back().push_back(
                marked(c, table.rows.back().back(), sample_cell_doubt(samples[i], c.shown)));
        }
        table.greyed.push_back(false);
    }
    for (const UnplacedSample& s : unplaced) {
        table.rows.emplace_back();
        table.marked.emplace_back();
        for (const Column& c : columns) {
            table.rows.back().push_back(one_line(unplaced_report_cell(s, c, lab)));
            table.marked.back().push_back(
                marked(c, table.rows.back().back(), unplaced_cell_doubt(s, c.shown)));
        }
        table.greyed.push_back(true);
    }
    return table;
}

std::string switches_text(bool k, bool n, bool s, bool fp) {
    std::string text;
    for (const auto& [on, name] :
         {std::pair{k, "k"}, std::pair{n, "N"}, std::pair{s, "%S"}, std::pair{fp, "Nfp"}}) {
        if (on) {
            text += (text.empty() ? "" : ", ") + std::string(name);
        }
    }
    return text.empty() ? "none" : text;
}

std::vector<std::string> summary(const WindowSession& session, const DiagramScene& diagram,
                                 const std::vector<UnplacedSample>& unplaced) {
    std::vector<std::string> lines;
    std::string broadening = "Reichweite " + diagram.cal.name() + "; broadening rule " +
                             std::string(rule_name(session.broad_rule));
    if (session.broad_rule == kRuleTable) {
        broadening +=
            " (" + (session.cor_label.empty() ? "no table loaded" : session.cor_label) + ")";
    } else if (session.lab.profile) {
        broadening += "; " + broadening_source(session.lab);
    } else {
        broadening +=
            "; \"Instrumental Broadening\" " +
            (session.broadening_text.empty() ? "empty" : session.broadening_text + kDegrees);
    }
    lines.push_back(broadening + ".");
    std::size_t beyond = 0;
    for (const PlacedSample& s : diagram.samples) {
        beyond += s.beyond_range ? 1 : 0;
    }
    std::string counts = std::to_string(diagram.samples.size()) + " samples placed";
    if (!unplaced.empty()) {
        counts += ", " + std::to_string(unplaced.size()) + " not placed";
    }
    if (beyond > 0) {
        counts += ", " + std::to_string(beyond) + " " + kBeyondRange;
    }
    if (session.sigma > 0) {
        counts += "; σ " + bare_number_text(session.sigma) + kDegrees;
    }
    lines.push_back(counts + ".");
    const GridSwitches& g = session.grids_on;
    const IdenticalSwitches& i = session.identical_on;
    lines.push_back("Grid lines: " + switches_text(g.k, g.n, g.s, g.fp) +
                    "; identical lines: " + switches_text(i.k, i.n, i.s, i.fp) +
                    "; labels: " + std::string(labels_word(session.labels)) +
                    (session.ellipses ? "; uncertainty ellipses drawn." : "."));
    return lines;
}

std::vector<std::string> table_notes(bool intervals, const LabCalibration& lab) {
    std::string notes =
        "Widths in °2θ Cu Kα, as measured (typed or listed) and as placed (the broadening "
        "removed). Method: entered (typed or listed), click, or how the patterns were measured. "
        "Correction: the rule and b removed (geom. mean: " +
        std::string(rule_name(kRuleMixture)) + "). Doubtful widths in red.";
    if (intervals) {
        notes += " Intervals: over the region of the widths' u (the sample's own, else σ).";
    }
    if (converts_samples(lab)) {
        const auto judging = judging_limits(lab.cis->index, lab.limits);
        notes += " KI (CIS): of the AD width as measured, ± its u; zones " +
                 (judging ? limits_text(*judging) : std::string("not judged")) +
                 "; Near limit: the limits within u.";
    }
    return {notes};
}

ReportSection profile_section(const LabCalibration& lab) {
    const InstrumentProfile& p = *lab.profile;
    ReportSection section{"Instrument profile", {profile_state_text(lab) + "."}};
    section.lines.push_back("Standard: " + p.standard + ", SHA-256 " + p.sha256 + ".");
    const StatedSetup& setup = p.setup;
    std::string stated;
    const auto add = [&stated](const std::string& part) {
        stated += (stated.empty() ? "" : ", ") + part;
    };
    if (!setup.anode.empty()) {
        add(setup.anode + " anode");
    }
    if (setup.wavelength) {
        add("Kα1 " + format_fixed(*setup.wavelength, 5) + " Å");
    }
    if (setup.goniometer_radius) {
        add("radius " + bare_number_text(static_cast<float>(*setup.goniometer_radius)) + " mm");
    }
    if (!setup.divergence_slit.empty()) {
        add("divergence slit " + setup.divergence_slit);
    }
    if (!setup.receiving_slit.empty()) {
        add("receiving slit " + setup.receiving_slit);
    }
    if (!setup.date.empty()) {
        add("measured " + setup.date);
    }
    if (!stated.empty()) {
        section.lines.push_back("The standard's file states: " + stated + ".");
    }
    if (p.caglioti) {
        const CagliotiFit& c = *p.caglioti;
        section.lines.push_back(
            "From " + std::to_string(c.peaks.size()) +
            " peaks, FWHM² = U tan²θ + V tanθ + W: U = " + format_fixed(c.u, 6) + " (u " +
            format_fixed(c.u_u, 6) + "), V = " + format_fixed(c.v, 6) + " (u " +
            format_fixed(c.u_v, 6) + "), W = " + format_fixed(c.w, 6) + " (u " +
            format_fixed(c.u_w, 6) + ").");
    }
    if (!lab.profile_source.empty()) {
        section.lines.push_back("Read from " + lab.profile_source + ".");
    }
    return section;
}

void add_calibration(ReportDocument& doc, const LabCalibration& lab) {
    const CisCalibration& c = *lab.cis;
    ReportSection section{"CIS calibration", {cis_state_text(lab) + "."}};
    section.lines.push_back(
        "Intercept " + format_fixed(c.intercept, 4) + " (u " + format_fixed(c.u_intercept, 4) +
        "), slope " + format_fixed(c.slope, 4) + " (u " + format_fixed(c.u_slope, 4) +
        "), s = " + format_fixed(c.s, 4) + ", " + std::to_string(cis_degrees_of_freedom(c)) +
        " degrees of freedom (t95 = " + format_fixed(cis_t95(c), 2) + ").");
    section.lines.push_back("The standards were measured by " + c.method + ".");
    doc.calibration = std::move(section);
    ReportTable& t = doc.standards;
    t.titles = {"Standard", "FWHM", "u(FWHM)", "CIS value", "Residual", "Left out"};
    t.key_columns = 1;
    for (std::size_t i = 0; i < c.standards.size(); ++i) {
        const CisStandard& s = c.standards[i];
        const auto residual = [](const std::vector<double>& r, std::size_t at) {
            return at < r.size() ? format_fixed(r[at], 4) : std::string();
        };
        t.rows.push_back({s.name, format_fixed(s.fwhm, 4), format_fixed(s.u_fwhm, 4),
                          format_fixed(s.cis, 3), residual(c.residuals, i),
                          residual(c.loo_residuals, i)});
    }
    doc.cis = c;
    doc.cis_limits = judging_limits(c.index, lab.limits);
}

} // namespace

std::string report_date(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &local);
    return std::string(text.data(), length);
}

ReportDocument session_report(const WindowSession& session, const ReportStamp& stamp) {
    SessionScene scene = session_scene(session, true);
    const SampleList& samples = scene.diagram->samples;
    ReportDocument doc;
    doc.title = "Teravine report";
    doc.source = stamp.source;
    doc.stamp = "Teravine " + stamp.version + ", " + stamp.date;
    doc.summary = summary(session, *scene.diagram, scene.unplaced);
    // The interval columns when σ is set or any sample has its own interval, as Export CSV.
    const bool intervals =
        session.sigma > 0 || std::any_of(samples.begin(), samples.end(),
                                         [](const auto& s) { return s.uncertainty.has_value(); });
    doc.samples = sample_table(samples, scene.unplaced, intervals, session.lab);
    doc.sample_notes = table_notes(intervals, session.lab);
    if (session.lab.profile) {
        doc.profile = profile_section(session.lab);
    }
    if (session.lab.cis) {
        add_calibration(doc, session.lab);
    }
    add_measured_peaks(doc, samples);
    doc.diagram = std::move(scene.diagram);
    return doc;
}

} // namespace teravine
