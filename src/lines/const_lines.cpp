// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/const_lines.h"

#include "lines/line_builders.h"

namespace teravine {

void compute_const_n_lines(const Calibration& cal, ConstLines& lines) {
    for (int i = kFirstNLine; i <= kLastNLine; ++i) {
        const auto at = static_cast<std::size_t>(i);
        lines.val_n[at] = kConstNValues[at - kFirstNLine];
        build_const_n_line(cal, lines.val_n[at], lines.n[at]);
    }
}

void compute_const_s_lines(const Calibration& cal, ConstLines& lines) {
    for (int i = kFirstSLine; i <= kLastSLine; i += kSLineStep) {
        const auto at = static_cast<std::size_t>(i);
        lines.val_s[at] = kConstSValues[(at - kFirstSLine) / kSLineStep];
        build_const_s_line(cal, lines.val_s[at], lines.s[at]);
    }
}

void compute_const_fp_lines(const Calibration& cal, ConstLines& lines) {
    for (int i = kFirstFpLine; i <= kLastFpLine; ++i) {
        const auto at = static_cast<std::size_t>(i);
        lines.val_fp[at] = kConstFpValues[at - kFirstFpLine];
        build_const_fp_line(cal, lines.val_fp[at], lines.fp[at]);
    }
}

} // namespace teravine
