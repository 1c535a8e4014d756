// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/uncertainty.h"

#include "identify/sample_values.h"
#include "identify/shared_work.h"
#include "model/solvers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

// A point of the unit region: u moves the AD width, v the part of the EG width not
// correlated with it, w the instrumental width.
struct Offset {
    double u = 0;
    double v = 0;
    double w = 0;
};

// How many points, and why that is enough.
// The region is the unit disk in (u, v), or the unit ball in (u, v, w) when the
// instrumental width is uncertain too. Its boundary carries 64 points around (the
// ball: rings at latitudes of 30 degrees, fewer points the shorter the ring, and the
// two poles). Over a region a few hundredths of a degree across, the values change
// almost linearly with the widths, so their extremes lie on the boundary; the nearest
// boundary point is at most pi/64 away in angle from an extreme and falls short of it
// by 1 - cos(pi/64) = 0.12 % of the half-width of the interval. Where the region leaves
// the model, the extremes lie on the model's edge inside it; the two inner shells
// (2/3 and 1/3 of the radius, 32 and 16 points around) find that edge to a third of
// the radius. 113 points in the plane, 425 in the ball.
struct Shell {
    double radius;
    int around;
};
constexpr Shell kShells[] = {{1.0, 64}, {2.0 / 3.0, 32}, {1.0 / 3.0, 16}};
constexpr int kLatitudeSteps = 3; // 30, 60 and 90 degrees on either side of the equator

std::vector<Offset> region_offsets(bool ball) {
    std::vector<Offset> offsets{{0, 0, 0}}; // the centre comes first
    const int steps = ball ? kLatitudeSteps : 0;
    for (const Shell& shell : kShells) {
        for (int j = -steps; j <= steps; ++j) {
            const double latitude = j * std::numbers::pi / (2 * kLatitudeSteps);
            const double ring = shell.radius * std::cos(latitude);
            const double w = shell.radius * std::sin(latitude);
            const int count =
                std::abs(j) == kLatitudeSteps
                    ? 1
                    : std::max(1, static_cast<int>(std::lround(shell.around * std::cos(latitude))));
            for (int i = 0; i < count; ++i) {
                const double angle = 2 * std::numbers::pi * i / count;
                offsets.push_back({ring * std::cos(angle), ring * std::sin(angle), w});
            }
        }
    }
    return offsets;
}

const std::vector<Offset>& offsets_for(const WidthSigmas& sigmas) {
    static const std::vector<Offset> plane = region_offsets(false);
    static const std::vector<Offset> ball = region_offsets(true);
    return sigmas.broadening > 0 ? ball : plane;
}

enum class Where { inside, above_diagonal, below_rows, not_computable };

struct PointValues {
    float n = 0;
    float s_pct = 0;
    float k = 0;
    float nfp = 0;
};

// The corrected pair identified as identify_point identifies it, without its lines.
Where identify_values(Calibration& cal, float ad, float eg, PointValues& out) {
    InterpRecord located;
    const float status = find_k(located, cal.coef_eg, ad, eg, cal.reich);
    if (status == kAboveDiagonal) {
        return Where::above_diagonal;
    }
    if (status != kInside) {
        return Where::below_rows;
    }
    const auto values = sample_values(cal, located, ad);
    if (!values) {
        return Where::not_computable;
    }
    const auto nfp = label_nfp(*values, ad, eg);
    if (!nfp) {
        return Where::not_computable;
    }
    out = {static_cast<float>(values->n_int), values->s_pct, values->k, static_cast<float>(*nfp)};
    return Where::inside;
}

void widen(ValueInterval& interval, float value) {
    interval.low = std::min(interval.low, value);
    interval.high = std::max(interval.high, value);
}

ValueInterval at_centre(float value) { return {value, value, value}; }

double cross(const LinePoint& o, const LinePoint& a, const LinePoint& b) {
    return (static_cast<double>(a.ad) - o.ad) * (static_cast<double>(b.eg) - o.eg) -
           (static_cast<double>(a.eg) - o.eg) * (static_cast<double>(b.ad) - o.ad);
}

// The convex hull of the points (monotone chain), closed.
Line closed_hull(std::vector<LinePoint> points) {
    std::sort(points.begin(), points.end(), [](const LinePoint& a, const LinePoint& b) {
        return a.ad < b.ad || (a.ad == b.ad && a.eg < b.eg);
    });
    Line hull;
    if (points.empty()) {
        return hull;
    }
    std::vector<LinePoint>& h = hull.points;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t floor = h.size();
        for (const LinePoint& p : points) {
            while (h.size() >= floor + 2 && cross(h[h.size() - 2], h.back(), p) <= 0) {
                h.pop_back();
            }
            h.push_back(p);
        }
        h.pop_back(); // the last point starts the other half
        std::reverse(points.begin(), points.end());
    }
    if (h.empty()) {
        h.push_back(points.front());
    }
    h.push_back(h.front());
    hull.count = static_cast<std::int16_t>(h.size());
    return hull;
}

} // namespace

bool sigmas_valid(const WidthSigmas& s) {
    const auto non_negative = [](float x) { return std::isfinite(x) && x >= 0; };
    return non_negative(s.ad) && non_negative(s.eg) && non_negative(s.broadening) &&
           std::isfinite(s.correlation) && std::abs(s.correlation) <= 1 &&
           std::isfinite(s.k_sigma) && s.k_sigma > 0;
}

std::optional<WidthUncertainty> width_uncertainty(Calibration& cal, float ad, float eg,
                                                  const BroadeningRemoval& removal,
                                                  const WidthSigmas& sigmas) {
    static const CorrectionTable kNoTable;
    const CorrectionTable& table = removal.table ? *removal.table : kNoTable;
    const double rho = sigmas.correlation;
    const double free_part = std::sqrt(std::max(0.0, 1 - rho * rho));
    const double k = sigmas.k_sigma;

    WidthUncertainty out;
    std::vector<LinePoint> corrected;
    const std::vector<Offset>& offsets = offsets_for(sigmas);
    corrected.reserve(offsets.size());
    for (const Offset& o : offsets) {
        auto ad_at = static_cast<float>(ad + k * sigmas.ad * o.u);
        auto eg_at = static_cast<float>(eg + k * sigmas.eg * (rho * o.u + free_part * o.v));
        const auto b_at = static_cast<float>(
            std::max(0.0, removal.broadening + k * sigmas.broadening * o.w));
        remove_inst_from_pair(ad_at, eg_at, o.w == 0 ? removal.broadening : b_at, removal.rule,
                              table);
        if (ad_at >= 0 && eg_at >= 0) {
            corrected.push_back({ad_at, eg_at});
        }
        PointValues values;
        const Where where = identify_values(cal, ad_at, eg_at, values);
        ++out.points;
        if (out.points == 1) { // the centre
            if (where != Where::inside) {
                return std::nullopt;
            }
            out.n = at_centre(values.n);
            out.s_pct = at_centre(values.s_pct);
            out.k = at_centre(values.k);
            out.nfp = at_centre(values.nfp);
            continue;
        }
        switch (where) {
        case Where::inside:
            widen(out.n, values.n);
            widen(out.s_pct, values.s_pct);
            widen(out.k, values.k);
            widen(out.nfp, values.nfp);
            break;
        case Where::above_diagonal:
            ++out.above_diagonal;
            break;
        case Where::below_rows:
            ++out.below_rows;
            break;
        case Where::not_computable:
            ++out.not_computable;
            break;
        }
    }
    out.outline = closed_hull(std::move(corrected));
    return out;
}

std::vector<std::optional<WidthUncertainty>>
width_uncertainties(const Calibration& cal, std::span<const float> ad, std::span<const float> eg,
                    const BroadeningRemoval& removal, const WidthSigmas& sigmas,
                    unsigned workers) {
    const std::size_t count = std::min(ad.size(), eg.size());
    std::vector<std::optional<WidthUncertainty>> results(count);
    // Each worker mixes rows into the scratch rows of its own copy of the tables.
    share_out(count, workers, [&] {
        return [&, own = cal](std::size_t i) mutable {
            results[i] = width_uncertainty(own, ad[i], eg[i], removal, sigmas);
        };
    });
    return results;
}

} // namespace teravine
