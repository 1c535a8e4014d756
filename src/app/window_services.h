// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the window's handlers need from the outside world: message boxes, file
// and print dialogs, clipboard, captions, check marks, sizes, pointer shape, clock and
// the about window. The Qt shell implements it; tests script it.
#pragma once

#include "diagram/draw_diagram.h"
#include "diagram/figure_size.h"
#include "diagram/surface.h"
#include "model/calibration.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct WindowSession;

enum class MenuItem { R_0, R_1, R_3, C_k, C_N, C_perc, c_inf, Id_k, Id_n, Id_s, Id_inf, ellipses };
enum class TextBox { Broad, Xls, Yls };
enum class Caption { XYpos, label_file };
enum class PointerShape { Arrow, Crosshair };

// prof_option(0..2) are 0..2; file_option is 3.
enum class BroadeningOption { Gaussian = 0, Lorentzian = 1, Mixture = 2, FileTable = 3 };

struct FileChoice {
    enum class Outcome { Chosen, Cancelled, Failed } outcome = Outcome::Cancelled;
    std::string path;  // full path when chosen
    std::string title; // file name without its folder
    std::string error; // the system's description when failed
};

// A picture to save: the file (its suffix names the format: .png, .svg, .pdf) and the
// figure's size.
struct PictureRequest {
    std::string path;
    FigureSize size;
    bool caption = false; // a line under the diagram: Reichweite, rule, broadening, σ
};

// How the sample list changed, for whatever shows it row by row. Rows are 0-based and
// ascending: removed ones as they stood before the removal, inserted ones as they stand
// after it. Appended samples come at the end; a reset may change anything.
struct SampleListChange {
    enum class Kind { appended, inserted, removed, reset } kind = Kind::reset;
    std::vector<std::size_t> rows;
};

// A point of the picture in its user units.
struct PicturePoint {
    float x = 0;
    float y = 0;
};

struct WindowSize {
    int width = 0; // twips
    int height = 0;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // Modal, no icon, one OK button, the application's title as caption.
    virtual void message(const std::string& text) = 0;
    // Modal Yes/No question with the given title; true for Yes.
    virtual bool ask_yes_no(const std::string& text, const std::string& title) = 0;

    // The file dialog; the filter is "Description|patterns|...|" as the callers give it.
    virtual FileChoice show_open(const std::string& filter) = 0;
    virtual FileChoice show_save(const std::string& filter) = 0;

    // The print dialog; false when the user cancels. Then a page to draw on, with one
    // user unit per centimetre, until end_print sends it to the printer.
    virtual bool show_print_dialog() = 0;
    virtual Surface& begin_print() = 0;
    virtual void end_print() = 0;

    // Puts the picture on the clipboard as a bitmap, as the window shows it (with the axis
    // captions).
    virtual void copy_picture_to_clipboard() = 0;

    virtual void set_window_caption(const std::string& text) = 0;
    virtual void set_caption(Caption label, const std::string& text) = 0;
    virtual std::string text(TextBox box) const = 0;
    virtual void set_text(TextBox box, const std::string& text) = 0;
    virtual void set_checked(MenuItem item, bool checked) = 0;
    virtual void select_option(BroadeningOption option) = 0; // shows it, runs no handler

    virtual WindowSize inner_size() const = 0;
    virtual void set_outer_size(WindowSize size) = 0;
    virtual bool minimised() const = 0;
    // Resizes the picture (twips); its image is then blank until drawn.
    virtual void set_picture_size(WindowSize size) = 0;
    // Moves the caption label legx inside the picture (user units) and shows both labels.
    virtual void place_axis_captions(float legx_left, float legx_top) = 0;
    // The picture's image changed: show it.
    virtual void picture_changed() = 0;

    // Save Picture: the file and size chosen, or nothing when cancelled; then the figure
    // drawn and written, or why it could not be.
    virtual std::optional<PictureRequest> ask_picture_file() = 0;
    virtual std::optional<std::string> write_picture(const DiagramContent& content,
                                                     const WorldWindow& world,
                                                     const PictureRequest& request) = 0;

    // Save Report: the session made into a report and written as PDF at path, or why it
    // could not be. The window reads the patterns and draws away from its thread, and takes
    // no input meanwhile.
    virtual std::optional<std::string> write_report(const WindowSession& session,
                                                    const std::string& path) {
        static_cast<void>(session);
        return "Cannot write " + path + ": reports are written by the desktop program";
    }

    // The sample list changed (the sample table follows it); the selected samples' dots
    // are to be marked at these points (none: no marks).
    virtual void samples_changed(const SampleListChange& change) { static_cast<void>(change); }
    virtual void mark_samples(const std::vector<PicturePoint>& points) {
        static_cast<void>(points);
    }

    // The sample table's sigma box shows this sigma (0: off), and the table its intervals
    // when it is set; no handler runs.
    virtual void show_sigma(float sigma) { static_cast<void>(sigma); }

    // The instrument profile, the CIS calibration or the zone limits changed: what the
    // window says of the broadening's source, the sample table's columns and the
    // calibration dialog follow.
    virtual void calibration_changed() {}

    // A session was opened: the measuring dialog takes up how its latest measured pair was
    // measured (Terav::latest_measurement), to measure the next ones alike.
    virtual void session_opened() {}

    // The status bar's line: what the last action did, or why it did nothing.
    virtual void status(const std::string& text) { static_cast<void>(text); }

    virtual void set_pointer(PointerShape shape) = 0;
    // The busy pointer over the whole window while a long step runs; calls nest, and
    // the pointer comes back when the outermost step ends.
    virtual void set_busy(bool busy) { static_cast<void>(busy); }

    // The start-up display (animation, then a short wait) and the modal about box.
    virtual void show_startup_display() = 0;
    virtual void show_about_box() = 0;

    // Closes the window without asking again.
    virtual void close_window() = 0;
};

} // namespace teravine
