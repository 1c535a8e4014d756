// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/boule.h"

namespace teravine {

void boule_step(BallRun& run) {
    run.u = run.u - 1;
    run.v = run.v + 0.2f;
    if (run.u < 30) {
        run.u = 131;
        run.v = 15;
        run.k = 130;
    }
    if (run.u < run.k) {
        run.line_visible = true;
        run.k = static_cast<std::int16_t>(run.k - 5);
    }
    if (run.u < run.k + 3) {
        run.line_visible = false;
    }
}

long play_boule(BallRun& run, const std::function<double()>& seconds,
                const std::function<void(const BallRun&)>& show) {
    run = BallRun{};
    const double start = seconds();
    long passes = 0;
    while (seconds() - start < kBouleSeconds) {
        boule_step(run);
        ++passes;
        show(run);
    }
    return passes;
}

} // namespace teravine
