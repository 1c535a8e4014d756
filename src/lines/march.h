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

// k at a march's place carried to N terms (at.frac), between its two rows.
inline float march_k(const InterpRecord& at) {
    const float span = k_of_row(at.row_hi) - k_of_row(at.row_lo);
    return static_cast<float>(static_cast<double>(k_of_row(at.row_lo)) +
                              (1.0 - static_cast<double>(at.frac)) * span);
}

// The model's 1/Nfp where the march's mixed 1/N is y and k is k.
inline double march_h(float y, float k) {
    const double n = 1.0 / static_cast<double>(y);
    const double yy = static_cast<double>(y) * y;
    return yy * ((n - 1.0) * k + n);
}

// On the polynomials; begin(q) mixes the march's rows of coef_invn once, eg(m) mixes
// the point's rows of coef_eg.
class PolynomialMarch {
public:
    explicit PolynomialMarch(const Calibration& cal) : cal_(cal) {}

    void begin(int q) {
        rows_ = march_rows(q);
        invn_mix_ = interp_row(rows_, cal_.coef_invn, cal_.reich);
    }

    // The model's 1/Nfp at step m; the point is taken where u - h < 0.
    double h(int m) {
        const float x = march_x(m);
        at_ = recip_frac(rows_, cal_.coef_invn, cal_.reich, x);
        at_.k = march_k(at_);
        return march_h(Pol5_0(invn_mix_, x), at_.k);
    }

    // The EG width at step m, the march's weight carried to coef_eg; after h(m).
    float eg(int m) const { return Pol5_0(interp_row(at_, cal_.coef_eg, cal_.reich), march_x(m)); }

private:
    const Calibration& cal_;
    InterpRecord rows_;
    CoefRow invn_mix_{};
    InterpRecord at_;
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
