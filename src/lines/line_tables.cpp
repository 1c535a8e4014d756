#include "lines/line_tables.h"

#include "lines/line_builders.h"
#include "model/solvers.h"

namespace teravine {
namespace {

float k_of_row(int row) {
    return kKRow[static_cast<std::size_t>(row)];
}

std::vector<SweepColumn> sweep_columns(const Calibration& cal, float x0) {
    std::vector<SweepColumn> columns;
    float x = x0;
    // The builders' own loop: the test before the step, the sum kept in single precision.
    while (!(x > cal.range())) {
        x = static_cast<float>(static_cast<double>(x) + kSweepStep);
        SweepColumn column;
        column.x = x;
        for (std::int16_t r = 1; r <= 5; ++r) {
            const auto at = static_cast<std::size_t>(r);
            column.inv_n[at] = Pol5_0(cal.coef_invn, cal.reich, r, x);
            column.recip[at] = single_reciprocal(column.inv_n[at]);
        }
        columns.push_back(column);
    }
    return columns;
}

// The march of build_const_fp_line along row 6 of coef_invn as b mixes it, every step
// kept instead of stopping at the first point.
void march_steps(Calibration& scratch, const InterpRecord& b, float span,
                 std::array<MarchStep, kMarchSteps + 1>& steps) {
    const std::int16_t reich = scratch.reich;
    interp_row(b, scratch.coef_invn, reich);
    for (int m = 1; m <= kMarchSteps; ++m) {
        MarchStep& step = steps[static_cast<std::size_t>(m)];
        const float x = static_cast<float>(m * 0.01);
        const float y = Pol5_0(scratch.coef_invn, reich, kScratchRow, x);
        InterpRecord a = b;
        recip_frac(a, scratch.coef_invn, reich, x);
        a.k = static_cast<float>(static_cast<double>(k_of_row(a.row_lo)) +
                                 (1.0 - static_cast<double>(a.frac)) * span);
        const double n = 1.0 / static_cast<double>(y);
        const double yy = static_cast<double>(y) * y;
        step.x = x;
        step.h = yy * ((n - 1.0) * a.k + n);
        interp_row(a, scratch.coef_eg, reich);
        step.eg = Pol5_0(scratch.coef_eg, reich, kScratchRow, x);
    }
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

    // Rows 5 .. 2, each as itself (weight 0) and as the row below (weight 1), then row 1.
    Calibration scratch = cal;
    std::size_t q = 0;
    for (std::int16_t r = 5; r >= 2; --r) {
        InterpRecord b;
        b.row_lo = static_cast<std::int16_t>(r - 1);
        b.row_hi = r;
        for (int t = 0; t <= 1; ++t) {
            b.frac = static_cast<float>(t);
            march_steps(scratch, b, k_of_row(r) - k_of_row(r - 1), tables.fp_march[q++]);
        }
    }
    InterpRecord b;
    b.row_lo = 1;
    b.row_hi = 2;
    b.frac = 1;
    march_steps(scratch, b, k_of_row(2) - k_of_row(1), tables.fp_march[q]);
    return tables;
}

} // namespace teravine
