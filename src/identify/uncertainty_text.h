// SPDX-License-Identifier: GPL-3.0-or-later
// The intervals of k, N, %S and Nfp as text: the value in the program's number text
// (as the result line writes it, without its leading blank) and its two ends.
#pragma once

#include "identify/uncertainty.h"

#include <array>
#include <string>

namespace teravine {

enum class UncertainQuantity { n, s_pct, k, nfp };

inline constexpr std::array<UncertainQuantity, 4> kUncertainQuantities{
    UncertainQuantity::n, UncertainQuantity::s_pct, UncertainQuantity::k, UncertainQuantity::nfp};

// "N", "%S", "k", "Nfp".
const char* quantity_name(UncertainQuantity quantity);

const ValueInterval& interval_of(const WidthUncertainty& u, UncertainQuantity quantity);

// "24", "4.88", "1.17", "11": N and Nfp whole, %S in the general number text, k to 0.01.
std::string quantity_text(UncertainQuantity quantity, float value);

// "[22, 26]", with " cut" after it when the region leaves the model.
std::string interval_text(const WidthUncertainty& u, UncertainQuantity quantity);

// "N: 24 [22, 26]" and the three others, one a line, each ending in '\n'.
std::string uncertainty_lines(const WidthUncertainty& u);

} // namespace teravine
