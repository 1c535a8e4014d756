// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/calibration_method.h"

#include "peaks/profile_shapes.h"

#include <charconv>
#include <map>

namespace teravine {
namespace {

// A number to four decimals without trailing zeros (6.5, 11.8, 6.55), so that a range
// typed and one dragged to the same place, 6.550000000000001, read alike.
std::string four_decimals(double value) {
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    std::string out = ec == std::errc() ? std::string(text, end) : std::string("?");
    while (out.find('.') != std::string::npos && (out.back() == '0' || out.back() == '.')) {
        out.pop_back();
    }
    return out;
}

struct Parts {
    std::string name;
    std::map<std::string, std::string, std::less<>> stated;
};

Parts parts_of(std::string_view full_name) {
    Parts parts;
    std::size_t start = 0;
    while (start < full_name.size()) {
        const auto blank = std::min(full_name.find(' ', start), full_name.size());
        const std::string_view word = full_name.substr(start, blank - start);
        start = blank + 1;
        if (word.empty()) {
            continue;
        }
        const auto equals = word.find('=');
        if (parts.name.empty() && equals == std::string_view::npos) {
            parts.name = word;
        } else if (equals != std::string_view::npos) {
            parts.stated.emplace(std::string(word.substr(0, equals)),
                                 std::string(word.substr(equals + 1)));
        }
    }
    // "fit:pseudo-voigt:2/3" is the method "fit:pseudo-voigt", its second component of three.
    const auto kind_end = parts.name.find(':');
    const auto suffix =
        kind_end == std::string::npos ? std::string::npos : parts.name.find(':', kind_end + 1);
    if (suffix != std::string::npos) {
        parts.name.erase(suffix);
    }
    return parts;
}

} // namespace

std::string method_in_full(const WidthMethod& method, std::optional<double> alpha2_ratio) {
    std::string name = method.name();
    if (method.fits()) {
        const FitOptions& o = method.options();
        name += " components=" + std::to_string(o.components);
        if (o.use != 0) {
            name += " use=" + std::to_string(o.use);
        }
        name += std::string(" background=") +
                (o.background == FitBackground::quadratic ? "quadratic" : "linear");
        name += std::string(" kalpha2=") + (o.doublet ? "fitted" : "none");
        if (alpha2_ratio && o.doublet) {
            name += " alpha2_ratio=" + four_decimals(*alpha2_ratio);
        }
    } else {
        name += " kalpha2=kept"; // the doublet stays in the width read at half height
    }
    return name;
}

std::optional<double> fitted_alpha2_ratio(const std::optional<ProfileFit>& fit) {
    return fit ? std::optional<double>(fit->alpha2_ratio) : std::nullopt;
}

Outcome<std::optional<double>> common_alpha2_ratio(const std::vector<NamedRatio>& fits) {
    std::optional<double> common;
    for (const NamedRatio& fit : fits) {
        if (!fit.ratio) {
            continue;
        }
        if (common && *common != *fit.ratio) {
            return Failure{"the fits of the standards' patterns took different K-alpha2 ratios (" +
                           width_text(*common) + " and " + width_text(*fit.ratio) + ", for " +
                           fit.name + ")"};
        }
        common = fit.ratio;
    }
    return common;
}

std::string full_method_name(const WidthMethod& method, const PeakRange& range,
                             std::optional<double> alpha2_ratio) {
    return method_in_full(method, alpha2_ratio) + " range=" + four_decimals(range.lo) + ":" +
           four_decimals(range.hi);
}

std::vector<std::string> method_differences(std::string_view calibration,
                                            std::string_view measured) {
    const Parts a = parts_of(calibration);
    const Parts b = parts_of(measured);
    std::vector<std::string> differences;
    if (a.name != b.name) {
        differences.emplace_back("method");
    }
    for (const char* key :
         {"components", "use", "background", "kalpha2", "alpha2_ratio", "range"}) {
        const auto in_a = a.stated.find(key);
        const auto in_b = b.stated.find(key);
        if (in_a != a.stated.end() && in_b != b.stated.end() && in_a->second != in_b->second) {
            differences.emplace_back(key);
        }
    }
    return differences;
}

std::string method_differences_text(std::string_view calibration, std::string_view measured) {
    std::string text;
    for (const std::string& d : method_differences(calibration, measured)) {
        text += (text.empty() ? "" : ", ") + d;
    }
    return text;
}

std::optional<std::string> outside_cis_guidelines(std::string_view full_name) {
    const Parts parts = parts_of(full_name);
    constexpr std::string_view kFit = "fit:";
    if (parts.name.rfind(kFit, 0) != 0) {
        return std::nullopt;
    }
    const auto components = parts.stated.find("components");
    if (components != parts.stated.end() && components->second != "1") {
        return components->second + " components";
    }
    const auto shape = profile_shape_named(std::string_view(parts.name).substr(kFit.size()));
    if (shape && !is_split(*shape)) {
        return std::string("a symmetric profile");
    }
    return std::nullopt;
}

} // namespace teravine
