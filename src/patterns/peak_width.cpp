// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/peak_width.h"

#include "patterns/anode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace teravine {
namespace {

std::string degrees(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end) + "°";
}

struct Anchor {
    double x = 0;
    double y = 0;
    double variance = 0; // of y, from counting
};

// The lower half of the window's points, by counts: mean angle and mean counts. A
// straight background stays exact, counting noise only lowers it a little on both ends.
Anchor flank(const std::vector<double>& x, const std::vector<double>& y, std::size_t from,
             std::size_t count) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), from);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return y[a] < y[b]; });
    const std::size_t used = (count + 1) / 2;
    Anchor anchor;
    for (std::size_t k = 0; k < used; ++k) {
        anchor.x += x[order[k]];
        anchor.y += y[order[k]];
    }
    anchor.x /= static_cast<double>(used);
    anchor.y /= static_cast<double>(used);
    anchor.variance = std::max(anchor.y, 0.0) / static_cast<double>(used);
    return anchor;
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

struct Crossing {
    double x = 0;
    double variance = 0; // of x, from the counts of the two points
    double slope = 0;    // |d net / d 2θ| there
};

// Between point `inside` (at or above the level) and its neighbour `outside` (below it).
// The slope that turns a count's error into an angle's is taken over a tenth of the
// width around the crossing, as two noisy neighbours alone can be nearly level.
Crossing crossing(const std::vector<double>& x, const std::vector<double>& y,
                  const std::vector<double>& net, std::size_t inside, std::size_t outside,
                  double level, std::size_t reach) {
    const double t = (level - net[outside]) / (net[inside] - net[outside]);
    const double local_variance =
        (1 - t) * (1 - t) * std::max(y[outside], 0.0) + t * t * std::max(y[inside], 0.0);
    const std::size_t in = inside > outside ? inside + reach : inside - reach;
    const std::size_t out = inside > outside ? outside - reach : outside + reach;
    const double slope =
        std::max(std::abs((net[in] - net[out]) / (x[in] - x[out])),
                 std::abs((net[inside] - net[outside]) / (x[inside] - x[outside])) * 1e-3);
    return {x[outside] + t * (x[inside] - x[outside]), local_variance / (slope * slope), slope};
}

// The range's points, the straight background through its flanks and the net counts.
struct NetProfile {
    std::size_t first = 0, last = 0; // the range's points, inclusive
    std::size_t window = 0;          // points of each flank window
    Anchor left, right;
    std::vector<double> net; // indexed as the pattern; 0 outside the range
    bool counted = true;     // every count a whole number, as a detector counts

    double background(double at) const {
        return left.y + (right.y - left.y) / (right.x - left.x) * (at - left.x);
    }
    // Of the background at `at`, from the counts of the two flanks.
    double background_variance(double at) const {
        const double f = std::clamp((at - left.x) / (right.x - left.x), 0.0, 1.0);
        return (1 - f) * (1 - f) * left.variance + f * f * right.variance;
    }
    // The background's own counting noise, or the flanks' scatter where that is larger.
    // Counts per second or scaled intensities have no counting noise to go by.
    double background_sigma(double at) const {
        double scatter = 0;
        for (std::size_t i = 0; i < window; ++i) {
            scatter += net[first + i] * net[first + i] + net[last - i] * net[last - i];
        }
        const double poisson = counted ? std::sqrt(std::max(background(at), 0.0)) : 0.0;
        return std::max(poisson, std::sqrt(scatter / static_cast<double>(2 * window)));
    }
};

NetProfile net_profile(const std::vector<double>& x, const std::vector<double>& y,
                       std::size_t first, std::size_t last) {
    NetProfile p;
    p.first = first;
    p.last = last;
    p.window = std::max<std::size_t>(3, (last - first + 1) / 10);
    p.left = flank(x, y, first, p.window);
    p.right = flank(x, y, last + 1 - p.window, p.window);
    p.net.assign(x.size(), 0.0);
    for (std::size_t i = first; i <= last; ++i) {
        p.net[i] = y[i] - p.background(x[i]);
        p.counted = p.counted && y[i] == std::floor(y[i]);
    }
    return p;
}

struct PeakTop {
    std::size_t crest = 0;  // the highest unsmoothed point near the top: the walks start here
    Top top;                // height and 2θ
    std::size_t fitted = 1; // points the top was fitted through
    double smoothed = 0;    // the smoothed net height, which counting noise lifts less
};

// The highest point of the net counts smoothed over three points, refined by top_of; a
// fitted top is taken only when it is not above twice the crest, so half of it is always
// bracketed. Nothing when the top lies in a flank window or is not above the background.
std::optional<PeakTop> find_top(const std::vector<double>& x, const NetProfile& p) {
    const auto& net = p.net;
    std::vector<double> smooth(net.size(), 0.0);
    std::size_t peak = p.first;
    for (std::size_t i = p.first; i <= p.last; ++i) {
        smooth[i] =
            i == p.first || i == p.last ? net[i] : (net[i - 1] + 2 * net[i] + net[i + 1]) / 4;
        peak = smooth[i] > smooth[peak] ? i : peak;
    }
    if (peak < p.first + p.window || peak + p.window > p.last || !(smooth[peak] > 0)) {
        return std::nullopt;
    }
    std::size_t from = peak - 1;
    std::size_t to = peak + 1;
    while (from > p.first && smooth[from - 1] >= 0.8 * smooth[peak]) {
        --from;
    }
    while (to < p.last && smooth[to + 1] >= 0.8 * smooth[peak]) {
        ++to;
    }
    PeakTop found;
    found.smoothed = smooth[peak];
    found.crest = peak;
    for (std::size_t i = from; i <= to; ++i) {
        found.crest = net[i] > net[found.crest] ? i : found.crest;
    }
    found.top = top_of(x, net, peak, from, to);
    found.fitted = to - from + 1;
    if (!(found.top.height > 0 && found.top.height <= 2 * net[found.crest])) {
        found.top = {x[found.crest], net[found.crest]};
    }
    return found;
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

Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range) {
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
    const auto& y = pattern.counts;
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
    const NetProfile profile = net_profile(x, y, first, last);
    const auto& net = profile.net;
    const auto found = find_top(x, profile);
    if (!found) {
        return Failure{name + ": no peak " + span +
                       " 2θ: the net counts are flat or rise or "
                       "fall throughout."};
    }
    const Top top = found->top;
    if (!(found->smoothed > 3 * profile.background_sigma(top.x))) {
        return Failure{name + ": no peak " + span +
                       " 2θ: the net height is below three "
                       "standard deviations of the background."};
    }

    const double half = top.height / 2;
    const std::size_t crest = found->crest;
    std::size_t left = crest;
    while (left > first && net[left - 1] >= half) {
        --left;
    }
    std::size_t right = crest;
    while (right < last && net[right + 1] >= half) {
        ++right;
    }
    // A crossing inside a flank window means the background was drawn on the peak.
    const std::size_t window = profile.window;
    const bool short_below = left <= first + window;
    if (short_below || right + window >= last) {
        return Failure{name + ": the peak at " + degrees(std::round(top.x * 1000) / 1000) +
                       " does not fall to half its height " + (short_below ? "below" : "above") +
                       " it clear of the flanks of the range " + span + " 2θ; widen the range."};
    }
    // Points within a tenth of the width, kept between the crest and the flanks.
    const double step = (x[last] - x[first]) / static_cast<double>(n - 1);
    std::size_t reach = static_cast<std::size_t>(0.1 * (x[right] - x[left]) / step);
    reach = std::min({reach, left - first - 1, last - right - 1, crest - left, right - crest});
    const Crossing rise = crossing(x, y, net, left, left - 1, half, reach);
    const Crossing fall = crossing(x, y, net, right, right + 1, half, reach);

    double area = 0;
    for (std::size_t i = first; i < last; ++i) {
        area += (net[i] + net[i + 1]) / 2 * (x[i + 1] - x[i]);
    }
    // Half height in raw counts is (top + background) / 2: both move both crossings. The
    // top of a parabola through m points scatters as about 9 / (4 m) of one point.
    const double fitted = static_cast<double>(found->fitted);
    const double top_variance = std::max(y[crest], 0.0) * std::min(1.0, 2.25 / fitted);
    const double level_variance = (top_variance + profile.background_variance(top.x)) / 4;
    const double level_lever = 1 / rise.slope + 1 / fall.slope;
    const double variance =
        rise.variance + fall.variance + level_lever * level_lever * level_variance;

    PeakWidth width;
    width.position = top.x;
    width.fwhm = fall.x - rise.x;
    width.breadth = area / top.height;
    width.height = top.height;
    width.u_fwhm = std::sqrt(variance);
    width.range_lo = x[first];
    width.range_hi = x[last];
    width.background_lo = profile.background(x[first]);
    width.background_hi = profile.background(x[last]);
    width.left = rise.x;
    width.right = fall.x;
    width.top = top.x;
    if (!copper) {
        const double factor = width_to_copper(top.x, *pattern.wavelength);
        const auto position = carry_two_theta(top.x, *pattern.wavelength, kCuKAlpha1);
        width.position = position.value_or(NAN);
        width.fwhm *= factor;
        width.breadth *= factor;
        width.u_fwhm *= factor;
        width.converted = true;
    }
    return width;
}

} // namespace teravine
