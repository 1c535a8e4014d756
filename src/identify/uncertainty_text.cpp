// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/uncertainty_text.h"

#include "text/number_text.h"

#include <cmath>

namespace teravine {
const char* quantity_name(UncertainQuantity quantity) {
    switch (quantity) {
    case UncertainQuantity::n:
        return "N";
    case UncertainQuantity::s_pct:
        return "%S";
    case UncertainQuantity::k:
        return "k";
    case UncertainQuantity::nfp:
        return "Nfp";
    }
    return "";
}

const ValueInterval& interval_of(const WidthUncertainty& u, UncertainQuantity quantity) {
    switch (quantity) {
    case UncertainQuantity::n:
        return u.n;
    case UncertainQuantity::s_pct:
        return u.s_pct;
    case UncertainQuantity::k:
        return u.k;
    case UncertainQuantity::nfp:
        break;
    }
    return u.nfp;
}

std::string quantity_text(UncertainQuantity quantity, float value) {
    switch (quantity) {
    case UncertainQuantity::n:
    case UncertainQuantity::nfp:
        return bare_number_text(static_cast<int>(std::lround(value)));
    case UncertainQuantity::s_pct:
        return bare_number_text(value);
    case UncertainQuantity::k:
        break;
    }
    return format_fixed(value, 2);
}

std::string interval_text(const WidthUncertainty& u, UncertainQuantity quantity) {
    const ValueInterval& v = interval_of(u, quantity);
    return '[' + quantity_text(quantity, v.low) + ", " + quantity_text(quantity, v.high) + ']' +
           (u.cut() ? " cut" : "");
}

std::string uncertainty_lines(const WidthUncertainty& u) {
    std::string out;
    for (const UncertainQuantity q : kUncertainQuantities) {
        out += std::string(quantity_name(q)) + ": " + quantity_text(q, interval_of(u, q).value) +
               ' ' + interval_text(u, q) + '\n';
    }
    return out;
}

} // namespace teravine
