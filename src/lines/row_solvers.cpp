#include "lines/row_solvers.h"

#include "lines/solver_steps.h"
#include "model/solvers.h"

#include <cmath>

namespace teravine {

using namespace solver_steps;

float solve_row_for_n(InterpRecord& rec, CoefTable& coef_invn, float x, float n, std::int16_t reich,
                      int* passes) {
    auto value = [&](std::int16_t row) { return Pol5_0(coef_invn, reich, row, x); };
    const float t = static_cast<float>(1.0 / static_cast<double>(n));
    const float y1 = value(1);
    const float y5 = value(5);
    if (!(y5 <= t && t <= y1)) { // also refuses NaN
        return kOutside;
    }
    std::int16_t r = 2;
    while (r < 5 && t < value(r)) {
        ++r;
    }
    InterpRecord local = bracket(r);
    const float span = k_of_row(r) - k_of_row(r - 1);
    float step = 0.5f;
    float diff = -1;
    InterpRecord out = rec;
    int count = 0;
    do {
        if (++count > kMaxBisectionPasses) {
            return kOutside;
        }
        local.frac = moved(local.frac, step, diff > 0);
        step = step / 2;
        interp_row(local, coef_invn, reich);
        const float y6 = value(kScratchRow);
        diff = static_cast<float>(static_cast<double>(t) - y6);
        out = local;
        recip_frac(out, coef_invn, reich, x);
        out.k = k_between(out, span);
    } while (!(std::fabs(diff) <= 0.00001f)); // a NaN difference is not converged
    if (!usable(out)) {
        return kOutside;
    }
    if (passes != nullptr) {
        *passes = count;
    }
    rec = out;
    return kInside;
}

float solve_row_for_s(InterpRecord& rec, CoefTable& coef_invn, float x, float s, std::int16_t reich,
                      int* passes) {
    auto value = [&](std::int16_t row) { return Pol5_0(coef_invn, reich, row, x); };
    const float y5 = value(5);
    if (!(s >= 0 && static_cast<double>(s) <= 3.0 * y5)) { // also refuses NaN
        return kOutside;
    }
    std::int16_t r = 2;
    if (s > 0) {
        while (r < 5 && !(static_cast<double>(s) <= static_cast<double>(value(r)) * k_of_row(r))) {
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
        interp_row(local, coef_invn, reich);
        const float y6 = value(kScratchRow);
        out = local;
        recip_frac(out, coef_invn, reich, x);
        const float kk = k_between(out, span);
        out.k = kk;
        diff = static_cast<float>(static_cast<double>(s) -
                                  static_cast<double>(kk) * static_cast<double>(y6));
    } while (!(std::fabs(diff) <= 0.000001f));
    if (!usable(out)) {
        return kOutside;
    }
    if (passes != nullptr) {
        *passes = count;
    }
    rec = out;
    return kInside;
}

} // namespace teravine
