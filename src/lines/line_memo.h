// SPDX-License-Identifier: GPL-3.0-or-later
// Lines already built, kept by their defining value. Under one Reichweite a line of
// constant N, %S or Nfp depends on nothing but that value, so samples that share it
// (every N is a whole number, %S and Nfp have two decimals) share one build.
// Not for sharing between threads: each thread keeps its own.
#pragma once

#include "lines/line_store.h"
#include "lines/line_tables.h"
#include "model/calibration.h"

#include <cstdint>
#include <unordered_map>

namespace teravine {

class LineMemo {
public:
    // The tables must outlive the memo.
    explicit LineMemo(const LineTables& tables) : tables_(tables) {}

    const LineTables& tables() const { return tables_; }

    // line := the line the tabled builder gives for the value. When the tables do not
    // fit cal, the line is built from cal and not kept.
    void n_line(const Calibration& cal, std::int16_t n, Line& line);
    void s_line(const Calibration& cal, float s, Line& line);
    void fp_line(const Calibration& cal, float u, Line& line);

    std::size_t size() const { return n_.size() + s_.size() + fp_.size(); }

private:
    const LineTables& tables_;
    std::unordered_map<std::int16_t, Line> n_;
    std::unordered_map<std::uint32_t, Line> s_;  // by the value's bits
    std::unordered_map<std::uint32_t, Line> fp_; // by the value's bits
};

} // namespace teravine
