// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Measure Patterns…" in the page: the window's measuring session (MeasureSession)
// driven from JavaScript, its two peak plots drawn as display lists for the page's
// canvases, and "Use widths" / "Use and Draw" as the window's dialog has them. While an
// instrument profile is in use, the air-dried pattern's thickness distribution
// (ProfileThickness) is analysed with the standard's pattern found among the page's files:
// the page asks for the analysis, shows "Analysing…", and only then lets it run, as the page
// has one thread.
#include "app/measure_session.h"
#include "app/profile_thickness.h"
#include "diagram/peak_drawing.h"
#include "diagram/thickness_drawing.h"
#include "formats/anode.h"
#include "formats/read_pattern.h"
#include "page_window.h"
#include "peaks/width_method_choice.h"
#include "text/number_text.h"
#include "working_folder.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace teravine::web {
namespace {

PatternSide side_of(int side) {
    return side == 0 ? PatternSide::AirDried : PatternSide::Glycolated;
}

std::string degrees(const std::optional<PeakWidth>& width, double PeakWidth::*figure) {
    return width ? width_text((*width).*figure) + "°" : "–";
}

val strings(const std::vector<std::string>& texts) {
    val out = val::array();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out.set(i, texts[i]);
    }
    return out;
}

// Where the file the user offers as the standard's pattern is kept, by its name alone.
constexpr const char* kStandardFolder = "/in/standard";

} // namespace

class PageMeasure {
public:
    PageMeasure(PageWindow& window, val measure)
        : window_(window), session_(window.services(), &window.terav().state().lab),
          thickness_(&window.terav().state().lab),
          measure_(measure), plots_{DisplayListSurface(measure), DisplayListSurface(measure)},
          distribution_(measure) {}

    // Reads `name` within `folder` and measures it; the half shows the reader's message
    // when it cannot be read.
    void open(int side, const std::string& folder, const std::string& name) {
        in_folder(folder, [&] {
            session_.open(side_of(side), name);
            return true;
        });
    }
    bool choose_scan(int side, int scan) {
        return scan >= 0 && session_.choose_scan(side_of(side), static_cast<std::size_t>(scan));
    }
    bool choose_anode(int side, const std::string& anode) {
        return session_.choose_anode(side_of(side), anode);
    }
    bool set_range(double lo, double hi) { return session_.set_range({lo, hi}); }
    void reset_range() { session_.reset_range(); }
    void set_method(int choice, int components) {
        session_.set_method(
            width_method_choice(static_cast<std::size_t>(std::max(choice, 0)), components));
    }
    void set_log_counts(bool on) { session_.set_log_counts(on); }
    // A session opened: measure as its latest measured pair was measured.
    void measure_latest() {
        if (const auto latest = window_.terav().latest_measurement()) {
            session_.measure_like(*latest);
        }
    }
    // A fit's Kα2 ratio, 0 to 1; below 0 each file's own, else 0.5.
    bool set_alpha2_ratio(double ratio) {
        const auto chosen = alpha2_ratio_choice(ratio);
        return chosen && session_.set_alpha2_ratio(*chosen);
    }

    // The air-dried pattern's thickness to analyse anew, as the session now stands: true while
    // an analysis waits for analyse(), the page showing "Analysing…" meanwhile.
    bool request_analysis() {
        // Beyond where the window looks (beside the profile, the session, the file pointed
        // at): every file of the page of the standard's name.
        thickness_.look_also(page_files_named(thickness_.standard_name()));
        if (auto request = thickness_.request(session_)) {
            pending_ = std::move(*request);
        } else if (!thickness_.analysing()) {
            pending_.reset(); // superseded by nothing to analyse
        }
        return pending_.has_value();
    }
    // Runs the analysis waiting, if any (a few hundred milliseconds with the resampling);
    // true when there was one.
    bool analyse() {
        if (!pending_) {
            return false;
        }
        const ThicknessRequest request = std::move(*pending_);
        pending_.reset();
        // The file offered as the standard is named by its name alone within its folder.
        thickness_.take(
            in_folder(kStandardFolder, [&] { return ProfileThickness::analyse(request); }));
        return true;
    }
    // The file the user offered as the standard's pattern, `name` in the standard's folder.
    void point_to_standard(const std::string& name) { thickness_.point_to(name); }

    // Everything the page shows of the session.
    val state() const {
        val out = val::object();
        val halves = val::array();
        for (const PatternSide side : {PatternSide::AirDried, PatternSide::Glycolated}) {
            const MeasuredHalf& m = session_.half(side);
            const Pattern* pattern = m.pattern();
            const bool stated = pattern != nullptr && m.states_wavelength[m.scan];
            const std::string anode = session_.anode(side);
            val half = val::object();
            half.set("file", m.path);
            half.set("scans", strings(session_.scan_names(side)));
            half.set("scan", static_cast<int>(m.scan));
            half.set("anodeChoice", pattern != nullptr && !stated);
            half.set("anode", anode.empty() && !stated ? std::string("Cu") : anode);
            half.set("position", degrees(m.width, &PeakWidth::position));
            half.set("fwhm", degrees(m.width, &PeakWidth::fwhm));
            half.set("breadth", degrees(m.width, &PeakWidth::breadth));
            half.set("u_fwhm", degrees(m.width, &PeakWidth::u_fwhm));
            half.set("width", m.width ? session_.box_text(side) : std::string());
            half.set("quality", session_.quality(side));
            half.set("message", session_.message(side));
            half.set("countNote", session_.count_note(side));
            halves.set(static_cast<int>(side), half);
        }
        out.set("halves", halves);
        out.set("lo", format_fixed(session_.range().lo, 2));
        out.set("hi", format_fixed(session_.range().hi, 2));
        out.set("fits", session_.method().fits());
        out.set("method", session_.method().name());
        out.set("methodIndex", static_cast<int>(width_method_index(session_.method())));
        out.set("components", session_.method().options().components);
        const auto& ratio = session_.alpha2_ratio();
        out.set("alpha2Ratio", ratio ? width_text(*ratio) : std::string());
        out.set("thickness", thickness_state());
        // The sample placed takes the thickness along: the widths wait for it.
        const bool ready = session_.widths_ready() && !thickness_.analysing();
        out.set("ready", ready);
        out.set("preview", ready ? "With the rule and broadening of the window: " +
                                       window_.terav().preview_entry(
                                           session_.box_text(PatternSide::AirDried),
                                           session_.box_text(PatternSide::Glycolated))
                                 : std::string());
        out.set("calibrationNote", session_.calibration_note());
        return out;
    }

    // The plot of `side` on a canvas of width x height pixels, as drawing commands.
    val plot(int side, int width, int height) {
        DisplayListSurface& surface = plots_[side == 0 ? 0 : 1];
        surface.set_pixel_size(width, height);
        surface.set_user_scale(0, 0, static_cast<float>(width), static_cast<float>(height));
        surface.clear();
        draw_peak_panel(surface, session_.panel(side_of(side)),
                        {0, 0, static_cast<double>(width), static_cast<double>(height)});
        return surface.take_commands();
    }

    // The distribution of the stacks on a canvas of width x height pixels, as drawing commands.
    val distribution(int width, int height) {
        distribution_.set_pixel_size(width, height);
        distribution_.set_user_scale(0, 0, static_cast<float>(width), static_cast<float>(height));
        distribution_.clear();
        const auto& result = thickness_.result();
        draw_distribution_panel(distribution_, result ? &*result : nullptr, thickness_.analysing(),
                                width, height);
        return distribution_.take_commands();
    }

    // "Save Figure…": both peaks side by side, as the window's dialog writes them.
    val figure() const {
        const std::vector<PeakPanel> panels{session_.panel(PatternSide::AirDried),
                                            session_.panel(PatternSide::Glycolated)};
        return DisplayListSurface::figure_file(
            measure_, kPeakPanelWidth * static_cast<double>(panels.size()), kPeakPanelHeight,
            [&](Surface& surface) { draw_peak_figure(surface, panels); });
    }

    // "Use widths": the two widths into the window's boxes, with what they were measured
    // on for the sample that "Draw" places; false, and nothing written, unless both are
    // measured.
    bool use_widths() {
        if (!session_.use_widths()) {
            return false;
        }
        if (const auto measured = session_.measurement()) {
            window_.terav().use_measurement(*measured, thickness_.n_profile());
        }
        return true;
    }
    // "Use and Draw".
    bool use_and_draw() {
        if (!use_widths()) {
            return false;
        }
        window_.terav().Command1_Click();
        return true;
    }

private:
    // What the page shows of the thickness: {shown, readout, problem, asks, standard, tip}.
    val thickness_state() const {
        val out = val::object();
        out.set("shown", thickness_.shown());
        out.set("readout", thickness_.readout());
        out.set("problem", thickness_.problem());
        out.set("asks", thickness_.asks_for_standard());
        out.set("standard", thickness_.standard_name());
        out.set("tip", thickness_.distribution_tip());
        return out;
    }

    PageWindow& window_;
    MeasureSession session_;
    ProfileThickness thickness_;
    std::optional<ThicknessRequest> pending_;
    val measure_;
    std::array<DisplayListSurface, 2> plots_;
    DisplayListSurface distribution_;
};

// The reader's refusal of a pattern of that many bytes, said before its bytes are read;
// empty for one that may be read.
std::string pattern_size_problem(const std::string& name, double bytes) {
    return pattern_size_refusal(name, static_cast<std::uintmax_t>(bytes)).value_or("");
}

val width_method_caption_list() {
    return strings(width_method_captions());
}

// Whether the method of the caption at `index` fits, and so takes a Kα2 ratio.
bool width_method_fits(int index) {
    return width_method_choice(static_cast<std::size_t>(std::max(index, 0))).fits();
}

val anode_list() {
    std::vector<std::string> symbols;
    for (const AnodeLines& anode : known_anodes()) {
        symbols.emplace_back(anode.symbol);
    }
    return strings(symbols);
}

EMSCRIPTEN_BINDINGS(teravine_measure) {
    using emscripten::class_;
    using emscripten::function;
    class_<PageMeasure>("PageMeasure")
        .constructor<PageWindow&, val>()
        .function("open", &PageMeasure::open)
        .function("chooseScan", &PageMeasure::choose_scan)
        .function("chooseAnode", &PageMeasure::choose_anode)
        .function("setRange", &PageMeasure::set_range)
        .function("resetRange", &PageMeasure::reset_range)
        .function("setMethod", &PageMeasure::set_method)
        .function("setLogCounts", &PageMeasure::set_log_counts)
        .function("setAlpha2Ratio", &PageMeasure::set_alpha2_ratio)
        .function("measureLatest", &PageMeasure::measure_latest)
        .function("state", &PageMeasure::state)
        .function("plot", &PageMeasure::plot)
        .function("requestAnalysis", &PageMeasure::request_analysis)
        .function("analyse", &PageMeasure::analyse)
        .function("pointToStandard", &PageMeasure::point_to_standard)
        .function("distribution", &PageMeasure::distribution)
        .function("figure", &PageMeasure::figure)
        .function("useWidths", &PageMeasure::use_widths)
        .function("useAndDraw", &PageMeasure::use_and_draw);
    function("widthMethodCaptions", &width_method_caption_list);
    function("widthMethodFits", &width_method_fits);
    function("anodes", &anode_list);
    function("patternSizeProblem", &pattern_size_problem);
}

} // namespace teravine::web
