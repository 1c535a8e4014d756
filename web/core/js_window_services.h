// SPDX-License-Identifier: GPL-3.0-or-later
// The window's services answered by the page: every call goes to the method of the same
// meaning on a JavaScript object (named in js_window_services.cpp). Files live in the
// module's memory file system: the page writes a file the user chose there before the
// handler asks for it, and offers what a handler wrote there as a download.
#pragma once

#include "app/window_services.h"
#include "display_list_surface.h"

#include <emscripten/val.h>

namespace teravine::web {

class JsWindowServices : public WindowServices {
public:
    // `picture` is the window's picture: it takes the size the handlers give it.
    JsWindowServices(emscripten::val page, emscripten::val measure, DisplayListSurface& picture);

    void message(const std::string& text) override;
    bool ask_yes_no(const std::string& text, const std::string& title) override;
    FileChoice show_open(const std::string& filter) override;
    FileChoice show_save(const std::string& filter) override;
    bool show_print_dialog() override;
    Surface& begin_print() override;
    void end_print() override;
    void copy_picture_to_clipboard() override;
    void set_window_caption(const std::string& text) override;
    void set_caption(Caption label, const std::string& text) override;
    std::string text(TextBox box) const override;
    void set_text(TextBox box, const std::string& text) override;
    void set_checked(MenuItem item, bool checked) override;
    void select_option(BroadeningOption option) override;
    WindowSize inner_size() const override;
    void set_outer_size(WindowSize size) override;
    bool minimised() const override { return false; }
    void set_picture_size(WindowSize size) override;
    void place_axis_captions(float legx_left, float legx_top) override;
    void picture_changed() override;
    std::optional<PictureRequest> ask_picture_file() override;
    std::optional<std::string> write_picture(const DiagramContent& content,
                                             const WorldWindow& world,
                                             const PictureRequest& request) override;
    void samples_changed(const SampleListChange& change) override;
    void mark_samples(const std::vector<PicturePoint>& points) override;
    void calibration_changed() override;
    void session_opened() override;
    void status(const std::string& text) override;
    void set_pointer(PointerShape shape) override;
    void set_busy(bool busy) override;
    void show_startup_display() override {}
    void show_about_box() override;
    void close_window() override {}

private:
    // Calls the page's method when it has one; undefined otherwise.
    template <class... Args> emscripten::val call(const char* method, Args&&... args) const;
    FileChoice file_choice(const emscripten::val& answer) const;

    emscripten::val page_;
    emscripten::val measure_;
    DisplayListSurface& picture_;
    DisplayListSurface print_page_;
};

} // namespace teravine::web
