// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/line_builders.h"

#include "lines/march.h"
#include "lines/row_solvers.h"
#include "lines/row_values.h"
#include "model/solvers.h"

#include <algorithm>
#include <optional>

namespace teravine {
namespace {

// Stores point j (1-based) unless the line is full; false when full.
bool store_point(Line& line, int j, int capacity, float ad, float eg) {
    if (j > capacity) {
        return false;
    }
    line.points.resize(static_cast<std::size_t>(j));
    line.points.back() = LinePoint{ad, eg};
    return true;
}

// A line of constant N or %S: solve(rows, target) at every width that each_width hands
// to its step, the EG width of every solved point stored.
template <class EachWidth, class Solve>
void sweep(EachWidth each_width, float target, Solve solve, Line& line) {
    line.points.clear();
    int j = 1;
    each_width([&](const auto& rows) {
        const std::optional<RowSolution> solved = solve(rows, target);
        if (!solved) {
            return true;
        }
        if (!store_point(line, j, kLineCapacity, rows.x, rows.eg(solved->rec))) {
            return false;
        }
        ++j;
        return true;
    });
    line.count = static_cast<std::int16_t>(j - 1);
}

// The polynomials at every width of the sweep from x0.
auto polynomial_widths(const Calibration& cal, float x0) {
    return [&cal, x0](auto step) {
        for_each_sweep_width(cal.range(), x0, [&](float x) {
            return step(PolynomialRows{cal.coef_invn, &cal.coef_eg, cal.reich, x});
        });
    };
}

// The columns of a sweep laid out in tables.
auto tabled_widths(const LineTables& tables, const std::vector<SweepColumn>& columns) {
    return [&tables, &columns](auto step) {
        for (const SweepColumn& column : columns) {
            if (!step(TabledRows(tables, column))) {
                return;
            }
        }
    };
}

const auto solve_n = [](const auto& rows, float n) { return solve_for_n(rows, n); };
const auto solve_s = [](const auto& rows, float s) { return solve_for_s(rows, s); };

// A line of approximately constant Nfp: on each march the first step where the model's
// 1/Nfp exceeds u. The count leaves out the last point stored.
template <class March> void march_line(March& march, float u, Line& line) {
    line.points.clear();
    int j = 0;
    for (int q = 0; q < kMarches; ++q) {
        march.begin(q);
        for (int m = 1; m <= kMarchSteps; ++m) {
            const auto g = static_cast<float>(static_cast<double>(u) - march.h(m));
            if (g < 0) {
                if (store_point(line, j + 1, kFpLineCapacity, march_x(m), march.eg(m))) {
                    ++j;
                }
                break;
            }
        }
    }
    line.count = static_cast<std::int16_t>(std::max(j - 1, 0));
}

} // namespace

void build_const_n_line(const Calibration& cal, std::int16_t n, Line& line) {
    sweep(polynomial_widths(cal, kNSweepStart), static_cast<float>(n), solve_n, line);
}

void build_const_s_line(const Calibration& cal, float s, Line& line) {
    sweep(polynomial_widths(cal, kSSweepStart), s, solve_s, line);
}

void build_const_fp_line(const Calibration& cal, float u, Line& line) {
    PolynomialMarch march{cal};
    march_line(march, u, line);
}

void build_const_n_line(const Calibration& cal, const LineTables& tables, std::int16_t n,
                        Line& line) {
    if (!tables.fit(cal)) {
        build_const_n_line(cal, n, line);
        return;
    }
    sweep(tabled_widths(tables, tables.n_sweep), static_cast<float>(n), solve_n, line);
}

void build_const_s_line(const Calibration& cal, const LineTables& tables, float s, Line& line) {
    if (!tables.fit(cal)) {
        build_const_s_line(cal, s, line);
        return;
    }
    sweep(tabled_widths(tables, tables.s_sweep), s, solve_s, line);
}

void build_const_fp_line(const Calibration& cal, const LineTables& tables, float u, Line& line) {
    if (!tables.fit(cal)) {
        build_const_fp_line(cal, u, line);
        return;
    }
    TabledMarch march{tables};
    march_line(march, u, line);
}

} // namespace teravine
