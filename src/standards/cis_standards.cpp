// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/cis_standards.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace teravine {
namespace {

struct Certified {
    std::string_view name;
    std::optional<double> kubler;
    std::optional<double> arkai;
};

// Kübler index: Warr & Rice (1994) for SW1-1992, Warr (2018) for the later batches;
// Árkai index of the chlorite 002 as published with them (Warr 2018, table of CIS
// values), for the upper-anchizonal and epizonal standards only.
constexpr std::array<Certified, 9> kCertified{{
    {"SW1-1992", 0.630, std::nullopt},
    {"SW1-2012", 0.653, std::nullopt},
    {"SW2-2012", 0.455, std::nullopt},
    {"SW3-2000", 0.497, std::nullopt},
    {"SW3-2012", 0.372, 0.302},
    {"SW4-2012", 0.355, 0.316},
    {"SW5-2000", 0.344, 0.271},
    {"SW6-2012", 0.267, 0.264},
    {"SW7-2012", 0.277, 0.268},
}};

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string_view cis_index_name(CisIndex index) {
    return index == CisIndex::arkai ? "arkai" : "kubler";
}

std::optional<CisIndex> cis_index_named(std::string_view name) {
    if (name == "kubler") {
        return CisIndex::kubler;
    }
    if (name == "arkai") {
        return CisIndex::arkai;
    }
    return std::nullopt;
}

std::string cis_column(CisIndex index) {
    return index == CisIndex::arkai ? "ai_cis" : "ki_cis";
}

std::string cis_u_column(CisIndex index) {
    return "u_" + cis_column(index);
}

std::optional<double> certified_value(std::string_view standard, CisIndex index) {
    for (const Certified& c : kCertified) {
        if (same_name(c.name, standard)) {
            return index == CisIndex::kubler ? c.kubler : c.arkai;
        }
    }
    return std::nullopt;
}

std::optional<double> standard_value(std::optional<double> given, std::string_view name,
                                     CisIndex index) {
    return given ? given : certified_value(name, index);
}

PeakRange index_peak_range(CisIndex index) {
    return index == CisIndex::kubler ? PeakRange{} : PeakRange{11.8, 13.2};
}

} // namespace teravine
