// SPDX-License-Identifier: GPL-3.0-or-later
// WindowServices for tests: answers dialogs from a script and records what the window
// showed (messages, captions, check marks, pointer shapes), so a test reads like a
// user's session.
#pragma once

#include "app/window_services.h"
#include "support/recording_surface.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace teravine {

class ScriptedServices : public WindowServices {
public:
    // Script: answers taken in order; an empty queue means "cancel" / "No".
    std::deque<FileChoice> open_answers;
    std::deque<FileChoice> save_answers;
    std::deque<bool> yes_no_answers;
    std::deque<PictureRequest> picture_answers;
    std::optional<std::string> picture_failure; // what writing a picture answers

    // What the window showed.
    std::vector<std::string> messages;
    std::vector<std::string> statuses;  // the status bar's lines, in order
    std::vector<std::string> questions; // "title: text"
    std::vector<std::string> open_filters, save_filters;
    std::string window_caption;
    std::map<Caption, std::string> captions;
    std::map<TextBox, std::string> boxes;
    std::map<MenuItem, bool> checks;
    BroadeningOption option = BroadeningOption::Gaussian;
    PointerShape pointer = PointerShape::Arrow;
    WindowSize inner{12000, 11000};
    WindowSize picture{};
    std::vector<WindowSize> outer_sizes;
    int picture_updates = 0;
    int busy_depth = 0; // set_busy calls still open
    int busy_steps = 0; // outermost busy steps begun
    int pages_printed = 0;
    int startup_displays = 0;
    bool closed = false;
    RecordingSurface page;
    std::vector<PictureRequest> pictures; // asked to be written, with the samples they held
    std::vector<std::size_t> picture_samples;
    std::vector<std::string> picture_captions; // each caption, "|", its legend
    std::vector<SampleListChange> sample_changes;
    std::vector<PicturePoint> marks;
    float shown_sigma = -1; // what the sigma box was last told to show; -1: never
    int sessions_opened = 0;

    static FileChoice chosen(const std::string& path) {
        FileChoice c;
        c.outcome = FileChoice::Outcome::Chosen;
        c.path = path;
        c.title = path.substr(path.find_last_of('/') + 1);
        return c;
    }

    void message(const std::string& text) override { messages.push_back(text); }
    bool ask_yes_no(const std::string& text, const std::string& title) override {
        questions.push_back(title + ": " + text);
        const bool yes = !yes_no_answers.empty() && yes_no_answers.front();
        if (!yes_no_answers.empty()) {
            yes_no_answers.pop_front();
        }
        return yes;
    }
    FileChoice show_open(const std::string& filter) override {
        open_filters.push_back(filter);
        return take(open_answers);
    }
    FileChoice show_save(const std::string& filter) override {
        save_filters.push_back(filter);
        return take(save_answers);
    }
    bool show_print_dialog() override { return true; }
    Surface& begin_print() override {
        page.forget();
        return page;
    }
    void end_print() override { ++pages_printed; }
    void copy_picture_to_clipboard() override {}
    std::optional<PictureRequest> ask_picture_file() override {
        if (picture_answers.empty()) {
            return std::nullopt;
        }
        PictureRequest r = picture_answers.front();
        picture_answers.pop_front();
        return r;
    }
    std::optional<std::string> write_picture(const DiagramContent& content, const WorldWindow&,
                                             const PictureRequest& request) override {
        pictures.push_back(request);
        picture_samples.push_back(content.samples.size());
        picture_captions.push_back(content.caption + "|" + content.ellipse_legend.value_or(""));
        return picture_failure;
    }
    void samples_changed(const SampleListChange& change) override {
        sample_changes.push_back(change);
    }
    void mark_samples(const std::vector<PicturePoint>& points) override { marks = points; }
    void show_sigma(float sigma) override { shown_sigma = sigma; }
    void session_opened() override { ++sessions_opened; }
    void set_window_caption(const std::string& text) override { window_caption = text; }
    void set_caption(Caption label, const std::string& text) override { captions[label] = text; }
    std::string text(TextBox box) const override {
        const auto it = boxes.find(box);
        return it == boxes.end() ? std::string() : it->second;
    }
    void set_text(TextBox box, const std::string& text) override { boxes[box] = text; }
    void set_checked(MenuItem item, bool checked) override { checks[item] = checked; }
    void select_option(BroadeningOption o) override { option = o; }
    WindowSize inner_size() const override { return inner; }
    void set_outer_size(WindowSize size) override {
        outer_sizes.push_back(size);
        inner = {size.width - 120, size.height - 800}; // borders, caption and menu bar
    }
    bool minimised() const override { return false; }
    void set_picture_size(WindowSize size) override { picture = size; }
    void place_axis_captions(float, float) override {}
    void picture_changed() override { ++picture_updates; }
    void set_pointer(PointerShape shape) override { pointer = shape; }
    void status(const std::string& text) override { statuses.push_back(text); }
    void set_busy(bool busy) override {
        busy_depth += busy ? 1 : -1;
        busy_steps += busy && busy_depth == 1 ? 1 : 0;
    }
    void show_startup_display() override { ++startup_displays; }
    void show_about_box() override {}
    void close_window() override { closed = true; }

private:
    static FileChoice take(std::deque<FileChoice>& answers) {
        if (answers.empty()) {
            return FileChoice{};
        }
        FileChoice c = answers.front();
        answers.pop_front();
        return c;
    }
};

} // namespace teravine
