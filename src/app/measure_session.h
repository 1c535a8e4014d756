// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog's state without its widgets: the air-dried and the glycolated
// pattern, the one measuring range both are measured in, the count scale, each pattern's
// measurement or the reason there is none, and the widths handed to the main window.
#pragma once

#include "app/window_services.h"
#include "diagram/peak_drawing.h"
#include "patterns/peak_width.h"

#include <array>
#include <optional>
#include <string>

namespace teravine {

enum class PatternSide { AirDried = 0, Glycolated = 1 };
enum class RangeEnd { Low, High };

struct MeasuredHalf {
    std::string path;               // as opened; empty before the first
    std::optional<Pattern> pattern; // none when nothing could be read
    std::optional<PeakWidth> width; // none when nothing could be measured
    std::string problem;            // the reader's or the measurer's message
};

// Ends are kept to hundredths of a degree, as the spin boxes show them.
inline constexpr double kRangeStep = 0.01;
inline constexpr double kMinRangeSpan = 0.1;

class MeasureSession {
public:
    explicit MeasureSession(WindowServices& services) : services_(services) {}

    // Reads the file and measures it in the current range; a file that cannot be read
    // leaves that half empty with the reader's message.
    void open(PatternSide side, const std::string& path);

    // On the Cu Kα scale. A range with LO not below HI by kMinRangeSpan, or outside
    // 0..180°, is refused and the range stays as it was.
    bool set_range(const PeakRange& range);
    // An end dragged on the plot of `side`, at a 2θ of that pattern's own scale; it stops
    // kMinRangeSpan short of the other end.
    void move_range_end(PatternSide side, RangeEnd end, double two_theta);
    void reset_range() { set_range(PeakRange{}); }
    const PeakRange& range() const { return range_; }

    void set_log_counts(bool on) { log_counts_ = on; }
    bool log_counts() const { return log_counts_; }

    const MeasuredHalf& half(PatternSide side) const { return halves_[index(side)]; }
    // What the plot of `side` draws.
    PeakPanel panel(PatternSide side) const;

    // Both patterns measured: their FWHMs as written into the boxes, with the four decimals
    // that the measuring tool prints and writes to width files, so that a pair placed from
    // here lands where the same pair treated from a file does.
    bool widths_ready() const;
    std::string box_text(PatternSide side) const;
    // Writes them into "Air Dried IC" and "Ethylene Glycol IC"; false, and nothing
    // written, unless both are measured.
    bool use_widths();

private:
    static std::size_t index(PatternSide side) { return static_cast<std::size_t>(side); }
    void measure(MeasuredHalf& half) const;

    WindowServices& services_;
    PeakRange range_;
    bool log_counts_ = false;
    std::array<MeasuredHalf, 2> halves_;
};

} // namespace teravine
