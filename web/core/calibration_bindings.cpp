// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Calibration…" in the page: the instrument profile made from a standard's pattern,
// the CIS standards measured or typed and fitted, and the zone limits, through the same
// Terav handlers and toolkit-free code as the window's dialog; the calibration's figure is
// drawn as a display list for the page's canvas.
#include "app/lab_calibration.h"
#include "diagram/cis_drawing.h"
#include "page_window.h"
#include "peaks/width_method_choice.h"
#include "standards/calibration_method.h"
#include "standards/cis_standards.h"
#include "standards/cis_zones.h"
#include "standards/instrument_measure.h"
#include "text/number_text.h"
#include "working_folder.h"

#include <emscripten/bind.h>

#include <algorithm>

namespace teravine::web {
namespace {

CisIndex index_of(int index) {
    return index == 0 ? CisIndex::kubler : CisIndex::arkai;
}

val measured_row(const StandardWidth& standard) {
    const PeakWidth& width = standard.width;
    val row = val::object();
    row.set("alpha2Ratio", standard.alpha2_ratio ? val(*standard.alpha2_ratio) : val::null());
    row.set("scanNote", standard.scan_note);
    row.set("fwhm", width.fwhm);
    row.set("u", width.u_fwhm);
    row.set("fwhmText", width_text(width.fwhm));
    row.set("uText", width_text(width.u_fwhm));
    row.set("quality", width.quality);
    return row;
}

} // namespace

class PageCalibration {
public:
    PageCalibration(PageWindow& window, val measure)
        : window_(window), measure_(measure), figure_(measure) {}

    // "Make from Standard's Pattern…": the standard's 001 measured in lo..hi by the method
    // chosen (a fit with the Kα2 ratio of the box, below 0 the file's own), made the profile
    // in use. {error} when it cannot be; {doubtful} with the
    // reasons of a doubtful width.
    val make_profile(const std::string& folder, const std::string& name, int method, double ratio,
                     double lo, double hi) {
        val out = val::object();
        const auto chosen = alpha2_ratio_choice(ratio);
        if (!chosen) {
            out.set("error", chosen.error());
            return out;
        }
        InstrumentRequest request;
        request.range = {lo, hi};
        request.method = width_method_choice(static_cast<std::size_t>(std::max(method, 0)));
        PatternChoice choice;
        choice.how_to_choose = kStandardScanChoice;
        choice.alpha2_ratio = *chosen;
        auto made =
            in_folder(folder, [&] { return measure_instrument_file(name, choice, request); });
        if (!made) {
            out.set("error", made.error());
            return out;
        }
        const std::string quality =
            made->peaks.empty() ? std::string("ok") : made->peaks.front().width.quality;
        out.set("doubtful", quality == "ok" ? std::string() : "Doubtful: " + quality);
        out.set("scanNote", made->scan_note);
        window_.terav().use_instrument_profile(std::move(made->profile), name);
        return out;
    }

    // "Add Pattern…": a CIS standard's peak measured in lo..hi; {error} when it cannot be.
    val measure_standard(const std::string& folder, const std::string& name, int method,
                         double ratio, double lo, double hi) {
        const WidthMethod how = width_method_choice(static_cast<std::size_t>(std::max(method, 0)));
        const auto chosen = alpha2_ratio_choice(ratio);
        const auto width =
            chosen ? in_folder(folder,
                               [&] {
                                   return teravine::measure_standard(name, {lo, hi}, how, *chosen);
                               })
                   : Outcome<StandardWidth>(Failure{chosen.error()});
        if (!width) {
            val out = val::object();
            out.set("error", width.error());
            return out;
        }
        return measured_row(*width);
    }

    // "Fit and Use" on the rows, each {name, certified, fwhm (as shown), measured and
    // certifiedMeasured (the figures in full of a calibration listed, or null), u}, their
    // peak measured in lo..hi; false when they give no calibration (the reason said through
    // the window's message).
    bool fit(const val& rows, int index, int method, double lo, double hi) {
        std::vector<StandardRow> standards;
        const int count = rows["length"].as<int>();
        for (int i = 0; i < count; ++i) {
            const val row = rows[i];
            StandardRow r;
            r.name = row["name"].as<std::string>();
            r.certified = row["certified"].as<std::string>();
            r.fwhm = row["fwhm"].as<std::string>();
            if (row["measured"].isNumber()) {
                r.fwhm = measured_cell_text(r.fwhm, row["measured"].as<double>());
            }
            if (row["certifiedMeasured"].isNumber()) {
                r.certified =
                    measured_cell_text(r.certified, row["certifiedMeasured"].as<double>());
            }
            r.u_fwhm = row["u"].isNumber() ? row["u"].as<double>() : 0;
            // A FWHM typed over the measured one was not taken by that fit.
            if (row["alpha2Ratio"].isNumber() && row["measured"].isNumber() &&
                row["fwhm"].as<std::string>() == width_text(row["measured"].as<double>())) {
                r.alpha2_ratio = row["alpha2Ratio"].as<double>();
            }
            standards.push_back(std::move(r));
        }
        const std::size_t choice = static_cast<std::size_t>(std::max(method, 0));
        return window_.terav().fit_cis_calibration(standards, index_of(index),
                                                   width_method_choice(choice), {lo, hi});
    }

    // The zone limits: "2015", "1994", or "own" with lower and upper; the refusal's text,
    // or empty.
    std::string set_limits(const std::string& scheme, double lower, double upper) {
        const std::string text =
            scheme == "own" ? width_text(lower) + ":" + width_text(upper) : scheme;
        const auto chosen = parse_zone_limits(text);
        if (!chosen) {
            return chosen.error();
        }
        window_.terav().set_zone_limits(*chosen);
        return {};
    }

    void stop_profile() { window_.terav().stop_instrument_profile(); }
    void stop_cis() { window_.terav().stop_cis_calibration(); }
    void open_profile() { window_.terav().open_instrument_profile_Click(); }
    void save_profile() { window_.terav().save_instrument_profile_Click(); }
    void open_cis() { window_.terav().open_cis_calibration_Click(); }
    void save_cis() { window_.terav().save_cis_calibration_Click(); }

    // What the dialog shows of the window's calibration.
    val state() const {
        const LabCalibration& lab = window_.terav().state().lab;
        val out = val::object();
        out.set("profile", profile_state_text(lab));
        out.set("cis", cis_state_text(lab));
        out.set("hasProfile", lab.profile.has_value());
        out.set("hasCis", lab.cis.has_value());
        out.set("scheme", lab.limits.scheme);
        out.set("lower", lab.limits.lower);
        out.set("upper", lab.limits.upper);
        if (lab.cis) {
            out.set("index", lab.cis->index == CisIndex::kubler ? 0 : 1);
            val standards = val::array();
            for (std::size_t i = 0; i < lab.cis->standards.size(); ++i) {
                const CisStandard& st = lab.cis->standards[i];
                val row = val::object();
                row.set("name", st.name);
                row.set("certified", st.cis);
                row.set("certifiedText", width_text(st.cis));
                row.set("fwhm", st.fwhm);
                row.set("fwhmText", width_text(st.fwhm));
                row.set("u", st.u_fwhm);
                row.set("uText", st.u_fwhm > 0 ? width_text(st.u_fwhm) : std::string());
                standards.set(i, row);
            }
            out.set("standards", standards);
        }
        return out;
    }

    // The calibration's figure on a canvas of width x height pixels; no commands without a
    // calibration.
    val figure(int width, int height) {
        const LabCalibration& lab = window_.terav().state().lab;
        figure_.set_pixel_size(width, height);
        figure_.set_user_scale(0, 0, static_cast<float>(width), static_cast<float>(height));
        if (lab.cis) {
            figure_.clear();
            draw_cis_figure(figure_, *lab.cis, lab.limits,
                            {0, 0, static_cast<double>(width), static_cast<double>(height)});
        }
        return figure_.take_commands();
    }

    // "Save Figure…": the calibration's figure as the window writes it; null without one.
    val figure_file() const {
        const LabCalibration& lab = window_.terav().state().lab;
        if (!lab.cis) {
            return val::null();
        }
        return DisplayListSurface::figure_file(
            measure_, kCisFigureWidth, kCisFigureHeight, [&](Surface& surface) {
                surface.clear();
                draw_cis_figure(surface, *lab.cis, lab.limits,
                                {0, 0, kCisFigureWidth, kCisFigureHeight});
            });
    }

private:
    PageWindow& window_;
    val measure_;
    DisplayListSurface figure_;
};

// The published CIS value of a standard for the index, with three decimals; empty
// for a name not known.
std::string published_value(const std::string& name, int index) {
    const auto known = certified_value(name, index_of(index));
    return known ? format_fixed(*known, 3) : std::string();
}

// Where the index's peak is measured: [lo, hi].
val index_range(int index) {
    const PeakRange range = index_peak_range(index_of(index));
    val out = val::array();
    out.set(0, range.lo);
    out.set(1, range.hi);
    return out;
}

val standard_range() {
    val out = val::array();
    out.set(0, kStandardRange.lo);
    out.set(1, kStandardRange.hi);
    return out;
}

EMSCRIPTEN_BINDINGS(teravine_calibration) {
    using emscripten::class_;
    using emscripten::function;
    class_<PageCalibration>("PageCalibration")
        .constructor<PageWindow&, val>()
        .function("makeProfile", &PageCalibration::make_profile)
        .function("measureStandard", &PageCalibration::measure_standard)
        .function("fit", &PageCalibration::fit)
        .function("setLimits", &PageCalibration::set_limits)
        .function("stopProfile", &PageCalibration::stop_profile)
        .function("stopCis", &PageCalibration::stop_cis)
        .function("open_instrument_profile_Click", &PageCalibration::open_profile)
        .function("save_instrument_profile_Click", &PageCalibration::save_profile)
        .function("open_cis_calibration_Click", &PageCalibration::open_cis)
        .function("save_cis_calibration_Click", &PageCalibration::save_cis)
        .function("state", &PageCalibration::state)
        .function("figure", &PageCalibration::figure)
        .function("figureFile", &PageCalibration::figure_file);
    function("publishedValue", &published_value);
    function("indexRange", &index_range);
    function("standardRange", &standard_range);
}

} // namespace teravine::web
