// SPDX-License-Identifier: GPL-3.0-or-later
// The window services on Qt: message boxes, file and print dialogs, the clipboard, and
// the captions, check marks, sizes and pointer of the main window.
#pragma once

#include "app/window_services.h"
#include "qt/painter_surface.h"

#include <memory>
#include <optional>
#include <string>

class QPrinter;

namespace teravine {

class MainWindow;

class QtWindowServices final : public WindowServices {
public:
    // startup_display false skips the start-up animation (tests, quick runs).
    QtWindowServices(MainWindow& window, bool startup_display);
    ~QtWindowServices() override;

    void message(const std::string& text) override;
    bool ask_yes_no(const std::string& text, const std::string& title) override;

    FileChoice show_open(const std::string& filter) override;
    // The next Open dialog is answered with `path` without being shown (a file dropped
    // onto the window).
    void answer_next_open(const std::string& path) { next_open_ = path; }
    FileChoice show_save(const std::string& filter) override;

    bool show_print_dialog() override;
    Surface& begin_print() override;
    void end_print() override;

    void copy_picture_to_clipboard() override;

    void set_window_caption(const std::string& text) override;
    void status(const std::string& text) override;
    void calibration_changed() override;
    void session_opened() override;
    void set_caption(Caption label, const std::string& text) override;
    std::string text(TextBox box) const override;
    void set_text(TextBox box, const std::string& text) override;
    void set_checked(MenuItem item, bool checked) override;
    void select_option(BroadeningOption option) override;

    WindowSize inner_size() const override;
    void set_outer_size(WindowSize size) override;
    bool minimised() const override;
    void set_picture_size(WindowSize size) override;
    void place_axis_captions(float legx_left, float legx_top) override;
    void picture_changed() override;

    std::optional<PictureRequest> ask_picture_file() override;
    std::optional<std::string> write_picture(const DiagramContent& content,
                                             const WorldWindow& world,
                                             const PictureRequest& request) override;
    std::optional<std::string> write_report(const WindowSession& session,
                                            const std::string& path) override;
    void samples_changed(const SampleListChange& change) override;
    void mark_samples(const std::vector<PicturePoint>& points) override;
    void show_sigma(float sigma) override;

    void set_pointer(PointerShape shape) override;
    void set_busy(bool busy) override;

    void show_startup_display() override;
    void show_about_box() override;

    void close_window() override;

private:
    QPrinter& printer();

    MainWindow& window_;
    bool startup_display_;
    std::optional<std::string> next_open_;
    int busy_depth_ = 0;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PainterSurface> page_;
};

} // namespace teravine
