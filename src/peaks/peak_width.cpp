// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/peak_width.h"

#include "formats/anode.h"
#include "peaks/count_draws.h"
#include "peaks/count_scale.h"
#include "peaks/peak_background.h"
#include "peaks/peak_edges.h"
#include "peaks/profile_shapes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace teravine {
namespace {

// The smoothing's half-window, as a share of the width in points.
constexpr double kSmoothing = 0.2;
// Resamples for the uncertainty, and their fixed seed.
constexpr int kResamples = 48;
constexpr std::uint64_t kResampleSeed = 20261207;
// A peak that does not fall to half height within the range is taken this much wider than
// the half width it shows there, to suggest a range that holds it.
constexpr double kFallBeyond = 1.5;
// A range that holds a peak is rounded outwards to a tenth of a degree: one wider by more
// than that than the range read is wider indeed.
constexpr double kRangeSlack = 0.1;
// Readings in a proposed range, at most, to find one that holds a peak reaching the flank.
constexpr int kHoldingPasses = 4;
// The share of a width that the reading is true to on a clean peak: a width that moves by
// more than this (and by more than its u) with the tails' law, the range or the kind of
// background is in doubt.
constexpr double kTrueShare = 0.02;
// Readings at most with the tails taken out of the flank windows, and the share of the width
// by which one that moves it less settles it.
constexpr int kTailPasses = 8;
constexpr double kTailsSettled = 1e-4;
// The most of the height that the tails taken out may lower the background under the top
// by: a broad peak's tails in the default range lower it by a few per cent.
constexpr double kMostTails = 0.2;

std::string degrees(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end) + "°";
}

struct Top {
    double x = 0;
    double height = 0;
};

// Least squares of ln(net) against a parabola over first..last; the plain point when
// the points do not make a top between them.
Top top_of(const std::vector<double>& x, const std::vector<double>& net, std::size_t peak,
           std::size_t first, std::size_t last) {
    const Top plain{x[peak], net[peak]};
    double s[5] = {}; // sums of u^0..u^4
    double t[3] = {}; // sums of ln(net) u^0..u^2
    for (std::size_t i = first; i <= last; ++i) {
        if (!(net[i] > 0)) {
            return plain;
        }
        const double u = x[i] - x[peak];
        const double l = std::log(net[i]);
        double power = 1;
        for (int k = 0; k < 5; ++k) {
            s[k] += power;
            if (k < 3) {
                t[k] += l * power;
            }
            power *= u;
        }
    }
    // Normal equations for c0 + c1 u + c2 u^2, by Cramer's rule.
    const auto det3 = [](double a, double b, double c, double d, double e, double f, double g,
                         double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double d = det3(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
    if (!(std::abs(d) > 0)) {
        return plain;
    }
    const double c0 = det3(t[0], s[1], s[2], t[1], s[2], s[3], t[2], s[3], s[4]) / d;
    const double c1 = det3(s[0], t[0], s[2], s[1], t[1], s[3], s[2], t[2], s[4]) / d;
    const double c2 = det3(s[0], s[1], t[0], s[1], s[2], t[1], s[2], s[3], t[2]) / d;
    if (!(c2 < 0)) {
        return plain;
    }
    const double u_top = -c1 / (2 * c2);
    if (!(u_top >= x[first] - x[peak] && u_top <= x[last] - x[peak])) {
        return plain;
    }
    return {x[peak] + u_top, std::exp(c0 + c1 * u_top + c2 * u_top * u_top)};
}

// The range's points, the background through its flanks and the net counts.
struct NetProfile {
    std::size_t first = 0, last = 0; // the range's points, inclusive
    std::size_t window = 0;          // points of each flank window
    FlankBackground under;
    std::vector<double> net; // indexed as the pattern; 0 outside the range

    double background(double at) const { return under.at(at); }
    // Of the background at `at`, from the counts of the two flanks.
    double background_variance(double at) const { return under.variance(at); }
};

// Fills p, whose net keeps its room (and its zeros outside the range) from a reading of the
// same range before.
void net_profile(const std::vector<double>& x, const std::vector<double>& y, std::size_t first,
                 std::size_t last, NetProfile& p) {
    if (p.net.empty()) {
        p.net.assign(x.size(), 0.0);
    }
    p.first = first;
    p.last = last;
    p.window = flank_window(first, last);
    p.under = FlankBackground(flank_anchor(x, y, y, first, p.window),
                              flank_anchor(x, y, y, last + 1 - p.window, p.window));
    for (std::size_t i = first; i <= last; ++i) {
        p.net[i] = y[i] - p.background(x[i]);
    }
}

// The net counts of p over another background.
void rebase(const std::vector<double>& x, const std::vector<double>& y,
            const FlankBackground& under, NetProfile& p) {
    p.under = under;
    for (std::size_t i = p.first; i <= p.last; ++i) {
        p.net[i] = y[i] - p.background(x[i]);
    }
}

// Net counts smoothed by least-squares parabolas over 2 reach + 1 points (fewer where the
// range ends), with the variance factor of each smoothed point: a smoothed point's
// variance is about that factor times the counts' own.
struct Smoothed {
    std::vector<double> net;
    std::vector<double> factor;
};

// Running sums of net, net·j and net·j² over the range, j counted from its first point:
// the same for every smoothing of one net profile.
struct RunningSums {
    std::vector<double> sum0, sum1, sum2;
    bool ready = false;
};

// Up to this half-window the parabolas are summed point by point; beyond it, on densely
// sampled patterns, from running sums, so that smoothing stays linear in the points.
constexpr std::size_t kDirectReach = 64;

// The parabola's weight at the centre of a half-window h, and the sum of its weights'
// squares (the variance factor).
struct ParabolaWeights {
    double centre_term; // 3 (3h² + 3h - 1)
    double norm;        // (2h - 1)(2h + 1)(2h + 3)
    double factor;
};

ParabolaWeights parabola_weights(std::size_t h) {
    const double hh = static_cast<double>(h);
    ParabolaWeights w{3 * (3 * hh * hh + 3 * hh - 1), (2 * hh - 1) * (2 * hh + 1) * (2 * hh + 3),
                      0};
    if (h > kDirectReach) {
        // A least-squares smoother is a projection: the sum of the squares of its weights
        // is its weight at the centre. Wide windows take it so, at no cost per point.
        w.factor = w.centre_term / w.norm;
        return w;
    }
    for (std::size_t j = 0; j <= 2 * h; ++j) {
        const double k = static_cast<double>(j) - hh;
        const double c = h == 0 ? 1.0 : (w.centre_term - 15 * k * k) / w.norm;
        w.factor += c * c;
    }
    return w;
}

void running_sums(const NetProfile& p, RunningSums& sums) {
    const std::size_t n = p.last - p.first + 1;
    sums.sum0.resize(n + 1);
    sums.sum1.resize(n + 1);
    sums.sum2.resize(n + 1);
    sums.sum0[0] = sums.sum1[0] = sums.sum2[0] = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const double v = p.net[p.first + j];
        const double jj = static_cast<double>(j);
        sums.sum0[j + 1] = sums.sum0[j] + v;
        sums.sum1[j + 1] = sums.sum1[j] + v * jj;
        sums.sum2[j + 1] = sums.sum2[j] + v * jj * jj;
    }
    sums.ready = true;
}

// Smooths p into s, which keeps its room from a smoothing of the same range before; the
// running sums are made at the first wide smoothing of the profile.
void smooth_net(const NetProfile& p, std::size_t reach, RunningSums& sums, Smoothed& s) {
    if (s.net.empty()) {
        s.net.assign(p.net.size(), 0.0);
        s.factor.assign(p.net.size(), 1.0);
    }
    if (p.last < p.first) {
        return;
    }
    std::vector<ParabolaWeights> weights;
    for (std::size_t h = 0; h <= std::min(reach, (p.last - p.first) / 2); ++h) {
        weights.push_back(parabola_weights(h));
    }
    if (reach > kDirectReach && !sums.ready) {
        running_sums(p, sums);
    }
    const auto& sum0 = sums.sum0;
    const auto& sum1 = sums.sum1;
    const auto& sum2 = sums.sum2;
    for (std::size_t i = p.first; i <= p.last; ++i) {
        const std::size_t h = std::min({reach, i - p.first, p.last - i});
        const ParabolaWeights& w = weights[h];
        double value = 0;
        if (h == 0) {
            value = p.net[i];
        } else if (h <= kDirectReach) {
            const double hh = static_cast<double>(h);
            for (std::size_t j = i - h; j <= i + h; ++j) {
                const double k = static_cast<double>(j) - static_cast<double>(i);
                value += (3 * (3 * hh * hh + 3 * hh - 1) - 15 * k * k) / w.norm * p.net[j];
            }
        } else {
            // Σ c_k net(i+k) with c_k = (centre_term - 15 k²) / norm, k = j - c.
            const std::size_t lo = i - h - p.first, hi = i + h - p.first + 1;
            const double c = static_cast<double>(i - p.first);
            const double s0 = sum0[hi] - sum0[lo];
            const double s1 = sum1[hi] - sum1[lo];
            const double s2 = sum2[hi] - sum2[lo];
            const double k2 = s2 - 2 * c * s1 + c * c * s0;
            value = (w.centre_term * s0 - 15 * k2) / w.norm;
        }
        s.net[i] = value;
        s.factor[i] = w.factor;
    }
}

enum Flag : unsigned {
    weak = 1,
    edge = 2,
    in_flank = 4,
    shoulder = 8,
    breadth = 16,
    unstable = 32
};

// One half-height reading of the counts y, or why there is none.
struct Reading {
    std::string failure; // empty when read
    Top top;
    std::size_t peak = 0; // the highest smoothed point
    double left = 0, right = 0;
    double area = 0;
    double peak_lo = 0, peak_hi = 0;
    // How far taking the tails out of the flank windows moved the width, over the width;
    // infinite when they could not be taken out.
    double tails_moved = 0;
    unsigned flags = 0;
};

// What a reading works on, kept from one reading of a range to the next so that the
// resamples allocate nothing: the net profile, its running sums and the smoothing.
struct ReadingBuffers {
    NetProfile profile;
    RunningSums sums;
    Smoothed smoothed;
    std::vector<double> clear; // the flank windows' counts less the tails
};

// Walks from `from` in steps of `dir` while the smoothed net stays at or above `level`,
// over dips that come back to it within `reach` points. The last point at or above it,
// or nothing when the walk leaves [first, last].
std::optional<std::size_t> walk(const std::vector<double>& s, std::size_t from, int dir,
                                double level, std::size_t first, std::size_t last,
                                std::size_t reach) {
    const auto inside = [&](std::size_t i, std::size_t k) {
        return dir > 0 ? i + k <= last : i >= first + k;
    };
    const auto at = [&](std::size_t i, std::size_t k) { return dir > 0 ? i + k : i - k; };
    std::size_t i = from;
    for (;;) {
        if (!inside(i, 1)) {
            return std::nullopt;
        }
        if (s[at(i, 1)] >= level) {
            i = at(i, 1);
            continue;
        }
        std::size_t back = 0;
        for (std::size_t k = 2; k <= reach + 1 && inside(i, k); ++k) {
            if (s[at(i, k)] >= level) {
                back = k;
                break;
            }
        }
        if (back == 0) {
            return i;
        }
        i = at(i, back);
    }
}

// From the crossing's outer point outward to where the peak ends: where the smoothed net
// meets the background, or the lowest point before it rises again by more than three
// standard deviations (a neighbouring peak; one above a fifth of the height is a
// shoulder of this one). Returns the bound's index and whether a shoulder was met.
std::pair<std::size_t, bool> peak_bound(const std::vector<double>& y, const ReadingBuffers& b,
                                        std::size_t from, int dir, double height) {
    const auto& s = b.smoothed.net;
    const auto& p = b.profile;
    std::size_t lowest = from;
    for (std::size_t i = from;;) {
        if (s[i] <= 0) {
            return {i, false};
        }
        if (s[i] < s[lowest]) {
            lowest = i;
        }
        const double sigma = std::sqrt(2 * b.smoothed.factor[i] * std::max(y[i], 1.0));
        if (s[i] - s[lowest] > 3 * sigma && s[i] - s[lowest] > 0.05 * height) {
            return {lowest, s[i] > 0.2 * height};
        }
        if (dir > 0 ? i == p.last : i == p.first) {
            return {i, false};
        }
        i = dir > 0 ? i + 1 : i - 1;
    }
}

// One side of a peak beyond a fifth of its height, 1 at its top, halfway between the
// pseudo-Voigt and the Pearson VII whose half width at a fifth of the height is `ratio` times
// that at half height (profile_shapes). Written with the exponential and logarithm that
// every build computes alike (count_draws), so that the native and the WebAssembly builds
// read a width alike to the last digit.
class TailLaws {
public:
    explicit TailLaws(double ratio)
        : eta_(pseudo_voigt_mixing(ratio)), m_(pearson7_exponent(ratio)),
          k_(portable_exp(kLn2 / m_) - 1) {}
    // At u half widths from the top.
    double at(double u) const {
        const double u2 = u * u;
        const double voigt = eta_ / (1 + u2) + (1 - eta_) * portable_exp(-kLn2 * u2);
        return (voigt + portable_exp(-m_ * portable_log(1 + k_ * u2))) / 2;
    }

private:
    static constexpr double kLn2 = 0.69314718055994530942;
    double eta_, m_, k_;
};

// The background of the flank windows' counts less the peak's own tails. The flank windows
// hold the tails of a broad peak, which the background would take for its own. Each side of
// the peak is extrapolated into them with that side's half width at half height and at a
// fifth of the height, halfway between two laws that share that core: the pseudo-Voigt,
// whose Lorentzian share falls as the inverse square, and the Pearson VII, whose tails fall
// faster. Which of them a peak's far tails follow is not told by the counts near its top,
// and halfway the reading is within about 1 % for either (the two laws' tails differ the
// more, the more the reading moves: the move itself measures what the law leaves unsure).
// What that gives is taken out of the flank windows' counts and the anchors made again of
// what is left, the kind of background (straight or curved) chosen as `curved` says.
// Nothing when the peak does not fall to a fifth of its height within the range: its tails
// are not seen well enough to be taken out.
std::optional<FlankBackground>
background_less_tails(const std::vector<double>& x, const std::vector<double>& y,
                      const NetProfile& p, const Reading& r, const std::vector<double>& s,
                      std::size_t reach, std::optional<bool> curved, std::vector<double>& clear) {
    const double fifth = r.top.height / 5;
    const auto lo = walk(s, r.peak, -1, fifth, p.first, p.last, reach);
    const auto hi = walk(s, r.peak, +1, fifth, p.first, p.last, reach);
    if (!lo || !hi) {
        return std::nullopt;
    }
    const auto cross = [&](std::size_t in, std::size_t out) {
        const double t = (fifth - s[out]) / (s[in] - s[out]);
        return x[out] + t * (x[in] - x[out]);
    };
    const double half_lo = r.top.x - r.left, half_hi = r.right - r.top.x;
    if (!(half_lo > 0 && half_hi > 0)) {
        return std::nullopt;
    }
    const TailLaws lower((r.top.x - cross(*lo, *lo - 1)) / half_lo);
    const TailLaws upper((cross(*hi, *hi + 1) - r.top.x) / half_hi);
    if (clear.size() != x.size()) {
        clear.assign(x.size(), 0.0);
    }
    const std::size_t high = p.last + 1 - p.window;
    for (const std::size_t from : {p.first, high}) {
        for (std::size_t i = from; i < from + p.window; ++i) {
            const double d = x[i] - r.top.x;
            const double tail = d < 0 ? lower.at(-d / half_lo) : upper.at(d / half_hi);
            clear[i] = y[i] - r.top.height * tail;
        }
    }
    return FlankBackground(flank_anchor(x, clear, y, p.first, p.window),
                           flank_anchor(x, clear, y, high, p.window), curved);
}

// One reading of the net profile in b, smoothed over `reach` into b.
Reading read_once(const std::vector<double>& x, const std::vector<double>& y, std::size_t reach,
                  ReadingBuffers& b) {
    Reading r;
    smooth_net(b.profile, reach, b.sums, b.smoothed);
    const auto& p = b.profile;
    const auto& s = b.smoothed.net;
    const std::size_t first = p.first, last = p.last;
    std::size_t peak = first;
    for (std::size_t i = first; i <= last; ++i) {
        peak = s[i] > s[peak] ? i : peak;
    }
    if (peak == first || peak == last || !(s[peak] > 0)) {
        r.failure = "flat";
        return r;
    }
    // The counting noise itself: the flanks' scatter also holds the tails of a peak that
    // reaches them.
    const double noise = std::sqrt(std::max(p.background(x[peak]), 1.0));
    if (!(s[peak] > 3 * noise)) {
        r.failure = "faint";
        return r;
    }
    std::size_t from = peak - 1;
    std::size_t to = peak + 1;
    while (from > first && s[from - 1] >= 0.8 * s[peak]) {
        --from;
    }
    while (to < last && s[to + 1] >= 0.8 * s[peak]) {
        ++to;
    }
    r.peak = peak;
    r.top = top_of(x, p.net, peak, from, to);
    if (!(r.top.height > 0 && r.top.height <= 2 * s[peak])) {
        r.top = {x[peak], s[peak]};
    }
    const double half = r.top.height / 2;
    const auto rise = walk(s, peak, -1, half, first, last, reach);
    const auto fall = walk(s, peak, +1, half, first, last, reach);
    const auto cross = [&](std::size_t in, std::size_t out) {
        const double t = (half - s[out]) / (s[in] - s[out]);
        return x[out] + t * (x[in] - x[out]);
    };
    r.left = rise ? cross(*rise, *rise - 1) : x[first];
    r.right = fall ? cross(*fall, *fall + 1) : x[last];
    if (!rise || !fall) {
        r.failure = !rise ? "below" : "above";
        return r;
    }
    const std::size_t window = p.window;
    if (peak < first + window || peak + window > last) {
        r.flags |= edge;
    }
    if (*rise <= first + window || *fall + window >= last ||
        tail_reaches(flank_rise(x, p.net, y, first, first + window - 1, +1), r.top.height) ||
        tail_reaches(flank_rise(x, p.net, y, last + 1 - window, last, -1), r.top.height)) {
        r.flags |= in_flank;
    }
    if (r.top.height < 10 * noise) {
        r.flags |= weak;
    }
    const auto [lo, shoulder_lo] = peak_bound(y, b, *rise - 1, -1, r.top.height);
    const auto [hi, shoulder_hi] = peak_bound(y, b, *fall + 1, +1, r.top.height);
    // A dip between the crossings deeper than the noise is a second maximum.
    bool dip = false;
    for (const int dir : {-1, 1}) {
        std::size_t lowest = peak;
        for (std::size_t i = peak; dir < 0 ? i >= *rise : i <= *fall; i = dir < 0 ? i - 1 : i + 1) {
            lowest = s[i] < s[lowest] ? i : lowest;
            const double sigma = std::sqrt(2 * b.smoothed.factor[i] * std::max(y[i], 1.0));
            dip = dip || (s[i] - s[lowest] > 3 * sigma && s[i] - s[lowest] > 0.05 * r.top.height);
            if (i == 0) {
                break;
            }
        }
    }
    if (shoulder_lo || shoulder_hi || dip) {
        r.flags |= shoulder;
    }
    for (std::size_t i = lo; i < hi; ++i) {
        r.area += (p.net[i] + p.net[i + 1]) / 2 * (x[i + 1] - x[i]);
    }
    r.area = std::max(r.area, 0.0);
    r.peak_lo = x[lo];
    r.peak_hi = x[hi];
    const double ratio = r.area / r.top.height / (r.right - r.left);
    if (!(ratio >= 0.9 && ratio <= 2.0)) {
        r.flags |= breadth;
    }
    return r;
}

// Smoothing over a fifth of the width leaves the half-height crossings of a peak where they
// are; it is chosen from a first reading smoothed over a fiftieth of the range, then again
// from the reading it gives. The net profile is the same for every smoothing: it is made
// once, into b, which holds the profile and smoothing of the reading handed back. Then the
// peak's tails are taken out of the flank windows (background_less_tails), each time from
// their counts as measured with the tails of the latest reading, until the width settles;
// not those of a weak peak, nor tails that would take out more than a fifth of the height.
Reading read_half_height(const std::vector<double>& x, const std::vector<double>& y,
                         std::size_t first, std::size_t last, ReadingBuffers& b) {
    const std::size_t n = last - first + 1;
    std::size_t reach = std::max<std::size_t>(2, n / 50);
    if (b.profile.net.size() != x.size() || b.profile.first != first || b.profile.last != last) {
        b = ReadingBuffers{};
    }
    net_profile(x, y, first, last, b.profile);
    b.sums.ready = false;
    Reading r = read_once(x, y, reach, b);
    const double step = (x[last] - x[first]) / static_cast<double>(n - 1);
    for (int pass = 0; pass < 2 && r.failure.empty(); ++pass) {
        const double points = (r.right - r.left) / step;
        const auto next = static_cast<std::size_t>(
            std::clamp(std::lround(kSmoothing * points), 1L, static_cast<long>(n / 8)));
        if (next == reach) {
            break;
        }
        reach = next;
        r = read_once(x, y, reach, b);
    }
    if (!r.failure.empty() || (r.flags & weak) != 0) {
        return r; // a weak peak's tails are lost in the noise: they are not taken out
    }
    const double plain_width = r.right - r.left;
    const FlankBackground plain = b.profile.under;
    for (int pass = 0; pass < kTailPasses; ++pass) {
        // The first pass chooses the kind of background anew from the flanks less the tails,
        // which may hide a rise's slope; the passes after it keep the kind chosen.
        const auto kind = pass == 0 ? std::nullopt : std::optional(b.profile.under.curved());
        const auto clear =
            background_less_tails(x, y, b.profile, r, b.smoothed.net, reach, kind, b.clear);
        if (!clear) {
            r.tails_moved = INFINITY;
            return r;
        }
        const FlankBackground before = b.profile.under;
        rebase(x, y, *clear, b.profile);
        b.sums.ready = false;
        Reading again = read_once(x, y, reach, b);
        if (!again.failure.empty()) { // the reading before stands
            rebase(x, y, before, b.profile);
            b.sums.ready = false;
            r = read_once(x, y, reach, b);
            break;
        }
        const double moved = std::abs(again.right - again.left - (r.right - r.left));
        r = again;
        if (moved < kTailsSettled * (r.right - r.left)) {
            break;
        }
    }
    if (plain.at(r.top.x) - b.profile.background(r.top.x) > kMostTails * r.top.height) {
        // Tails that would hold so much of the peak are no tails of it: the reading stands as
        // the flanks gave it, and reaches the flank.
        rebase(x, y, plain, b.profile);
        b.sums.ready = false;
        r = read_once(x, y, reach, b);
        r.tails_moved = INFINITY;
        return r;
    }
    r.tails_moved = std::abs(r.right - r.left - plain_width) / (r.right - r.left);
    return r;
}

// What the widths read again on Poisson counts drawn around the smoothed profile show: their
// scatter, the share of them that found no width, and, where the draws took the background
// now straight and now curved (each at least one time in ten), how far apart the mean widths
// of the two kinds lie; 0 otherwise.
struct Resampled {
    double scatter = NAN;
    double failed = 0;
    double kinds_apart = 0;
};

Resampled resampled_scatter(const std::vector<double>& x, const ReadingBuffers& measured,
                            std::size_t first, std::size_t last) {
    const auto& p = measured.profile;
    std::vector<double> mean(x.size(), 0.0);
    for (std::size_t i = first; i <= last; ++i) {
        mean[i] = std::max(p.background(x[i]) + measured.smoothed.net[i], 0.0);
    }
    CountDraws random(kResampleSeed);
    std::vector<double> drawn(x.size(), 0.0);
    ReadingBuffers buffers;
    double sum = 0, sum2 = 0, sum_curved = 0;
    int read = 0, curved = 0;
    for (int k = 0; k < kResamples; ++k) {
        for (std::size_t i = first; i <= last; ++i) {
            drawn[i] = random.count(mean[i]);
        }
        const Reading again = read_half_height(x, drawn, first, last, buffers);
        if (again.failure.empty()) {
            const double w = again.right - again.left;
            sum += w;
            sum2 += w * w;
            ++read;
            if (buffers.profile.under.curved()) {
                sum_curved += w;
                ++curved;
            }
        }
    }
    Resampled out;
    out.failed = 1 - read / static_cast<double>(kResamples);
    if (read < 2) {
        return out;
    }
    const double average = sum / read;
    out.scatter = std::sqrt(std::max(sum2 - read * average * average, 0.0) / (read - 1));
    const int straight = read - curved;
    if (10 * curved >= read && 10 * straight >= read) {
        out.kinds_apart = std::abs(sum_curved / curved - (sum - sum_curved) / straight);
    }
    return out;
}

} // namespace

std::optional<PeakRange> range_on_pattern_scale(const Pattern& pattern, const PeakRange& range) {
    if (is_copper(pattern.wavelength)) {
        return range;
    }
    const auto lo = carry_two_theta(range.lo, kCuKAlpha1, *pattern.wavelength);
    const auto hi = carry_two_theta(range.hi, kCuKAlpha1, *pattern.wavelength);
    if (!lo || !hi) {
        return std::nullopt;
    }
    return PeakRange{*lo, *hi};
}

std::string width_text(double width) {
    char text[400]; // the largest double has 309 digits before the point
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, width, std::chars_format::fixed, 4);
    return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range,
                                Uncertainty uncertainty) {
    return measure_peak(pattern, range, uncertainty, count_scale(pattern));
}

namespace {

// A reading's advice: whether a range that would hold a peak reaching the flank is looked for.
enum class Advice { given, none };

Outcome<PeakWidth> measure_in(const Pattern& pattern, const PeakRange& range,
                              Uncertainty uncertainty, const CountScale& scale, Advice suggest);

// A range that holds a peak reaching the flank of lo..hi (on the pattern's own scale), from
// a width read there: a cut peak reads narrow, so a range made from its width can cut it
// too. The peak is read again in the range proposed, without resamples, and the range made
// anew from that wider reading while it still reaches its flank, a few times at most.
std::optional<HoldingRange> range_that_holds(const Pattern& pattern, const CountScale& scale,
                                             double lo, double hi, double top, double width) {
    auto held = holding_range(pattern, lo, hi, top, width);
    for (int pass = 0; pass < kHoldingPasses && held && held->whole; ++pass) {
        const auto again =
            measure_in(pattern, held->range, Uncertainty::skipped, scale, Advice::none);
        if (!again || (again->quality.find(kEdge) == std::string::npos &&
                       again->quality.find(kFlank) == std::string::npos)) {
            break;
        }
        const auto own = range_on_pattern_scale(pattern, held->range);
        width = std::max(width, again->right - again->left);
        const auto wider =
            own ? holding_range(pattern, own->lo, own->hi, again->top, width) : std::nullopt;
        if (!wider || (wider->range.lo >= held->range.lo && wider->range.hi <= held->range.hi)) {
            break;
        }
        held = wider;
    }
    return held;
}

} // namespace

Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range,
                                Uncertainty uncertainty, const CountScale& scale) {
    return measure_in(pattern, range, uncertainty, scale, Advice::given);
}

namespace {

Outcome<PeakWidth> measure_in(const Pattern& pattern, const PeakRange& range,
                              Uncertainty uncertainty, const CountScale& scale, Advice suggest) {
    const std::string& name = pattern.name;
    const std::string span = "between " + degrees(range.lo) + " and " + degrees(range.hi);
    const bool copper = is_copper(pattern.wavelength);
    const auto carried = range_on_pattern_scale(pattern, range);
    if (!carried) {
        return Failure{name + ": the range " + span +
                       " 2θ Cu Kα lies beyond the reach "
                       "of the pattern's wavelength."};
    }
    const double lo = carried->lo;
    const double hi = carried->hi;
    if (!(lo < hi)) {
        return Failure{name + ": the range " + span + " is empty."};
    }
    const auto& x = pattern.two_theta;
    std::vector<double> scaled;
    const auto& y = counts_on_scale(pattern, scale, scaled);
    if (x.empty() || lo < x.front() || hi > x.back()) {
        const auto rounded = [](double value) { return degrees(std::round(value * 1000) / 1000); };
        const std::string own =
            copper ? std::string()
                   : " (" + rounded(lo) + " to " + rounded(hi) + " at the pattern's wavelength)";
        const std::string held =
            x.empty() ? std::string("no points")
                      : "points from " + rounded(x.front()) + " to " + rounded(x.back());
        return Failure{name + ": the range " + span + " 2θ" + (copper ? "" : " Cu Kα") + own +
                       " is not inside the pattern, which holds " + held +
                       "; choose a range "
                       "inside it."};
    }
    const std::size_t first =
        static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), lo) - x.begin());
    const std::size_t end =
        static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), hi) - x.begin());
    const std::size_t n = end > first ? end - first : 0;
    if (n < kMinPatternPoints) {
        return Failure{name + ": fewer than " + std::to_string(kMinPatternPoints) + " points " +
                       span + " 2θ."};
    }
    const std::size_t last = end - 1;
    ReadingBuffers buffers;
    const Reading r = read_half_height(x, y, first, last, buffers);
    if (r.failure == "flat") {
        return Failure{name + ": no peak " + span +
                       " 2θ: the net counts are flat or rise or "
                       "fall throughout."};
    }
    if (r.failure == "faint") {
        return Failure{name + ": no peak " + span +
                       " 2θ: the net height is below three "
                       "standard deviations of the background."};
    }
    if (!r.failure.empty()) {
        // The side that falls gives the width (the range's end, where that side does not).
        const double found =
            (r.failure == "below" ? 2 * (r.right - r.top.x) : 2 * (r.top.x - r.left)) * kFallBeyond;
        const auto held = suggest == Advice::given
                              ? range_that_holds(pattern, scale, x[first], x[last], r.top.x, found)
                              : std::nullopt;
        const std::string advice = held && held->whole
                                       ? ", to " + peak_range_text(held->range) + " for instance"
                                   : held ? " beyond the pattern's end: measure a wider scan"
                                          : "";
        return Failure{name + ": the peak at " + degrees(std::round(r.top.x * 1000) / 1000) +
                       " does not fall to half its height " + r.failure + " it within the range " +
                       span + " 2θ; widen the range" + advice + "."};
    }
    const Resampled resampled = uncertainty == Uncertainty::resampled
                                    ? resampled_scatter(x, buffers, first, last)
                                    : Resampled{};
    const double scatter = resampled.scatter;
    unsigned flags = r.flags;
    // Counting noise that often leaves no width, or that makes the background now straight
    // and now curved where the two read widths more than 2 % apart, leaves the width unsettled.
    if (uncertainty == Uncertainty::resampled &&
        (resampled.failed > 0.05 || !std::isfinite(scatter) ||
         resampled.kinds_apart > kTrueShare * (r.right - r.left))) {
        flags |= unstable;
    }
    // Tails whose taking out moved the width by more than 2 % and by more than twice its u
    // (where it is known) reach the flank: the width then owes more to how they were
    // extrapolated than it claims. A smaller move is within what the width claims.
    const double read = r.right - r.left;
    if (r.tails_moved > kTrueShare && !(r.tails_moved * read <= 2 * scatter)) {
        flags |= in_flank;
    }
    // A range too narrow to hold the peak (its flank windows closer than three widths to
    // the top) is checked: the width is read again in one that holds it, and a width that
    // moves by more than 2 % and twice its u with the range reaches the flank, whether its
    // tails or a background the flanks cannot tell (a rise beside the peak) move it.
    const auto holding = holding_range(pattern, x[first], x[last], r.top.x, read);
    const auto own = range_on_pattern_scale(pattern, holding ? holding->range : range);
    const bool narrow =
        holding && own && (own->lo < x[first] - kRangeSlack || own->hi > x[last] + kRangeSlack);
    if (narrow && (flags & (edge | in_flank)) == 0 && suggest == Advice::given) {
        const auto wider =
            measure_in(pattern, holding->range, Uncertainty::skipped, scale, Advice::none);
        const double allowed =
            std::max(kTrueShare * read, std::isfinite(scatter) ? 2 * scatter : 0);
        if (wider && std::abs(wider->right - wider->left - read) > allowed) {
            flags |= in_flank;
        }
    }
    std::vector<std::string> reasons;
    const std::pair<Flag, const char*> names[] = {{weak, kWeak},       {edge, kEdge},
                                                  {in_flank, kFlank},  {shoulder, kShoulder},
                                                  {breadth, kBreadth}, {unstable, kUnstable}};
    for (const auto& [flag, word] : names) {
        if (flags & flag) {
            reasons.emplace_back(word);
        }
    }

    PeakWidth width;
    width.position = r.top.x;
    width.fwhm = r.right - r.left;
    width.breadth = r.area / r.top.height;
    width.height = r.top.height / scale.factor;
    width.u_fwhm =
        std::isfinite(scatter) || uncertainty == Uncertainty::skipped ? scatter : width.fwhm;
    width.quality = quality_text(reasons);
    width.range_lo = x[first];
    width.range_hi = x[last];
    width.background_lo = buffers.profile.background(x[first]) / scale.factor;
    width.background_hi = buffers.profile.background(x[last]) / scale.factor;
    width.left = r.left;
    width.right = r.right;
    width.top = r.top.x;
    width.peak_lo = r.peak_lo;
    width.peak_hi = r.peak_hi;
    if ((flags & (edge | in_flank)) != 0 && suggest == Advice::given) {
        // Only a range wider than the one read is worth proposing: tails that reach the
        // flank of a range already wide enough by the width's measure get no range.
        const auto held =
            range_that_holds(pattern, scale, x[first], x[last], r.top.x, r.right - r.left);
        const auto held_own = held ? range_on_pattern_scale(pattern, held->range) : std::nullopt;
        if (held && held_own &&
            (held_own->lo < x[first] - kRangeSlack || held_own->hi > x[last] + kRangeSlack)) {
            width.holding = held->range;
            width.holding_whole = held->whole;
        }
    }
    if (!copper) {
        const double factor = width_to_copper(r.top.x, *pattern.wavelength);
        const auto position = carry_two_theta(r.top.x, *pattern.wavelength, kCuKAlpha1);
        width.position = position.value_or(NAN);
        width.fwhm *= factor;
        width.breadth *= factor;
        width.u_fwhm *= factor;
        width.converted = true;
    }
    return width;
}

} // namespace

std::string quality_text(const std::vector<std::string>& reasons) {
    std::string text;
    for (const auto& reason : reasons) {
        text += (text.empty() ? "" : ";") + reason;
    }
    return text.empty() ? "ok" : text;
}

} // namespace teravine
