#include "lines/tabled_builders.h"

#include "lines/line_builders.h"
#include "lines/solver_steps.h"
#include "model/solvers.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

// The steps below are those of lines/row_solvers.cpp and lines/line_builders.cpp, with
// every value of a row at a sweep width read from the tables. Each expression keeps its
// operations, their order and their precision, so each float comes out the same.

using namespace solver_steps;

const CoefRow& row_of(const std::array<CoefRow, 6>& rows, std::int16_t r) {
    return rows[static_cast<std::size_t>(r)];
}

// Value at x of the rows of coef_invn mixed with weight frac.
float mixed_inv_n(const LineTables& t, const InterpRecord& rec, float x) {
    return pol5_row(
        mix_rows(rec.frac, row_of(t.invn_rows, rec.row_lo), row_of(t.invn_rows, rec.row_hi)), x);
}

float recip_weight_at(const SweepColumn& col, const InterpRecord& rec) {
    return recip_weight(rec.frac, col.recip[static_cast<std::size_t>(rec.row_lo)],
                        col.recip[static_cast<std::size_t>(rec.row_hi)]);
}

// solve_row_for_n at a sweep width. Only the last pass's record leaves the bisection,
// so its weight is carried to N terms once, after it.
float solve_n_at(InterpRecord& rec, const LineTables& t, const SweepColumn& col, float n) {
    const float target = static_cast<float>(1.0 / static_cast<double>(n));
    if (!(col.inv_n[5] <= target && target <= col.inv_n[1])) {
        return kOutside;
    }
    std::int16_t r = 2;
    while (r < 5 && target < col.inv_n[static_cast<std::size_t>(r)]) {
        ++r;
    }
    InterpRecord local = bracket(r);
    const float span = k_of_row(r) - k_of_row(r - 1);
    float step = 0.5f;
    float diff = -1;
    int count = 0;
    do {
        if (++count > kMaxBisectionPasses) {
            return kOutside;
        }
        local.frac = moved(local.frac, step, diff > 0);
        step = step / 2;
        const float y6 = mixed_inv_n(t, local, col.x);
        diff = static_cast<float>(static_cast<double>(target) - y6);
    } while (!(std::fabs(diff) <= 0.00001f));
    InterpRecord out = local;
    out.frac = recip_weight_at(col, local);
    out.k = k_between(out, span);
    if (!usable(out)) {
        return kOutside;
    }
    rec = out;
    return kInside;
}

// solve_row_for_s at a sweep width.
float solve_s_at(InterpRecord& rec, const LineTables& t, const SweepColumn& col, float s) {
    if (!(s >= 0 && static_cast<double>(s) <= 3.0 * col.inv_n[5])) {
        return kOutside;
    }
    std::int16_t r = 2;
    if (s > 0) {
        while (r < 5 &&
               !(static_cast<double>(s) <=
                 static_cast<double>(col.inv_n[static_cast<std::size_t>(r)]) * k_of_row(r))) {
            ++r;
        }
    }
    InterpRecord local = bracket(r);
    const float span = k_of_row(r) - k_of_row(r - 1);
    float step = 0.5f;
    float diff = 1;
    InterpRecord out = rec;
    int count = 0;
    do {
        if (++count > kMaxBisectionPasses) {
            return kOutside;
        }
        local.frac = moved(local.frac, step, diff < 0);
        step = step / 2;
        const float y6 = mixed_inv_n(t, local, col.x);
        out = local;
        out.frac = recip_weight_at(col, local);
        const float kk = k_between(out, span);
        out.k = kk;
        diff = static_cast<float>(static_cast<double>(s) -
                                  static_cast<double>(kk) * static_cast<double>(y6));
    } while (!(std::fabs(diff) <= 0.000001f));
    if (!usable(out)) {
        return kOutside;
    }
    rec = out;
    return kInside;
}

template <class Solver>
void sweep(const LineTables& t, const std::vector<SweepColumn>& columns, float target,
           Solver solver, Line& line) {
    line.points.clear();
    line.points.reserve(std::min(columns.size(), static_cast<std::size_t>(kLineCapacity)));
    int j = 1;
    InterpRecord rec;
    for (const SweepColumn& col : columns) {
        if (solver(rec, t, col, target) != kInside) {
            continue;
        }
        if (j > kLineCapacity) {
            break;
        }
        const float eg = pol5_row(
            mix_rows(rec.frac, row_of(t.eg_rows, rec.row_lo), row_of(t.eg_rows, rec.row_hi)),
            col.x);
        line.points.push_back(LinePoint{col.x, eg});
        ++j;
    }
    line.count = static_cast<std::int16_t>(j - 1);
}

} // namespace

void build_const_n_line(Calibration& cal, const LineTables& tables, std::int16_t n, Line& line) {
    if (!tables.fit(cal)) {
        build_const_n_line(cal, n, line);
        return;
    }
    sweep(tables, tables.n_sweep, static_cast<float>(n), solve_n_at, line);
}

void build_const_s_line(Calibration& cal, const LineTables& tables, float s, Line& line) {
    if (!tables.fit(cal)) {
        build_const_s_line(cal, s, line);
        return;
    }
    sweep(tables, tables.s_sweep, s, solve_s_at, line);
}

void build_const_fp_line(Calibration& cal, const LineTables& tables, float u, Line& line) {
    if (!tables.fit(cal)) {
        build_const_fp_line(cal, u, line);
        return;
    }
    line.points.clear();
    line.points.reserve(kMarches);
    int j = 0;
    for (const auto& march : tables.fp_march) {
        for (int m = 1; m <= kMarchSteps; ++m) {
            const MarchStep& step = march[static_cast<std::size_t>(m)];
            const auto g = static_cast<float>(static_cast<double>(u) - step.h);
            if (g < 0) {
                if (j + 1 <= kFpLineCapacity) {
                    line.points.push_back(LinePoint{step.x, step.eg});
                    ++j;
                }
                break;
            }
        }
    }
    line.count = static_cast<std::int16_t>(std::max(j - 1, 0));
}

} // namespace teravine
