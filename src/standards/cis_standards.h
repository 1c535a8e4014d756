// SPDX-License-Identifier: GPL-3.0-or-later
// The published CIS values of the rock-chip standards, in °Δ2θ: the Kübler index of the
// 10 Å illite peak and the Árkai index of the 7 Å chlorite 002 peak (Warr & Rice 1994;
// the standards of Warr 2018, Clay Minerals 53, 339–350).
#pragma once

#include "peaks/peak_width.h"

#include <optional>
#include <string>
#include <string_view>

namespace teravine {

enum class CisIndex { kubler, arkai }; // 10 Å illite, 7 Å chlorite 002

// "kubler", "arkai".
std::string_view cis_index_name(CisIndex index);
std::optional<CisIndex> cis_index_named(std::string_view name);
// The column of a value on the CIS scale and of its u: "ki_cis", "u_ki_cis" for the
// Kübler index, "ai_cis", "u_ai_cis" for the Árkai index.
std::string cis_column(CisIndex index);
std::string cis_u_column(CisIndex index);

// The 2θ range (Cu Kα) in which each index's peak is measured: the illite 10 Å peak
// between 6.5 and 11.5°, the chlorite 7 Å (002) peak between 11.8 and 13.2°, clear of the
// illite 001 and the 5 Å peaks.
PeakRange index_peak_range(CisIndex index);

// The published CIS value of a standard named as published ("SW1-1992"), letter case
// aside; nothing for a name not known or a standard with a value of the other index only.
std::optional<double> certified_value(std::string_view standard, CisIndex index);

// The value a row of standards stands for: the value given, else the published one of
// its name for the index; nothing when neither (the front end words the refusal).
std::optional<double> standard_value(std::optional<double> given, std::string_view name,
                                     CisIndex index);

} // namespace teravine
