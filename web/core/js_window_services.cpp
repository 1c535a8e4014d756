// SPDX-License-Identifier: GPL-3.0-or-later
#include "js_window_services.h"

#include "diagram/diagram_picture.h"

namespace teravine::web {

using emscripten::val;

namespace {

const char* box_name(TextBox box) {
    switch (box) {
    case TextBox::Broad:
        return "Broad";
    case TextBox::Xls:
        return "Xls";
    case TextBox::Yls:
        return "Yls";
    }
    return "";
}

const char* item_name(MenuItem item) {
    static const char* const names[] = {"R_0",   "R_1",  "R_3",  "C_k",  "C_N",    "C_perc",
                                        "c_inf", "Id_k", "Id_n", "Id_s", "Id_inf", "ellipses"};
    return names[static_cast<int>(item)];
}

} // namespace

// The page's pixels are the screen's: 15 twips each.
constexpr int kTwipsPerPixel = 15;

JsWindowServices::JsWindowServices(val page, val measure, DisplayListSurface& picture)
    : page_(std::move(page)), measure_(measure), picture_(picture),
      print_page_(std::move(measure)) {}

template <class... Args> val JsWindowServices::call(const char* method, Args&&... args) const {
    if (page_[method].isUndefined()) {
        return val::undefined();
    }
    return page_.call<val>(method, std::forward<Args>(args)...);
}

void JsWindowServices::message(const std::string& text) {
    call("message", text);
}

bool JsWindowServices::ask_yes_no(const std::string& text, const std::string& title) {
    const val answer = call("askYesNo", text, title);
    return answer.isTrue();
}

FileChoice JsWindowServices::file_choice(const val& answer) const {
    FileChoice choice;
    if (answer.isUndefined() || answer.isNull()) {
        return choice; // cancelled
    }
    if (!answer["error"].isUndefined()) {
        choice.outcome = FileChoice::Outcome::Failed;
        choice.error = answer["error"].as<std::string>();
        return choice;
    }
    choice.outcome = FileChoice::Outcome::Chosen;
    choice.path = answer["path"].as<std::string>();
    choice.title = answer["title"].as<std::string>();
    return choice;
}

FileChoice JsWindowServices::show_open(const std::string& filter) {
    return file_choice(call("showOpen", filter));
}

FileChoice JsWindowServices::show_save(const std::string& filter) {
    return file_choice(call("showSave", filter));
}

bool JsWindowServices::show_print_dialog() {
    return call("showPrintDialog").isTrue();
}

Surface& JsWindowServices::begin_print() {
    const val size = call("printPageSize"); // pixels of the printed page
    if (!size.isUndefined()) {
        print_page_.set_pixel_size(size[0].as<int>(), size[1].as<int>());
    }
    print_page_.take_commands();
    return print_page_;
}

void JsWindowServices::end_print() {
    call("endPrint", print_page_.take_commands());
}

void JsWindowServices::copy_picture_to_clipboard() {
    call("copyPicture");
}

void JsWindowServices::set_window_caption(const std::string& text) {
    call("setWindowCaption", text);
}

void JsWindowServices::set_caption(Caption label, const std::string& text) {
    call("setCaption", std::string(label == Caption::XYpos ? "XYpos" : "label_file"), text);
}

std::string JsWindowServices::text(TextBox box) const {
    const val answer = call("text", std::string(box_name(box)));
    return answer.isString() ? answer.as<std::string>() : std::string();
}

void JsWindowServices::set_text(TextBox box, const std::string& text) {
    call("setText", std::string(box_name(box)), text);
}

void JsWindowServices::set_checked(MenuItem item, bool checked) {
    call("setChecked", std::string(item_name(item)), checked);
}

void JsWindowServices::select_option(BroadeningOption option) {
    call("selectOption", static_cast<int>(option));
}

WindowSize JsWindowServices::inner_size() const {
    const val size = call("innerSize"); // twips
    if (size.isUndefined()) {
        return {};
    }
    return {size[0].as<int>(), size[1].as<int>()};
}

void JsWindowServices::set_outer_size(WindowSize size) {
    call("setOuterSize", size.width, size.height);
}

void JsWindowServices::set_picture_size(WindowSize size) {
    picture_.set_pixel_size(size.width / kTwipsPerPixel, size.height / kTwipsPerPixel);
    call("setPictureSize", picture_.pixel_width(), picture_.pixel_height());
}

void JsWindowServices::place_axis_captions(float legx_left, float legx_top) {
    call("placeAxisCaptions", legx_left, legx_top);
}

void JsWindowServices::picture_changed() {
    call("pictureChanged");
}

// The page's answer: {path, caption, pixels} (the file's suffix names SVG or PNG), or
// nothing when cancelled.
std::optional<PictureRequest> JsWindowServices::ask_picture_file() {
    const val answer = call("askPicture");
    if (answer.isUndefined() || answer.isNull()) {
        return std::nullopt;
    }
    PictureRequest request;
    request.path = answer["path"].as<std::string>();
    request.caption = answer["caption"].isTrue();
    const int pixels =
        answer["pixels"].isNumber() ? answer["pixels"].as<int>() : picture_.pixel_width();
    request.size = FigureSize{pixels, pixels, kScreenDpi};
    return request;
}

// The picture drawn as the window's saved pictures are, into a display list the page turns
// into the file; the page's complaint when it could not.
std::optional<std::string> JsWindowServices::write_picture(const DiagramContent& content,
                                                           const WorldWindow& world,
                                                           const PictureRequest& request) {
    if (const auto problem = figure_size_problem(request.size)) {
        return problem;
    }
    DisplayListSurface figure(measure_);
    figure.set_pixel_size(request.size.width, request.size.height);
    PlotWindow plot;
    static_cast<WorldWindow&>(plot) = world;
    AxisCaptions captions;
    draw_diagram_picture(figure, request.size.width, content, plot, captions);
    const val failure = call("writePicture", request.path, figure.take_commands(),
                             request.size.width, request.size.height);
    if (failure.isString()) {
        return failure.as<std::string>();
    }
    return std::nullopt;
}

void JsWindowServices::samples_changed(const SampleListChange& change) {
    static const char* const kinds[] = {"appended", "inserted", "removed", "reset"};
    std::vector<int> rows(change.rows.begin(), change.rows.end());
    call("samplesChanged", std::string(kinds[static_cast<int>(change.kind)]), val::array(rows));
}

void JsWindowServices::mark_samples(const std::vector<PicturePoint>& points) {
    std::vector<float> xy;
    for (const PicturePoint& p : points) {
        xy.push_back(p.x);
        xy.push_back(p.y);
    }
    call("markSamples", val::array(xy));
}

void JsWindowServices::calibration_changed() {
    call("calibrationChanged");
}

void JsWindowServices::session_opened() {
    call("sessionOpened");
}

void JsWindowServices::status(const std::string& text) {
    call("status", text);
}

void JsWindowServices::set_pointer(PointerShape shape) {
    call("setPointer", std::string(shape == PointerShape::Crosshair ? "crosshair" : "default"));
}

void JsWindowServices::set_busy(bool busy) {
    call("setBusy", busy);
}

void JsWindowServices::show_about_box() {
    call("showAbout");
}

} // namespace teravine::web
