// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/line_memo.h"

#include "lines/line_builders.h"

#include <bit>

namespace teravine {
namespace {

template <class Key, class Build>
void remembered(std::unordered_map<Key, Line>& kept, bool tables_fit, Key key, Line& line,
                Build build) {
    if (!tables_fit) {
        build(line);
        return;
    }
    auto found = kept.find(key);
    if (found == kept.end()) {
        Line built;
        build(built);
        found = kept.emplace(key, std::move(built)).first;
    }
    line = found->second;
}

} // namespace

void LineMemo::n_line(const Calibration& cal, std::int16_t n, Line& line) {
    remembered(n_, tables_.fit(cal), n, line,
               [&](Line& out) { build_const_n_line(cal, tables_, n, out); });
}

void LineMemo::s_line(const Calibration& cal, float s, Line& line) {
    remembered(s_, tables_.fit(cal), std::bit_cast<std::uint32_t>(s), line,
               [&](Line& out) { build_const_s_line(cal, tables_, s, out); });
}

void LineMemo::fp_line(const Calibration& cal, float u, Line& line) {
    remembered(fp_, tables_.fit(cal), std::bit_cast<std::uint32_t>(u), line,
               [&](Line& out) { build_const_fp_line(cal, tables_, u, out); });
}

} // namespace teravine
