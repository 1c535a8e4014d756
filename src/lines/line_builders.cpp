#include "lines/line_builders.h"

#include "lines/row_solvers.h"
#include "model/polynomial.h"
#include "model/solvers.h"

#include <algorithm>

namespace teravine {
namespace {

float k_of_row(int row) {
    return kKRow[static_cast<std::size_t>(row)];
}

// Stores point j (1-based) unless the line is full; false when full.
bool store_point(Line& line, int j, int capacity, float ad, float eg) {
    if (j > capacity) {
        return false;
    }
    line.points.resize(static_cast<std::size_t>(j));
    line.points.back() = LinePoint{ad, eg};
    return true;
}

// EG width at x on the mix of coef_eg that rec describes.
float eg_width(Calibration& cal, const InterpRecord& rec, float x) {
    interp_row(rec, cal.coef_eg, cal.reich);
    return Pol5_0(cal.coef_eg, cal.reich, kScratchRow, x);
}

template <class Solver>
void sweep(Calibration& cal, float x0, float target, Solver solver, Line& line) {
    line.points.clear();
    float x = x0;
    int j = 1;
    InterpRecord rec; // all fields 0
    while (!(x > cal.range())) {
        x = static_cast<float>(static_cast<double>(x) + kSweepStep);
        if (solver(rec, cal.coef_invn, x, target, cal.reich, nullptr) != kInside) {
            continue;
        }
        if (!store_point(line, j, kLineCapacity, x, eg_width(cal, rec, x))) {
            break;
        }
        ++j;
    }
    line.count = static_cast<std::int16_t>(j - 1);
}

} // namespace

void build_const_n_line(Calibration& cal, std::int16_t n, Line& line) {
    sweep(cal, kNSweepStart, static_cast<float>(n), solve_row_for_n, line);
}

void build_const_s_line(Calibration& cal, float s, Line& line) {
    sweep(cal, kSSweepStart, s, solve_row_for_s, line);
}

void build_const_fp_line(Calibration& cal, float u, Line& line) {
    line.points.clear();
    int j = 0;
    const std::int16_t reich = cal.reich;

    // One march along row 6 of coef_invn as b mixes it; stores the first point where
    // the model's 1/Nfp exceeds u.
    auto march = [&](const InterpRecord& b, float span) {
        for (int m = 1; m <= 110; ++m) {
            const float x = static_cast<float>(m * 0.01);
            const float y = Pol5_0(cal.coef_invn, reich, kScratchRow, x);
            InterpRecord a = b;
            recip_frac(a, cal.coef_invn, reich, x);
            a.k = static_cast<float>(static_cast<double>(k_of_row(a.row_lo)) +
                                     (1.0 - static_cast<double>(a.frac)) * span);
            const double n = 1.0 / static_cast<double>(y);
            const double yy = static_cast<double>(y) * y;
            const auto g = static_cast<float>(static_cast<double>(u) - yy * ((n - 1.0) * a.k + n));
            if (g < 0) {
                if (store_point(line, j + 1, kFpLineCapacity, x, eg_width(cal, a, x))) {
                    ++j;
                }
                return;
            }
        }
    };

    for (std::int16_t r = 5; r >= 2; --r) {
        InterpRecord b;
        b.row_lo = static_cast<std::int16_t>(r - 1);
        b.row_hi = r;
        const float span = k_of_row(r) - k_of_row(r - 1);
        for (int t = 0; t <= 1; ++t) {
            b.frac = static_cast<float>(t); // row 6 := row r, then row r - 1
            interp_row(b, cal.coef_invn, reich);
            march(b, span);
        }
    }
    InterpRecord b;
    b.row_lo = 1;
    b.row_hi = 2;
    b.frac = 1; // row 6 := row 1 once more
    interp_row(b, cal.coef_invn, reich);
    march(b, k_of_row(2) - k_of_row(1));

    line.count = static_cast<std::int16_t>(std::max(j - 1, 0));
}

} // namespace teravine
