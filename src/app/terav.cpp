// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/terav.h"

#include "app/action_status.h"
#include "app/busy_pointer.h"
#include "app/pointer_readout.h"
#include "app/sample_marking.h"
#include "diagram/draw_diagram.h"
#include "identify/identify_point.h"
#include "identify/width_entry.h"
#include "lines/const_lines.h"

#include <algorithm>
#include <clocale>
#include <filesystem>

namespace teravine {
namespace {

// Twips: the window's own measure, 1440 to the inch.
constexpr int kMinPictureSide = 5670; // 10 cm
constexpr WindowSize kSmallestWindow{7700, 6700};

// Where the label legy stands inside the picture, for the printed page (cm).
constexpr float kTwipsPerCm = 1440.0f / 2.54f;
constexpr float kLegyLeftCm = 120 / kTwipsPerCm;
constexpr float kLegyTopCm = 600 / kTwipsPerCm;

char locale_decimal() {
    const std::lconv* conv = std::localeconv();
    return conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0'
               ? conv->decimal_point[0]
               : '.';
}

// A measured sample is named after its air-dried pattern: "pit B ad" for
// "/data/pit B ad.raw".
std::string pattern_stem(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

} // namespace

Terav::Terav(WindowServices& services, Surface& picture) : services_(services), picture_(picture) {
    init_calibration(state_.cal);
}

// ---- start-up, redraw, quit ----------------------------------------------------------

void Terav::Form_Load() {
    state_.identical_on = IdenticalSwitches{};
    for (MenuItem item : {MenuItem::Id_k, MenuItem::Id_n, MenuItem::Id_s, MenuItem::Id_inf}) {
        show_check(item, false);
    }
    state_.samples.clear();
    state_.unplaced.clear();
    samples_reset();
    init_calibration(state_.cal);
    show_check(MenuItem::C_k, state_.grids_on.k);
    show_check(MenuItem::C_N, state_.grids_on.n);
    show_check(MenuItem::C_perc, state_.grids_on.s);
    show_check(MenuItem::c_inf, state_.grids_on.fp);
    show_check(MenuItem::R_0, true);
    show_check(MenuItem::R_1, false);
    show_check(MenuItem::R_3, false);
    state_.cal.reich = 1;
    load_reich();
    Form_Resize();
    services_.select_option(BroadeningOption::Mixture);
    prof_option_Click(kRuleMixture);
    services_.show_startup_display();
}

void Terav::Form_Resize() {
    const BusyPointer busy(services_, state_.samples.size());
    draw_diagram(picture_, state_.plot, true);
}

bool Terav::Form_QueryUnload() {
    return services_.ask_yes_no("Are you sure you want to quit!", "Message");
}

void Terav::close_form_Click() {
    if (Form_QueryUnload()) {
        services_.close_window();
    }
}

void Terav::fit_picture() {
    WindowSize inner = services_.inner_size();
    if (inner.width - 20 < kMinPictureSide || inner.height - 700 < kMinPictureSide) {
        services_.set_outer_size(kSmallestWindow);
        inner = services_.inner_size();
    }
    services_.set_picture_size({std::max(inner.width - 20, 1), std::max(inner.height - 700, 1)});
    picture_.clear();
    picture_.set_user_scale(0, 0, 15, 15);
}

void Terav::draw_diagram(Surface& surface, PlotWindow& plot, bool for_screen) {
    const bool on_screen = for_screen && !services_.minimised();
    if (on_screen) {
        fit_picture();
    }
    ::teravine::draw_diagram(surface, plot, state_.captions, content());
    if (for_screen) {
        services_.place_axis_captions(state_.captions.x_left, state_.captions.x_top);
        services_.picture_changed();
        mark_selected();
    }
}

// ---- "Edit" and "File" ---------------------------------------------------------------

void Terav::cop_clip_Click() {
    services_.copy_picture_to_clipboard();
}

void Terav::netoye_Click() {
    state_.samples.clear();
    state_.unplaced.clear();
    samples_reset();
    state_.grids_on = GridSwitches{true, false, false, false};
    show_check(MenuItem::C_k, true);
    show_check(MenuItem::C_N, false);
    show_check(MenuItem::C_perc, false);
    show_check(MenuItem::c_inf, false);
    Form_Resize();
}

void Terav::Cl_p_Click() {
    state_.samples.clear();
    state_.unplaced.clear();
    samples_reset();
    Form_Resize();
    services_.status("All samples cleared");
}

void Terav::Pr_Click() {
    if (!services_.show_print_dialog()) {
        return;
    }
    const BusyPointer busy(services_, state_.samples.size());
    Surface& page = services_.begin_print();
    // The page gets a layout of its own: the screen's stays what the pointer reads.
    PlotWindow page_plot = state_.plot;
    AxisCaptions page_captions = state_.captions;
    ::teravine::draw_diagram(page, page_plot, page_captions, content());
    // Paper has no labels: their captions are printed where they stand on screen.
    page.set_font_name("Arial");
    page.set_font_size(10);
    page.set_current(page_captions.x_left, page_captions.x_top);
    page.print_text(page_captions.x_text);
    page.set_current(kLegyLeftCm, kLegyTopCm);
    page.print_text(page_captions.y_text);
    services_.end_print();
}

void Terav::menu_about_Click() {
    services_.show_about_box();
}

// ---- helpers -----------------------------------------------------------------------

void Terav::show_check(MenuItem item, bool checked) {
    services_.set_checked(item, checked);
}

int Terav::dialog_open(const std::string& filter, std::string& path) {
    const FileChoice choice = services_.show_open(filter);
    if (choice.outcome == FileChoice::Outcome::Chosen) {
        path = choice.path;
        return 1;
    }
    if (choice.outcome == FileChoice::Outcome::Failed) {
        services_.message("File Error!\r" + choice.error);
    }
    return 0;
}

int Terav::dialog_save(const std::string& filter, std::string& path, std::string& title) {
    const FileChoice choice = services_.show_save(filter);
    if (choice.outcome == FileChoice::Outcome::Chosen) {
        path = choice.path;
        title = choice.title;
        return 1;
    }
    if (choice.outcome == FileChoice::Outcome::Failed) {
        services_.message("File Error!\r" + choice.error);
    }
    return 0;
}

// ---- the picture, typed widths, broadening -------------------------------------------

void Terav::pct1_MouseMove(float x, float y) {
    const auto readout = read_pointer(state_.plot, x, y);
    if (!readout) {
        services_.set_pointer(PointerShape::Arrow);
        return;
    }
    state_.current.iw_ad = readout->iw_ad;
    state_.current.iw_eg = readout->iw_eg;
    services_.set_caption(Caption::XYpos, readout->text);
    state_.current.pos_x = x;
    state_.current.pos_y = y;
    services_.set_pointer(PointerShape::Crosshair);
}

bool Terav::sample_list_full() const {
    return state_.samples.size() >= static_cast<std::size_t>(kMaxSamples);
}

void Terav::pct1_Click() {
    place_at_current({});
}

void Terav::place_at_current(const SampleOrigin& origin) {
    if (sample_list_full()) {
        services_.message(kSampleLimitMessage);
        return;
    }
    const std::size_t before = state_.samples.size();
    Identification found =
        identify_point(state_.cal, state_.line_tables, state_.current.iw_ad, state_.current.iw_eg);
    const std::string refused =
        found.placed ? std::string()
                     : not_placed_status(state_.current.iw_ad, state_.current.iw_eg, found,
                                         origin.measured ? origin.rule : kRuleMixture);
    keep_place(found.place);
    add_sample(std::move(found.placed), true, origin);
    if (state_.samples.size() > before) {
        measure_uncertainties(before, true);
        services_.status(placed_status(state_.samples.size(), state_.samples.back().record));
    } else {
        services_.status(refused);
    }
}

void Terav::keep_place(const KPlace& place) {
    if (place.inside()) {
        state_.interp = place.rec;
    }
    state_.current.iw_eg = place.eg;
}

void Terav::add_sample(std::optional<PlacedSample> placed, bool mark, const SampleOrigin& origin) {
    if (!placed) {
        return;
    }
    placed->origin = origin;
    const float range = state_.cal.range();
    placed->beyond_range = placed->record.iw_ad > range || placed->record.iw_eg > range;
    state_.samples.push_back(std::move(*placed));
    history_.placed();
    services_.samples_changed({SampleListChange::Kind::appended, {state_.samples.size() - 1}});
    if (!mark) {
        return;
    }
    mark_new_sample(
        picture_, state_.plot, state_.samples.back(), state_.identical_on, state_.current.pos_x,
        state_.current.pos_y,
        sample_label_text(state_.samples.back(), state_.samples.size() - 1, state_.labels));
    services_.picture_changed();
}

void Terav::set_current_point(float iw_ad, float iw_eg) {
    CurrentPoint& p = state_.current;
    p.iw_ad = iw_ad;
    p.iw_eg = iw_eg;
    p.pos_x = x_from_origin(state_.plot.xorig, state_.plot.xunit, iw_ad);
    p.pos_y = y_from_origin(state_.plot.yorig, state_.plot.yunit, iw_eg);
}

void Terav::place_current_point(float iw_ad, float iw_eg, const SampleOrigin& origin) {
    set_current_point(iw_ad, iw_eg);
    place_at_current(origin);
}

void Terav::place_identified(float iw_ad, float iw_eg, Identification& found, bool mark,
                             const SampleOrigin& origin) {
    set_current_point(iw_ad, iw_eg);
    if (sample_list_full()) {
        services_.message(kSampleLimitMessage);
        return;
    }
    keep_place(found.place);
    add_sample(std::move(found.placed), mark, origin);
}

void Terav::Command1_Click() {
    const WidthEntry entry =
        check_width_entry(services_.text(TextBox::Broad), services_.text(TextBox::Xls),
                          services_.text(TextBox::Yls), state_.cal.range(), locale_decimal());
    if (entry.problem != EntryProblem::None) {
        services_.message(entry_message(entry.problem));
        if (entry.problem == EntryProblem::BadBroadeningText) {
            services_.set_text(TextBox::Broad, "");
        }
        return;
    }
    float ad = entry.ad;
    float eg = entry.eg;
    const Broadening& br = state_.broadening;
    remove_inst_from_pair(ad, eg, entry.broadening, br.broad_rule, br.cor);
    SampleOrigin origin;
    origin.ad = entry.ad;
    origin.eg = entry.eg;
    origin.broadening = entry.broadening;
    origin.rule = br.broad_rule;
    origin.measured = true;
    // Widths typed over the measured ones are no longer the measurement's.
    if (box_measurement_ && box_measurement_->ad_text == services_.text(TextBox::Xls) &&
        box_measurement_->eg_text == services_.text(TextBox::Yls)) {
        origin.measurement = box_measurement_->measurement;
        origin.n_profile = box_measurement_->n_profile;
        origin.name = pattern_stem(origin.measurement->ad.path);
        take_measured_uncertainties(origin);
    } else {
        box_measurement_.reset();
    }
    place_current_point(ad, eg, origin);
}

void Terav::use_measurement(const Measurement& measurement, std::optional<float> n_profile) {
    box_measurement_ = BoxMeasurement{measurement, n_profile, services_.text(TextBox::Xls),
                                      services_.text(TextBox::Yls)};
}

std::optional<float> Terav::typed_broadening() const {
    const auto b = parse_box_number(services_.text(TextBox::Broad), locale_decimal());
    return b && *b >= 0 ? b : std::nullopt;
}

std::string Terav::preview_entry(const std::string& ad_text, const std::string& eg_text) const {
    const WidthEntry entry = check_width_entry(services_.text(TextBox::Broad), ad_text, eg_text,
                                               state_.cal.range(), locale_decimal());
    if (entry.problem != EntryProblem::None) {
        return entry_message(entry.problem);
    }
    float ad = entry.ad;
    float eg = entry.eg;
    const Broadening& br = state_.broadening;
    remove_inst_from_pair(ad, eg, entry.broadening, br.broad_rule, br.cor);
    const Identification found = identify_point(state_.cal, state_.line_tables, ad, eg);
    if (!found.placed) {
        return not_placed_status(ad, eg, found, br.broad_rule);
    }
    return preview_status(found.placed->record);
}

void Terav::prof_option_Click(int index) {
    state_.broadening.broad_rule = static_cast<std::int16_t>(index);
}

} // namespace teravine
