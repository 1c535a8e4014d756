// SPDX-License-Identifier: GPL-3.0-or-later
// The steps of the Nfp marches: 1/Nfp of the model and the EG width at AD width m / 100
// along one mix of the k rows, worked out from the polynomials or read from the tables.
#pragma once

#include "lines/line_tables.h"
#include "lines/sweeps.h"
#include "model/calibration.h"
#include "model/polynomial.h"
#include "model/solvers.h"

namespace teravine {

// On the polynomials; begin(q) mixes the march's rows of coef_invn once, eg(m) mixes
// the point's rows of coef_eg.
class PolynomialMarch {
public:
    explicit PolynomialMarch(const Calibration& cal) : cal_(cal) {}

    void begin(int q) {
        rows_ = march_rows(q);
        span_ = k_of_row(rows_.row_hi) - k_of_row(rows_.row_lo);
        invn_mix_ = interp_row(rows_, cal_.coef_invn, cal_.reich);
    }

    // The model's 1/Nfp at step m; the point is taken where u - h < 0.
    double h(int m) {
        const float x = march_x(m);
        const float y = Pol5_0(invn_mix_, x);
        at_ = recip_frac(rows_, cal_.coef_invn, cal_.reich, x);
        at_.k = static_cast<float>(static_cast<double>(k_of_row(at_.row_lo)) +
                                   (1.0 - static_cast<double>(at_.frac)) * span_);
        const double n = 1.0 / static_cast<double>(y);
        const double yy = static_cast<double>(y) * y;
        return yy * ((n - 1.0) * at_.k + n);
    }

    // The EG width at step m, the march's weight carried to coef_eg; after h(m).
    float eg(int m) const { return Pol5_0(interp_row(at_, cal_.coef_eg, cal_.reich), march_x(m)); }

private:
    const Calibration& cal_;
    InterpRecord rows_;
    CoefRow invn_mix_{};
    InterpRecord at_;
    float span_ = 0;
};

// On the steps laid out in tables.
class TabledMarch {
public:
    explicit TabledMarch(const LineTables& tables) : tables_(tables) {}

    void begin(int q) { steps_ = &tables_.fp_march[static_cast<std::size_t>(q)]; }
    double h(int m) const { return (*steps_)[static_cast<std::size_t>(m)].h; }
    float eg(int m) const { return (*steps_)[static_cast<std::size_t>(m)].eg; }

private:
    const LineTables& tables_;
    const std::array<MarchStep, kMarchSteps + 1>* steps_ = nullptr;
};

} // namespace teravine
