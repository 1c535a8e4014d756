// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog's state without its widgets: the air-dried and the glycolated
// pattern (the scan and the anode chosen), the one measuring range both are measured in,
// the count scale, each pattern's measurement or the reason there is none, and the widths
// handed to the main window. Files are read and first measured by a request that any
// thread can carry out, so that the window stays responsive while a large file is read;
// measured away, the widths are measured again the same way after every change.
#pragma once

#include "app/lab_calibration.h"
#include "app/window_services.h"
#include "diagram/peak_drawing.h"
#include "identify/sample_list.h"
#include "peaks/peak_width.h"
#include "peaks/width_method.h"

#include "formats/pattern_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

enum class PatternSide { AirDried = 0, Glycolated = 1 };
enum class RangeEnd { Low, High };

struct MeasuredHalf {
    std::string path;                    // as opened; empty before the first
    bool reading = false;                // the file is being read, on another thread
    bool measuring = false;              // the width is being measured again, likewise
    PatternFile file;                    // every scan as read; none when nothing could be read
    std::vector<bool> states_wavelength; // of each scan: the file states it
    std::vector<std::optional<double>> stated_alpha2_ratios; // of each scan, as the file has it
    std::size_t scan = 0;                                    // the scan measured, 0-based
    std::string anode;              // told for scans that state no wavelength; "Cu" if not
    std::optional<PeakWidth> width; // none when nothing could be measured
    std::optional<ProfileFit> fit;  // when the width was taken by a fit
    std::string problem;            // the reader's or the measurer's message

    // The scan measured, with the told anode's wavelength when it states none; null when
    // nothing was read.
    const Pattern* pattern() const { return file.scans.empty() ? nullptr : &file.scans[scan]; }
};

// A file to read and measure away from the window's thread: a copy of everything needed,
// so that the session may change, or be gone, before the work is done.
struct ReadRequest {
    PatternSide side = PatternSide::AirDried;
    std::string path;
    std::uint64_t serial = 0; // a later request of the same side supersedes it
    PeakRange range;
    WidthMethod method;
    std::optional<double> alpha2_ratio; // fitted over the file's own; none: the file's
};

struct ReadResult {
    ReadRequest request;
    MeasuredHalf half;
};

// A pattern to measure again away from the window's thread (a copy of the scan as chosen).
struct MeasureRequest {
    PatternSide side = PatternSide::AirDried;
    std::uint64_t serial = 0; // a later request of the same side, or file, supersedes it
    Pattern pattern;
    PeakRange range;
    WidthMethod method;
    std::string path; // the file the scan was read from
};

struct MeasureResult {
    PatternSide side = PatternSide::AirDried;
    std::uint64_t serial = 0;
    std::optional<PeakWidth> width;
    std::optional<ProfileFit> fit;
    std::string problem; // the measurer's message when there is no width
};

// Ends are kept to hundredths of a degree, as the spin boxes show them.
inline constexpr double kRangeStep = 0.01;
inline constexpr double kMinRangeSpan = 0.1;

class MeasureSession {
public:
    // lab, when given, is the window's calibration as it stands at each look: the widths
    // are held against its instrument profile and its CIS calibration's method.
    explicit MeasureSession(WindowServices& services, const LabCalibration* lab = nullptr)
        : services_(services), lab_(lab) {}

    // Reads the file and measures it in the current range; a file that cannot be read
    // leaves that half empty with the reader's message. The same as the three steps below
    // on one thread.
    void open(PatternSide side, const std::string& path);

    // Opening in three steps, the reading and measuring on any thread: the half shows the
    // file as being read (its earlier pattern is let go) and the request is returned...
    ReadRequest request_open(PatternSide side, const std::string& path);
    // ...which is read and measured here, touching nothing of a session...
    static ReadResult read_and_measure(const ReadRequest& request);
    // ...and the result taken back on the session's thread, measured again if the range
    // changed meanwhile. A result that a later request of its side superseded is dropped:
    // false.
    bool take_result(ReadResult result);
    // A file is being read or a width measured.
    bool reading() const;

    // From now on a change of range, method, scan or anode measures nothing at once: the
    // half shows its width as being measured (no widths are ready meanwhile) and the
    // measuring waits, as a request, for take_requests; only the latest of a side waits.
    // Without it, every change measures on the calling thread.
    void measure_away() { away_ = true; }
    std::vector<MeasureRequest> take_requests();
    // Measures on any thread, touching nothing of a session...
    static MeasureResult measure_request(const MeasureRequest& request);
    // ...and the result is taken back on the session's thread; one that a later request or
    // file of its side superseded is dropped: false.
    bool take_measured(MeasureResult result);

    // For a file of several scans, the one to measure (0-based); false when there is none.
    bool choose_scan(PatternSide side, std::size_t scan);
    // The anode of the tube, for the scans that state no wavelength: "Cu", "Co", ...
    bool choose_anode(PatternSide side, const std::string& anode);
    // The anode the half's width is measured for: the one its scan states (by name, else by
    // its wavelength), else the one told; empty when neither, Cu Kα then being taken, and
    // for a stated wavelength of no anode known.
    std::string anode(PatternSide side) const;
    // "scan 2: 5° to 27°, 1200 points (label)" for each scan of the half's file.
    std::vector<std::string> scan_names(PatternSide side) const;

    // On the Cu Kα scale. A range with LO not below HI by kMinRangeSpan, or outside
    // 0..180°, is refused and the range stays as it was.
    bool set_range(const PeakRange& range);
    // An end dragged on the plot of `side`, at a 2θ of that pattern's own scale; it stops
    // kMinRangeSpan short of the other end.
    void move_range_end(PatternSide side, RangeEnd end, double two_theta);
    void reset_range() { set_range(PeakRange{}); }
    const PeakRange& range() const { return range_; }

    // How the widths are taken: the half-height reading (the default) or a fit; both
    // patterns are measured again.
    void set_method(const WidthMethod& method);
    const WidthMethod& method() const { return method_; }

    // I(Kα2) / I(Kα1) that a fit models, 0 for no Kα2 line; none (the default) takes each
    // file's own statement, else 0.5. A ratio outside 0..1 is refused. Both patterns are
    // measured again.
    bool set_alpha2_ratio(std::optional<double> ratio);
    const std::optional<double>& alpha2_ratio() const { return alpha2_ratio_; }

    // How a pair was measured, taken up to measure on alike: its range, its method (of one
    // component, the most a measurement names) and its Kα2 ratio. A method this version does
    // not know leaves the method as it was.
    void measure_like(const Measurement& measured);

    void set_log_counts(bool on) { log_counts_ = on; }
    bool log_counts() const { return log_counts_; }

    const MeasuredHalf& half(PatternSide side) const { return halves_[index(side)]; }
    // What the plot of `side` draws.
    PeakPanel panel(PatternSide side) const;

    // The measured width's quality ("ok", or the reasons joined by ';') with the reasons it
    // earns against the instrument profile in use, as `measure --instrument` gives them;
    // empty when the half has no width.
    std::string quality(PatternSide side) const;
    // What the dialog says under the half's plot, in its red: the reader's or the
    // measurer's message, or a doubtful width with its reasons, those against the instrument
    // profile in use among them ("Doubtful (half-height): ..."), with the range that would
    // hold a peak reaching the flank ("...: edge: the peak reaches the flank of the range,
    // ...; a range of 3.9:11.5 would hold it"); empty for a good width.
    std::string message(PatternSide side) const;
    // How the half's counts were taken where they are not whole counts ("Counts per second,
    // converted to counts with the stated counting time of 1 s a step"), as measure says it;
    // empty for counts and for a half without a pattern.
    std::string count_note(PatternSide side) const;
    // When a CIS calibration of the Kübler index is loaded whose standards were measured by
    // another method than the one chosen here, the words that say it does not carry over.
    std::string calibration_note() const;

    // Both patterns measured: their FWHMs as written into the boxes, with the four decimals
    // that the measuring tool prints and writes to width files, so that a pair placed from
    // here lands where the same pair treated from a file does.
    bool widths_ready() const;
    std::string box_text(PatternSide side) const;
    // Writes them into "Air Dried IC" and "Ethylene Glycol IC"; false, and nothing
    // written, unless both are measured.
    bool use_widths();
    // What the widths were measured on and how, with their quality and anode, for the
    // samples placed from them; nothing unless both are measured.
    std::optional<Measurement> measurement() const;

private:
    static std::size_t index(PatternSide side) { return static_cast<std::size_t>(side); }
    static void measure(MeasuredHalf& half, const PeakRange& range, const WidthMethod& method);
    // How the half was measured, as a calibration or instrument profile states it.
    std::string measured_in_full(const MeasuredHalf& half) const;
    // The half measured in the current range by the current method: at once, or away.
    void measure_again(PatternSide side);

    WindowServices& services_;
    const LabCalibration* lab_ = nullptr;
    PeakRange range_;
    WidthMethod method_;
    std::optional<double> alpha2_ratio_;
    bool log_counts_ = false;
    std::array<MeasuredHalf, 2> halves_;
    std::array<std::uint64_t, 2> serials_{}; // of the latest request of each side
    bool away_ = false;
    std::array<std::optional<MeasureRequest>, 2> pending_;
};

} // namespace teravine
