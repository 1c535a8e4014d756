// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/peak_width.h"

#include "patterns/anode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
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
    const double local_variance = (1 - t) * (1 - t) * std::max(y[outside], 0.0) +
                                  t * t * std::max(y[inside], 0.0);
    const std::size_t in = inside > outside ? inside + reach : inside - reach;
    const std::size_t out = inside > outside ? outside - reach : outside + reach;
    const double slope = std::max(std::abs((net[in] - net[out]) / (x[in] - x[out])),
                                  std::abs((net[inside] - net[outside]) /
                                           (x[inside] - x[outside])) * 1e-3);
    return {x[outside] + t * (x[inside] - x[outside]), local_variance / (slope * slope), slope};
}

} // namespace

Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range) {
    const std::string& name = pattern.name;
    const std::string span = "between " + degrees(range.lo) + " and " + degrees(range.hi);
    const bool copper = is_copper(pattern.wavelength);
    double lo = range.lo;
    double hi = range.hi;
    if (!copper) {
        const auto carried_lo = carry_two_theta(range.lo, kCuKAlpha1, *pattern.wavelength);
        const auto carried_hi = carry_two_theta(range.hi, kCuKAlpha1, *pattern.wavelength);
        if (!carried_lo || !carried_hi) {
            return Failure{name + ": the range " + span + " 2θ Cu Kα lies beyond the reach "
                                  "of the pattern's wavelength."};
        }
        lo = *carried_lo;
        hi = *carried_hi;
    }
    if (!(lo < hi)) {
        return Failure{name + ": the range " + span + " is empty."};
    }
    const auto& x = pattern.two_theta;
    const auto& y = pattern.counts;
    const std::size_t first = static_cast<std::size_t>(
        std::lower_bound(x.begin(), x.end(), lo) - x.begin());
    const std::size_t end = static_cast<std::size_t>(
        std::upper_bound(x.begin(), x.end(), hi) - x.begin());
    const std::size_t n = end > first ? end - first : 0;
    if (n < kMinPatternPoints) {
        return Failure{name + ": fewer than " + std::to_string(kMinPatternPoints) +
                       " points " + span + " 2θ."};
    }
    const std::size_t last = end - 1;

    const std::size_t window = std::max<std::size_t>(3, n / 10);
    const Anchor left_flank = flank(x, y, first, window);
    const Anchor right_flank = flank(x, y, end - window, window);
    const double slope = (right_flank.y - left_flank.y) / (right_flank.x - left_flank.x);
    const auto background = [&](double at) { return left_flank.y + slope * (at - left_flank.x); };

    std::vector<double> net(x.size(), 0.0);
    for (std::size_t i = first; i <= last; ++i) {
        net[i] = y[i] - background(x[i]);
    }
    std::size_t peak = first;
    double smooth_top = -INFINITY;
    std::vector<double> smooth(x.size(), 0.0);
    for (std::size_t i = first; i <= last; ++i) {
        smooth[i] = i == first || i == last ? net[i] : (net[i - 1] + 2 * net[i] + net[i + 1]) / 4;
        if (smooth[i] > smooth_top) {
            smooth_top = smooth[i];
            peak = i;
        }
    }
    if (peak < first + window || peak + window > last || !(smooth_top > 0)) {
        return Failure{name + ": no peak " + span + " 2θ: the net counts are flat or rise or "
                                                    "fall throughout."};
    }

    std::size_t top_first = peak - 1;
    std::size_t top_last = peak + 1;
    while (top_first > first && smooth[top_first - 1] >= 0.8 * smooth_top) {
        --top_first;
    }
    while (top_last < last && smooth[top_last + 1] >= 0.8 * smooth_top) {
        ++top_last;
    }
    // The walks start at the highest unsmoothed point; a fitted top is taken only when it
    // is not above twice that point's height, so half of it is always bracketed.
    std::size_t crest = peak;
    for (std::size_t i = top_first; i <= top_last; ++i) {
        crest = net[i] > net[crest] ? i : crest;
    }
    Top top = top_of(x, net, peak, top_first, top_last);
    if (!(top.height > 0 && top.height <= 2 * net[crest])) {
        top = {x[crest], net[crest]};
    }
    peak = crest;

    // The background's own counting noise, or its scatter where that is larger.
    const double at_peak = std::clamp((top.x - left_flank.x) / (right_flank.x - left_flank.x),
                                      0.0, 1.0);
    const double background_variance = (1 - at_peak) * (1 - at_peak) * left_flank.variance +
                                       at_peak * at_peak * right_flank.variance;
    double scatter = 0;
    for (std::size_t i = 0; i < window; ++i) {
        scatter += net[first + i] * net[first + i] + net[last - i] * net[last - i];
    }
    const double sigma = std::max(std::sqrt(std::max(background(top.x), 0.0)),
                                  std::sqrt(scatter / static_cast<double>(2 * window)));
    if (!(top.height > 3 * sigma)) {
        return Failure{name + ": no peak " + span + " 2θ: the net height is below three "
                              "standard deviations of the background."};
    }

    const double half = top.height / 2;
    std::size_t left = peak;
    while (left > first && net[left - 1] >= half) {
        --left;
    }
    std::size_t right = peak;
    while (right < last && net[right + 1] >= half) {
        ++right;
    }
    // A crossing inside a flank window means the background was drawn on the peak.
    const bool short_below = left <= first + window;
    if (short_below || right + window >= last) {
        return Failure{name + ": the peak at " + degrees(std::round(top.x * 1000) / 1000) +
                       " does not fall to half its height " + (short_below ? "below" : "above") +
                       " it clear of the flanks of the range " + span + " 2θ; widen the range."};
    }
    // Points within a tenth of the width, kept between the top and the range's ends.
    const double step = (x[last] - x[first]) / static_cast<double>(n - 1);
    std::size_t reach = static_cast<std::size_t>(0.1 * (x[right] - x[left]) / step);
    reach = std::min({reach, left - first - 1, last - right - 1, peak - left, right - peak});
    const Crossing rise = crossing(x, y, net, left, left - 1, half, reach);
    const Crossing fall = crossing(x, y, net, right, right + 1, half, reach);

    double area = 0;
    for (std::size_t i = first; i < last; ++i) {
        area += (net[i] + net[i + 1]) / 2 * (x[i + 1] - x[i]);
    }
    // Half height in raw counts is (top + background) / 2: both move both crossings. The
    // top of a parabola through m points scatters as about 9 / (4 m) of one point.
    const double fitted = static_cast<double>(top_last - top_first + 1);
    const double top_variance = std::max(y[peak], 0.0) * std::min(1.0, 2.25 / fitted);
    const double level_variance = (top_variance + background_variance) / 4;
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
    width.background_lo = background(x[first]);
    width.background_hi = background(x[last]);
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
