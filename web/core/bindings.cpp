// SPDX-License-Identifier: GPL-3.0-or-later
// What JavaScript sees of the core: the window (`Terav` with its handlers, answered by the
// page through JsWindowServices and drawing on a DisplayListSurface) and the measuring
// of a pattern's peak. Files pass through the module's memory file system (FS).
#include "formats/read_pattern.h"
#include "page_window.h"
#include "peaks/width_method.h"
#include "text/number_text.h"
#include "text/text_file.h"

#include <emscripten/bind.h>

namespace teravine::web {

using emscripten::val;

// The peak of a pattern file measured as `teravine-cli measure` measures it, with the
// figures as it prints them; {error} when the file or its peak cannot be read.
val measure_pattern(const std::string& path, bool fit) {
    val result = val::object();
    const auto pattern = read_pattern_file(path);
    if (!pattern) {
        result.set("error", pattern.error());
        return result;
    }
    const WidthMethod method = fit ? WidthMethod::fitted() : WidthMethod();
    const auto reading = read_width(*pattern, {}, method);
    if (!reading) {
        result.set("error", reading.error());
        return result;
    }
    const PeakWidth& w = reading->width;
    result.set("position", format_fixed(w.position, 4));
    result.set("fwhm", width_text(w.fwhm));
    result.set("breadth", width_text(w.breadth));
    result.set("height", format_fixed(w.height, 1));
    result.set("u_fwhm", width_text(w.u_fwhm));
    result.set("method", reading->method);
    result.set("quality", w.quality);
    return result;
}

// Why the file at path, of this many bytes, is refused before it is read (as the readers
// of width files, sample lists, correction tables and sessions refuse it); "" when it is not.
std::string file_size_refusal(const std::string& path, double bytes) {
    return text_file_size_refusal(path, static_cast<std::uintmax_t>(bytes)).value_or("");
}

template <void (Terav::*handler)()> void run(PageWindow& window) {
    (window.terav().*handler)();
}

EMSCRIPTEN_BINDINGS(teravine_core) {
    using emscripten::class_;
    using emscripten::function;
    class_<PageWindow>("PageWindow")
        .constructor<val, val>()
        .function("takePictureCommands", &PageWindow::take_picture_commands)
        .function("sampleCount", &PageWindow::sample_count)
        .function("selectSamples", &PageWindow::select_samples)
        .function("table", &PageWindow::table)
        .function("Form_Load", &run<&Terav::Form_Load>)
        .function("Form_Resize", &run<&Terav::Form_Resize>)
        .function("Command1_Click", &run<&Terav::Command1_Click>)
        .function("pct1_Click", &run<&Terav::pct1_Click>)
        .function(
            "pct1_MouseMove",
            +[](PageWindow& w, float x, float y) { w.terav().pct1_MouseMove(x, y); })
        .function(
            "prof_option_Click",
            +[](PageWindow& w, int index) { w.terav().prof_option_Click(index); })
        .function("file_option_Click", &run<&Terav::file_option_Click>)
        .function("Tr_fi_Click", &run<&Terav::Tr_fi_Click>)
        .function("open_sample_list_Click", &run<&Terav::open_sample_list_Click>)
        .function(
            "beginTreatFile", +[](PageWindow& w) { return w.terav().begin_treat_file(); })
        .function(
            "beginSampleList", +[](PageWindow& w) { return w.terav().begin_sample_list(); })
        .function(
            "advanceTreatment",
            +[](PageWindow& w, int samples) {
                return w.terav().advance_treatment(static_cast<std::size_t>(samples));
            })
        .function(
            "treatmentProgress",
            +[](PageWindow& w) {
                const auto [done, total] = w.terav().treatment_progress();
                return val::array(
                    std::vector<int>{static_cast<int>(done), static_cast<int>(total)});
            })
        .function("save_session_Click", &run<&Terav::save_session_Click>)
        .function("open_session_Click", &run<&Terav::open_session_Click>)
        .function("export_table_Click", &run<&Terav::export_table_Click>)
        .function("exp_li_Click", &run<&Terav::exp_li_Click>)
        .function("save_picture_Click", &run<&Terav::save_picture_Click>)
        .function("netoye_Click", &run<&Terav::netoye_Click>)
        .function("Cl_p_Click", &run<&Terav::Cl_p_Click>)
        .function("remove_selected_Click", &run<&Terav::remove_selected_Click>)
        .function("undo_Click", &run<&Terav::undo_Click>)
        .function("R_0_Click", &run<&Terav::R_0_Click>)
        .function("R_1_Click", &run<&Terav::R_1_Click>)
        .function("R_3_Click", &run<&Terav::R_3_Click>)
        .function("C_k_Click", &run<&Terav::C_k_Click>)
        .function("C_N_Click", &run<&Terav::C_N_Click>)
        .function("C_perc_Click", &run<&Terav::C_perc_Click>)
        .function("c_inf_Click", &run<&Terav::c_inf_Click>)
        .function("Id_k_Click", &run<&Terav::Id_k_Click>)
        .function("Id_n_Click", &run<&Terav::Id_n_Click>)
        .function("Id_s_Click", &run<&Terav::Id_s_Click>)
        .function("Id_inf_Click", &run<&Terav::Id_inf_Click>)
        .function("ellipses_Click", &run<&Terav::ellipses_Click>)
        .function(
            "setSigma", +[](PageWindow& w, float sigma) { w.terav().set_sigma(sigma); })
        .function(
            "previewEntry", +[](PageWindow& w, const std::string& ad, const std::string& eg) {
                return w.terav().preview_entry(ad, eg);
            });
    function("measurePattern", &measure_pattern);
    function("fileSizeRefusal", &file_size_refusal);
}

} // namespace teravine::web
