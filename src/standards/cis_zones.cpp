// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/cis_zones.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace teravine {
namespace {

std::optional<double> number_of(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// At least two decimals, more where the limit has them: 0.32, 0.315.
std::string limit_text(double value) {
    char text[64];
    for (int decimals = 2; decimals < 6; ++decimals) {
        const auto [end, ec] =
            std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        const std::string shown(text, ec == std::errc() ? end : text);
        if (number_of(shown) == value) {
            return shown;
        }
    }
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, ec == std::errc() ? end : text);
}

} // namespace

ZoneLimits default_zone_limits() {
    return {"2015", 0.32, 0.52};
}

Outcome<ZoneLimits> parse_zone_limits(std::string_view text) {
    if (text == "2015") {
        return default_zone_limits();
    }
    if (text == "1994") {
        return ZoneLimits{"1994", 0.25, 0.42};
    }
    const auto colon = text.find(':');
    const auto lo =
        colon == std::string_view::npos ? std::nullopt : number_of(text.substr(0, colon));
    const auto hi =
        colon == std::string_view::npos ? std::nullopt : number_of(text.substr(colon + 1));
    if (!lo || !hi || !(*lo > 0) || !(*lo < *hi)) {
        return Failure{"--zones is 2015, 1994 or the anchizone's limits LO:HI on the CIS scale "
                       "(such as 0.32:0.52), not \"" +
                       std::string(text) + "\""};
    }
    return ZoneLimits{"own", *lo, *hi};
}

Outcome<std::optional<ZoneLimits>> parse_zone_limits_for(CisIndex index, std::string_view text) {
    if (text.empty()) {
        return index == CisIndex::kubler ? std::optional(default_zone_limits())
                                         : std::optional<ZoneLimits>();
    }
    if (index == CisIndex::arkai && (text == "2015" || text == "1994")) {
        return Failure{"--zones " + std::string(text) +
                       " are limits of the Kubler index; the Arkai index has no published "
                       "limits on the CIS scale: give a laboratory's own as LO:HI, or none"};
    }
    auto limits = parse_zone_limits(text);
    if (!limits) {
        return Failure{limits.error()};
    }
    return std::optional(std::move(limits.value()));
}

std::optional<ZoneLimits> judging_limits(CisIndex index, const std::optional<ZoneLimits>& chosen) {
    if (chosen && index == CisIndex::arkai && chosen->scheme != "own") {
        return std::nullopt;
    }
    return chosen;
}

std::string zone_of(double value, const ZoneLimits& limits) {
    if (value < limits.lower) {
        return "epizone";
    }
    return value <= limits.upper ? "anchizone" : "diagenetic";
}

std::string near_limits(double value, double u, const ZoneLimits& limits) {
    std::string near;
    for (const double limit : {limits.lower, limits.upper}) {
        if (std::abs(value - limit) <= u) {
            near += (near.empty() ? "" : ";") + limit_text(limit);
        }
    }
    return near;
}

std::string limits_text(const ZoneLimits& limits) {
    return "anchizone " + limit_text(limits.lower) + "\u2013" + limit_text(limits.upper) + " (" +
           limits.scheme + ")";
}

} // namespace teravine
