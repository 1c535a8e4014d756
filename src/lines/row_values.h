// SPDX-License-Identifier: GPL-3.0-or-later
// Where the row solvers and line builders take a row's values from at one AD width:
// the polynomials of the tables at x, or the per-Reichweite tables at a sweep's index.
// Both give the very same floats; the tables only spare evaluating them again.
#pragma once

#include "lines/line_tables.h"
#include "model/calibration.h"
#include "model/polynomial.h"
#include "model/solvers.h"

#include <cstdint>

namespace teravine {

// The polynomials at x; every mix is a row of its own, evaluated at once.
struct PolynomialRows {
    const CoefTable& coef_invn;
    const CoefTable* coef_eg; // only for eg(); may be null for the solvers alone
    std::int16_t reich;
    float x;

    float inv_n(std::int16_t row) const { return Pol5_0(coef_invn, reich, row, x); }
    float mixed_inv_n(const InterpRecord& rec) const {
        return Pol5_0(interp_row(rec, coef_invn, reich), x);
    }
    // rec.frac carried from the mix of the 1/N rows to N terms.
    float recip_weight_of(const InterpRecord& rec) const {
        return recip_frac(rec, coef_invn, reich, x).frac;
    }
    float eg(const InterpRecord& rec) const { return Pol5_0(interp_row(rec, *coef_eg, reich), x); }
};

// One column of a sweep laid out in LineTables.
struct TabledRows {
    const LineTables& tables;
    const SweepColumn& column;
    float x;

    TabledRows(const LineTables& t, const SweepColumn& col) : tables(t), column(col), x(col.x) {}

    float inv_n(std::int16_t row) const { return column.inv_n[static_cast<std::size_t>(row)]; }
    float mixed_inv_n(const InterpRecord& rec) const { return mixed(tables.invn_rows, rec); }
    float recip_weight_of(const InterpRecord& rec) const {
        return recip_weight(rec.frac, column.recip[static_cast<std::size_t>(rec.row_lo)],
                            column.recip[static_cast<std::size_t>(rec.row_hi)]);
    }
    float eg(const InterpRecord& rec) const { return mixed(tables.eg_rows, rec); }

private:
    float mixed(const std::array<CoefRow, 6>& rows, const InterpRecord& rec) const {
        return Pol5_0(mix_rows(rec.frac, rows[static_cast<std::size_t>(rec.row_lo)],
                               rows[static_cast<std::size_t>(rec.row_hi)]),
                      x);
    }
};

} // namespace teravine
