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
// by 1 - cos(pi/64) = 0.12 % of the half-width of the interval. The two inner shells
// (2/3 and 1/3 of the radius, 32 and 16 points around) catch an extreme inside, where a
// k row bends within the region. 113 points in the plane, 425 in the ball. Where the
// region leaves the model, the extremes lie on the model's edge inside it: each boundary
// point outside is followed back along its ray to that edge, to float precision (about
// 24 more evaluations, only for a region that is cut).
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
Where identify_values(const Calibration& cal, float ad, float eg, PointValues& out) {
    const KPlace place = find_k(cal.coef_eg, ad, eg, cal.reich);
    if (place.where == Placement::above_diagonal) {
        return Where::above_diagonal;
    }
    if (!place.inside()) {
        return Where::below_rows;
    }
    const auto values = sample_values(cal, place.rec, ad);
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

ValueInterval at_centre(float value) {
    return {value, value, value};
}

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

// One point of the region: the measured pair moved by an offset scaled by t, the
// broadening removed as "Draw" removes it, and identified.
class RegionPoints {
public:
    RegionPoints(const Calibration& cal, float ad, float eg, const BroadeningRemoval& removal,
                 const WidthSigmas& sigmas)
        : cal_(cal), ad_(ad), eg_(eg), removal_(removal), sigmas_(sigmas),
          free_part_(std::sqrt(
              std::max(0.0, 1.0 - static_cast<double>(sigmas.correlation) * sigmas.correlation))) {}

    struct Evaluated {
        Where where = Where::below_rows;
        LinePoint corrected;
        PointValues values;
    };

    Evaluated at(const Offset& o, double t) const {
        static const CorrectionTable kNoTable;
        const double k = sigmas_.k_sigma * t;
        const double rho = sigmas_.correlation;
        auto ad_at = static_cast<float>(ad_ + k * sigmas_.ad * o.u);
        auto eg_at = static_cast<float>(eg_ + k * sigmas_.eg * (rho * o.u + free_part_ * o.v));
        const float b_at = o.w == 0 ? removal_.broadening
                                    : static_cast<float>(std::max(
                                          0.0, removal_.broadening + k * sigmas_.broadening * o.w));
        remove_inst_from_pair(ad_at, eg_at, b_at, removal_.rule,
                              removal_.table ? *removal_.table : kNoTable);
        Evaluated e;
        e.corrected = {ad_at, eg_at};
        e.where = identify_values(cal_, ad_at, eg_at, e.values);
        return e;
    }

    // The farthest point inside the model on the ray from the centre (inside, corrected
    // to `centre`) to the offset (outside, corrected to `outer`), bisected until the
    // corrected pair stops changing in float: the model's edge itself, whatever sigma
    // is, so a wider region never loses it.
    std::optional<PointValues> edge_towards(const Offset& o, LinePoint centre,
                                            LinePoint outer) const {
        double inside = 0;
        double outside = 1;
        std::optional<PointValues> last;
        LinePoint in_point = centre;
        LinePoint out_point = outer;
        for (int step = 0; step < kMaxEdgeSteps; ++step) {
            const double mid = 0.5 * (inside + outside);
            const Evaluated e = at(o, mid);
            const bool same_as_an_end =
                (e.corrected.ad == in_point.ad && e.corrected.eg == in_point.eg) ||
                (e.corrected.ad == out_point.ad && e.corrected.eg == out_point.eg);
            if (e.where == Where::inside) {
                inside = mid;
                in_point = e.corrected;
                last = e.values;
            } else {
                outside = mid;
                out_point = e.corrected;
            }
            if (same_as_an_end) {
                break;
            }
        }
        return last;
    }

private:
    // A float has 24 bits: past them the pair no longer moves.
    static constexpr int kMaxEdgeSteps = 40;

    const Calibration& cal_;
    float ad_;
    float eg_;
    const BroadeningRemoval& removal_;
    const WidthSigmas& sigmas_;
    double free_part_;
};

void widen(WidthUncertainty& out, const PointValues& values) {
    widen(out.n, values.n);
    widen(out.s_pct, values.s_pct);
    widen(out.k, values.k);
    widen(out.nfp, values.nfp);
}

} // namespace

bool sigmas_valid(const WidthSigmas& s) {
    const auto non_negative = [](float x) { return std::isfinite(x) && x >= 0; };
    return non_negative(s.ad) && non_negative(s.eg) && non_negative(s.broadening) &&
           std::isfinite(s.correlation) && std::abs(s.correlation) <= 1 &&
           std::isfinite(s.k_sigma) && s.k_sigma > 0;
}

std::optional<WidthUncertainty> width_uncertainty(const Calibration& cal, float ad, float eg,
                                                  const BroadeningRemoval& removal,
                                                  const WidthSigmas& sigmas) {
    const RegionPoints region(cal, ad, eg, removal, sigmas);
    const std::vector<Offset>& offsets = offsets_for(sigmas);
    const RegionPoints::Evaluated centre = region.at(offsets.front(), 1);
    if (centre.where != Where::inside) {
        return std::nullopt;
    }
    WidthUncertainty out;
    out.points = 1;
    out.n = at_centre(centre.values.n);
    out.s_pct = at_centre(centre.values.s_pct);
    out.k = at_centre(centre.values.k);
    out.nfp = at_centre(centre.values.nfp);
    std::vector<LinePoint> corrected{centre.corrected};
    corrected.reserve(offsets.size());
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        const RegionPoints::Evaluated e = region.at(offsets[i], 1);
        ++out.points;
        if (e.corrected.ad >= 0 && e.corrected.eg >= 0) {
            corrected.push_back(e.corrected);
        }
        switch (e.where) {
        case Where::inside:
            widen(out, e.values);
            continue;
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
        // Outside the model: the extremes lie on its edge, found along the ray.
        if (const auto edge = region.edge_towards(offsets[i], centre.corrected, e.corrected)) {
            widen(out, *edge);
        }
    }
    out.outline = closed_hull(std::move(corrected));
    // The model's own domain: no more than 100 % smectite and at least one fundamental
    // particle, whatever the curves give beyond their edges.
    out.s_pct.high = std::min(out.s_pct.high, std::max(100.0f, out.s_pct.value));
    out.s_pct.low = std::max(out.s_pct.low, std::min(0.0f, out.s_pct.value));
    out.nfp.low = std::max(out.nfp.low, std::min(1.0f, out.nfp.value));
    return out;
}

std::vector<std::optional<WidthUncertainty>>
width_uncertainties(const Calibration& cal, std::span<const MeasuredPair> pairs,
                    const std::optional<WidthSigmas>& shared, unsigned workers) {
    std::vector<std::optional<WidthUncertainty>> results(pairs.size());
    // The calibration is only read: every worker shares it.
    share_out(pairs.size(), workers, [&] {
        return [&](std::size_t i) {
            const MeasuredPair& p = pairs[i];
            if (const auto& sigmas = p.sigmas ? p.sigmas : shared) {
                results[i] = width_uncertainty(cal, p.ad, p.eg, p.removal, *sigmas);
            }
        };
    });
    return results;
}

} // namespace teravine
