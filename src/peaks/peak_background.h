// SPDX-License-Identifier: GPL-3.0-or-later
// The background under a peak, taken from the two flank windows of its range: a straight
// line through them, or, on the steep low-angle rise of a clay pattern, a curve that
// follows the rise.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace teravine {

// A flank window's share of the background: the mean angle and counts of the lower half
// of its points (so that a peak's tail reaching into the window does not lift it), raised by
// what counting noise lowers such a mean by, the variance of that mean from counting, the
// spread (variance) of those points' angles, the slope of all its points by least squares
// with its standard deviation and the mean angle of all its points, where that slope holds,
// and the 2θ the window spans.
struct FlankAnchor {
    double x = 0;
    double y = 0;
    double variance = 0;
    double spread = 0;
    double slope = 0;
    double slope_sigma = 0;
    double centre = 0;
    double span = 0;
};

// The anchor of the values y of the points from..from + count - 1, whose counting noise is
// that of `counts` (y itself, or counts less a peak's tails), on the count scale. Equal
// values are taken in the order of their angles, so that every build takes the same points.
FlankAnchor flank_anchor(const std::vector<double>& x, const std::vector<double>& y,
                         const std::vector<double>& counts, std::size_t from, std::size_t count);

// Through both anchors: the straight line, unless a curve fits the slopes of the two flank
// windows better than the line by more than three standard deviations of theirs, as on the
// low-angle rise of a clay pattern, steep or gently bowed (a chord there runs above the
// rise's curve and reads a peak narrow), and the two anchors lie apart by more than three
// standard deviations of their counts. Then it is a constant plus an exponential,
// b(x) = c + A exp(-k d), d the distance from the low-angle anchor, the form of a rise that
// fades into a flat background: its mean over each anchor's points is that anchor's counts
// and its rate the one whose slopes over the two windows come nearest the windows' own,
// each weighed by its standard deviation. On a steep rise the anchor's
// points (the lower half) lie at the window's high-angle side, away from where its slope
// holds, and the curve's mean over them lies above its value at their mean angle: both
// are taken as the curve has them, so that a rise falling by a factor of two across its
// window is followed as closely as a gentle one.
// A high flank at the high-angle end is a peak's side, and keeps the line. A curve that would
// change by more than a factor e across a flank window is no background but noise or a neighbouring
// peak, and the line is kept; below the low-angle window the curve goes on along its tangent.
// `curved` forces the choice where a curve can be drawn.
class FlankBackground {
public:
    FlankBackground() = default;
    FlankBackground(const FlankAnchor& left, const FlankAnchor& right,
                    std::optional<bool> curved = std::nullopt);

    double at(double two_theta) const;
    // Of the background at 2θ, from the counts of the two anchors.
    double variance(double two_theta) const;
    bool curved() const { return curved_; }
    const FlankAnchor& left() const { return left_; }
    const FlankAnchor& right() const { return right_; }

private:
    FlankAnchor left_, right_;
    bool curved_ = false;
    double base_ = 0, amplitude_ = 0, rate_ = 0; // c, A and k
};

} // namespace teravine
