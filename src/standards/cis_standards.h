// SPDX-License-Identifier: GPL-3.0-or-later
// The certified values of the rock-chip standards on the CIS scale, in °Δ2θ: the Kübler
// index of the 10 Å illite peak and the Árkai index of the 7 Å chlorite 002 peak
// (Warr & Rice 1994; the standards of Warr 2018).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace teravine {

enum class CisIndex { kubler, arkai }; // 10 Å illite, 7 Å chlorite 002

// "kubler", "arkai".
std::string_view cis_index_name(CisIndex index);
std::optional<CisIndex> cis_index_named(std::string_view name);

// The certified value of a standard named as published ("SW1-1992"), letter case aside;
// nothing for a name not known or a standard certified for the other index only.
std::optional<double> certified_value(std::string_view standard, CisIndex index);

} // namespace teravine
