// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/line_tables.h"

#include "lines/march.h"
#include "model/solvers.h"

namespace teravine {
namespace {

std::vector<SweepColumn> sweep_columns(const Calibration& cal, float x0) {
    std::vector<SweepColumn> columns;
    for_each_sweep_width(cal.range(), x0, [&](float x) {
        SweepColumn column;
        column.x = x;
        for (std::int16_t r = 1; r <= 5; ++r) {
            const auto at = static_cast<std::size_t>(r);
            column.inv_n[at] = Pol5_0(cal.coef_invn, cal.reich, r, x);
            column.recip[at] = single_reciprocal(column.inv_n[at]);
        }
        columns.push_back(column);
        return true;
    });
    return columns;
}

} // namespace

bool LineTables::fit(const Calibration& cal) const {
    if (reich == 0 || cal.reich != reich || !(cal.range() == range)) {
        return false;
    }
    const auto at = static_cast<std::size_t>(reich);
    for (std::size_t r = 1; r <= 5; ++r) {
        if (cal.coef_eg[at][r] != eg_rows[r] || cal.coef_invn[at][r] != invn_rows[r]) {
            return false;
        }
    }
    return true;
}

LineTables make_line_tables(const Calibration& cal) {
    LineTables tables;
    const auto at = static_cast<std::size_t>(cal.reich);
    if (cal.reich < 1 || at >= cal.coef_eg.size()) {
        return tables;
    }
    tables.reich = cal.reich;
    tables.range = cal.range();
    for (std::size_t r = 0; r <= 5; ++r) {
        tables.eg_rows[r] = cal.coef_eg[at][r];
        tables.invn_rows[r] = cal.coef_invn[at][r];
    }
    tables.n_sweep = sweep_columns(cal, kNSweepStart);
    tables.s_sweep = sweep_columns(cal, kSSweepStart);

    // Every step of every march, not only up to the first point.
    PolynomialMarch march(cal);
    for (int q = 0; q < kMarches; ++q) {
        march.begin(q);
        for (int m = 1; m <= kMarchSteps; ++m) {
            MarchStep& step =
                tables.fp_march[static_cast<std::size_t>(q)][static_cast<std::size_t>(m)];
            step.x = march_x(m);
            step.h = march.h(m);
            step.eg = march.eg(m);
        }
    }
    return tables;
}

} // namespace teravine
