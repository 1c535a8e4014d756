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

    void n(Calibration& cal, std::int16_t value, Line& line) const {
        if (memo) {
            memo->n_line(cal, value, line);
        } else if (tables) {
            build_const_n_line(cal, *tables, value, line);
        } else {
            build_const_n_line(cal, value, line);
        }
    }
    void s(Calibration& cal, float value, Line& line) const {
        if (memo) {
            memo->s_line(cal, value, line);
        } else if (tables) {
            build_const_s_line(cal, *tables, value, line);
        } else {
            build_const_s_line(cal, value, line);
        }
    }
    void fp(Calibration& cal, float value, Line& line) const {
        if (memo) {
            memo->fp_line(cal, value, line);
        } else if (tables) {
            build_const_fp_line(cal, *tables, value, line);
        } else {
            build_const_fp_line(cal, value, line);
        }
    }
};

std::optional<PlacedSample> place(Calibration& cal, InterpRecord& interp, float iw_ad, float& iw_eg,
                                  Builders build) {
    if (find_k(interp, cal.coef_eg, iw_ad, iw_eg, cal.reich) != kInside) {
        return std::nullopt;
    }
    PlacedSample placed;
    placed.line_k = constant_k_line(cal); // before anything else rewrites row 6

    const auto values = sample_values(cal, interp, iw_ad);
    if (!values) {
        return std::nullopt;
    }
    const auto nfp = label_nfp(*values, iw_ad, iw_eg);
    if (!nfp) {
        return std::nullopt;
    }

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
    return placed;
}

} // namespace

Line constant_k_line(const Calibration& cal) {
    Line line;
    line.points.reserve(kCurvePoints);
    const CoefRow& mixed = cal.coef_eg[static_cast<std::size_t>(cal.reich)][kScratchRow];
    for (int j = 1; j <= kCurvePoints; ++j) {
        const auto ad = static_cast<float>(j / 100.0);
        line.points.push_back({ad, pol5_row(mixed, ad)});
    }
    line.count = kCurvePoints;
    return line;
}

std::optional<PlacedSample> identify_point(Calibration& cal, InterpRecord& interp, float iw_ad,
                                           float& iw_eg) {
    return place(cal, interp, iw_ad, iw_eg, Builders{});
}

std::optional<PlacedSample> identify_point(Calibration& cal, const LineTables& tables,
                                           InterpRecord& interp, float iw_ad, float& iw_eg) {
    return place(cal, interp, iw_ad, iw_eg, Builders{&tables, nullptr});
}

std::optional<PlacedSample> identify_point(Calibration& cal, LineMemo& memo, InterpRecord& interp,
                                           float iw_ad, float& iw_eg) {
    return place(cal, interp, iw_ad, iw_eg, Builders{&memo.tables(), &memo});
}

} // namespace teravine
