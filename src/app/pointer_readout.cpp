// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pointer_readout.h"

#include "text/number_text.h"

#include <cmath>

namespace teravine {

float truncate_3(float v) {
    return static_cast<float>(std::floor(static_cast<double>(v) * 1000) / 1000);
}

std::optional<PointerReadout> read_pointer(const PlotWindow& plot, float x, float y) {
    if (!(plot.left < x && x < plot.right && plot.top < y && y < plot.bottom)) {
        return std::nullopt;
    }
    PointerReadout r;
    r.iw_ad = truncate_3(ad_from_surface(plot, x));
    r.iw_eg = truncate_3(eg_from_surface(plot, y));
    r.text = "AD IW: " + format_no_lead(r.iw_ad, 3) + "  EG IW: " + format_no_lead(r.iw_eg, 3);
    return r;
}

} // namespace teravine
