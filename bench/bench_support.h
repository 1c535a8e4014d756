// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: a window without a toolkit (services that answer the file
// dialogs and report the picture's size; NullSurface draws nothing), and sample
// widths spread over the diagram of a Reichweite.
#pragma once

#include "app/window_services.h"
#include "diagram/surface.h"
#include "lines/line_store.h"
#include "model/calibration.h"
#include "null_surface.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace teravine::bench {

// 800 x 800 pixels of 15 twips, plus the window's own margins around the picture.
inline constexpr int kPicturePixels = 800;
inline constexpr int kTwipsPerPixel = 15;
inline constexpr WindowSize kInnerFor800{kPicturePixels * kTwipsPerPixel + 20,
                                         kPicturePixels* kTwipsPerPixel + 700};

// Answers every open dialog with open_path and every save dialog with save_path; the
// rest is silent. on_picture_size, when set, gets the picture's new size in pixels.
class BenchServices final : public WindowServices {
public:
    std::string open_path;
    std::string save_path;
    std::function<void(int width, int height)> on_picture_size;
    std::vector<std::string> messages;

    void message(const std::string& text) override { messages.push_back(text); }
    bool ask_yes_no(const std::string&, const std::string&) override { return false; }
    FileChoice show_open(const std::string&) override { return chosen(open_path); }
    FileChoice show_save(const std::string&) override { return chosen(save_path); }
    bool show_print_dialog() override { return false; }
    Surface& begin_print() override { return page_; }
    void end_print() override {}
    void copy_picture_to_clipboard() override {}
    std::optional<PictureRequest> ask_picture_file() override { return std::nullopt; }
    std::optional<std::string> write_picture(const DiagramContent&, const WorldWindow&,
                                             const PictureRequest&) override {
        return std::nullopt;
    }
    void set_window_caption(const std::string&) override {}
    void set_caption(Caption, const std::string&) override {}
    std::string text(TextBox) const override { return {}; }
    void set_text(TextBox, const std::string&) override {}
    void set_checked(MenuItem, bool) override {}
    void select_option(BroadeningOption) override {}
    WindowSize inner_size() const override { return kInnerFor800; }
    void set_outer_size(WindowSize) override {}
    bool minimised() const override { return false; }
    void set_picture_size(WindowSize size) override;
    void place_axis_captions(float, float) override {}
    void picture_changed() override {}
    void set_pointer(PointerShape) override {}
    void show_startup_display() override {}
    void show_about_box() override {}
    void close_window() override {}

private:
    static FileChoice chosen(const std::string& path);
    NullSurface page_;
};

// n pairs (AD, EG) spread evenly over the part of the diagram that the model covers
// under cal.reich: AD from 0.05 to the axis range, EG between the k = 3 row and the
// diagonal. The same n always gives the same pairs.
std::vector<LinePoint> spread_points(const Calibration& cal, int n);

// A width file of the given pairs with instrumental broadening b.
void write_width_file(const std::filesystem::path& path, const std::vector<LinePoint>& pairs,
                      float broadening);

// A folder of its own under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace teravine::bench
