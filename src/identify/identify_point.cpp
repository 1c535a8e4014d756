// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_point.h"

#include "identify/sample_values.h"
#include "lines/line_builders.h"
#include "lines/line_memo.h"
#include "model/solvers.h"

namespace teravine {
namespace {

// The three builders: plain, on the tables, or through a memo of lines built before.
struct Builders {
    const LineTables* tables = nullptr;
    LineMemo* memo = nullptr;

    void n(const Calibration& cal, std::int16_t value, Line& line) const {
        if (memo) {
            memo->n_line(cal, value, line);
        } else if (tables) {
            build_const_n_line(cal, *tables, value, line);
        } else {
            build_const_n_line(cal, value, line);
        }
    }
    void s(const Calibration& cal, float value, Line& line) const {
        if (memo) {
            memo->s_line(cal, value, line);
        } else if (tables) {
            build_const_s_line(cal, *tables, value, line);
        } else {
            build_const_s_line(cal, value, line);
        }
    }
    void fp(const Calibration& cal, float value, Line& line) const {
        if (memo) {
            memo->fp_line(cal, value, line);
        } else if (tables) {
            build_const_fp_line(cal, *tables, value, line);
        } else {
            build_const_fp_line(cal, value, line);
        }
    }
};

Identification place(const Calibration& cal, float iw_ad, float iw_eg, Builders build) {
    Identification found;
    found.place = find_k(cal.coef_eg, iw_ad, iw_eg, cal.reich);
    if (!found.place.inside()) {
        return found;
    }
    const InterpRecord& located = found.place.rec;
    auto values = sample_values(cal, located, iw_ad);
    if (!values) {
        found.failure = values.error();
        return found;
    }
    found.values = *values;
    const auto nfp = label_nfp(*values, iw_ad, iw_eg);
    if (!nfp) {
        found.failure = nfp.error();
        return found;
    }

    PlacedSample& placed = found.placed.emplace();
    placed.line_k = constant_k_line(cal, located);
    SampleRecord& rec = placed.record;
    rec.iw_ad = iw_ad;
    rec.iw_eg = iw_eg;
    rec.n = values->n;
    rec.n_int = values->n_int;
    rec.s_pct = values->s_pct;
    rec.fp_pct = values->fp_pct;
    rec.k = values->k;
    rec.nfp = static_cast<std::int16_t>(*nfp);
    rec.label = sample_label(*values, *nfp);

    placed.n_of = rec.n_int;
    build.n(cal, placed.n_of, placed.line_n);

    placed.s_of = static_cast<float>(rec.s_pct / 100.0);
    if (iw_ad > iw_eg) {
        build.s(cal, placed.s_of, placed.line_s);
    } else {
        const float w = cal.range();
        placed.line_s.points = {{0, 0}, {w, w}};
        placed.line_s.count = 2;
    }

    placed.fp_of = static_cast<float>(rec.fp_pct / 100.0);
    build.fp(cal, placed.fp_of, placed.line_fp);
    return found;
}

} // namespace

Line constant_k_line(const Calibration& cal, const InterpRecord& located) {
    Line line;
    line.points.reserve(kCurvePoints);
    const CoefRow mixed = interp_row(located, cal.coef_eg, cal.reich);
    for (int j = 1; j <= kCurvePoints; ++j) {
        const auto ad = static_cast<float>(j / 100.0);
        line.points.push_back({ad, Pol5_0(mixed, ad)});
    }
    line.count = kCurvePoints;
    return line;
}

Identification identify_point(const Calibration& cal, float iw_ad, float iw_eg) {
    return place(cal, iw_ad, iw_eg, Builders{});
}

Identification identify_point(const Calibration& cal, const LineTables& tables, float iw_ad,
                              float iw_eg) {
    return place(cal, iw_ad, iw_eg, Builders{&tables, nullptr});
}

Identification identify_point(const Calibration& cal, LineMemo& memo, float iw_ad, float iw_eg) {
    return place(cal, iw_ad, iw_eg, Builders{&memo.tables(), &memo});
}

} // namespace teravine
