// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/line_tables.h"

#include "lines/march.h"
#include "model/solvers.h"

namespace teravine {
namespace {

// The rows of coef_invn at x.
SweepColumn column_at(const Calibration& cal, float x) {
    SweepColumn column;
    column.x = x;
    for (std::int16_t r = 1; r <= 5; ++r) {
        const auto at = static_cast<std::size_t>(r);
        column.inv_n[at] = Pol5_0(cal.coef_invn, cal.reich, r, x);
        column.recip[at] = single_reciprocal(column.inv_n[at]);
    }
    return column;
}

std::vector<SweepColumn> sweep_columns(const Calibration& cal, float x0) {
    std::vector<SweepColumn> columns;
    for_each_sweep_width(cal.range(), x0, [&](float x) {
        columns.push_back(column_at(cal, x));
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

    // Every step of every march, not only up to the first point, as PolynomialMarch takes
    // them; the rows' values at a width are evaluated once for all nine marches.
    std::array<CoefRow, kMarches> invn_mix{};
    for (int q = 0; q < kMarches; ++q) {
        invn_mix[static_cast<std::size_t>(q)] = interp_row(march_rows(q), cal.coef_invn, cal.reich);
    }
    for (int m = 1; m <= kMarchSteps; ++m) {
        const float x = march_x(m);
        const SweepColumn column = column_at(cal, x);
        for (int q = 0; q < kMarches; ++q) {
            const auto qi = static_cast<std::size_t>(q);
            InterpRecord carried = march_rows(q);
            carried.frac =
                recip_weight(carried.frac, column.recip[static_cast<std::size_t>(carried.row_lo)],
                             column.recip[static_cast<std::size_t>(carried.row_hi)]);
            carried.k = march_k(carried);
            MarchStep& step = tables.fp_march[qi][static_cast<std::size_t>(m)];
            step.x = x;
            step.h = march_h(Pol5_0(invn_mix[qi], x), carried.k);
            step.eg = Pol5_0(interp_row(carried, cal.coef_eg, cal.reich), x);
        }
    }
    return tables;
}

} // namespace teravine
