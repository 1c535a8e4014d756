// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lab_calibration.h"

#include "peaks/file_width.h"
#include "standards/calibration_method.h"
#include "standards/cis_standards.h"
#include "text/number_text.h"

#include <charconv>
#include <cmath>

namespace teravine {
namespace {

std::string file_name(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A positive finite number and nothing else, blanks around it allowed.
std::optional<double> positive_number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string broadening_source(const LabCalibration& lab) {
    if (!lab.profile) {
        return {};
    }
    const InstrumentProfile& p = *lab.profile;
    const std::string standard = p.standard.empty() ? file_name(lab.profile_source) : p.standard;
    return "b = " + format_fixed(p.b, 4) + "° (u " + format_fixed(p.u_b, 4) +
           ") from the instrument profile of " + standard + ", " + p.method;
}

std::string profile_state_text(const LabCalibration& lab) {
    if (!lab.profile) {
        return "None in use: \"Instrumental Broadening\" holds what is typed there.";
    }
    return "In use: " + broadening_source(lab) + ", at 2θ " + width_text(lab.profile->angle) + "°";
}

std::string cis_state_text(const LabCalibration& lab) {
    if (!lab.cis) {
        return "None loaded: the sample table shows no KI (CIS).";
    }
    const auto judging = judging_limits(lab.cis->index, lab.limits);
    const auto outside = outside_cis_guidelines(lab.cis->method);
    return cis_equation(*lab.cis) + "; " +
           (judging ? limits_text(*judging)
                    : std::string("no zone limits: the Árkai index is judged only by limits of "
                                  "your own")) +
           (lab.cis_source.empty() ? std::string() : " (" + lab.cis_source + ")") +
           (outside ? "; outside the CIS guidelines: " + *outside : std::string());
}

std::string cis_equation(const CisCalibration& c) {
    return std::string(c.index == CisIndex::arkai ? "AI" : "KI") +
           " (CIS) = " + format_fixed(c.intercept, 4) + (c.slope < 0 ? " − " : " + ") +
           format_fixed(std::abs(c.slope), 4) + " · FWHM, r = " + format_fixed(c.r, 4) +
           ", n = " + std::to_string(c.n);
}

bool converts_samples(const LabCalibration& lab) {
    return lab.cis && lab.cis->index == CisIndex::kubler;
}

std::optional<CisValue> width_cis(float raw_ad, float u_ad, const LabCalibration& lab) {
    if (!converts_samples(lab)) {
        return std::nullopt;
    }
    return apply_cis(*lab.cis, raw_ad, u_ad, lab.limits);
}

std::optional<CisValue> sample_cis(const SampleOrigin& origin, const LabCalibration& lab) {
    if (!origin.measured) {
        return std::nullopt; // a click has no measured width
    }
    return width_cis(origin.ad, origin.u_ad.value_or(0.0f), lab);
}

Outcome<StandardWidth> measure_standard(const std::string& path, const PeakRange& range,
                                        const WidthMethod& method,
                                        std::optional<double> alpha2_ratio) {
    PatternChoice choice;
    choice.how_to_choose = kStandardScanChoice;
    choice.alpha2_ratio = alpha2_ratio;
    auto read = read_file_width(path, choice, range, method);
    if (!read) {
        return Failure{read.error()};
    }
    return StandardWidth{read->reading.width, fitted_alpha2_ratio(read->reading.fit),
                         std::move(read.value().scan_note)};
}

Outcome<std::string> rows_method_name(const std::vector<StandardRow>& rows,
                                      const WidthMethod& method, const PeakRange& range) {
    std::vector<NamedRatio> fits;
    for (const StandardRow& row : rows) {
        fits.push_back({row.name, row.alpha2_ratio});
    }
    const auto ratio = common_alpha2_ratio(fits);
    if (!ratio) {
        return Failure{ratio.error() +
                       ": give one in the \"Kα2 ratio\" box and add their patterns again."};
    }
    return full_method_name(method, range, *ratio);
}

std::string measured_cell_text(const std::string& shown, double measured) {
    if (shown != width_text(measured)) {
        return shown;
    }
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, measured);
    return ec == std::errc() ? std::string(text, end) : shown;
}

Outcome<std::vector<CisStandard>> standards_of_rows(const std::vector<StandardRow>& rows,
                                                    CisIndex index) {
    std::vector<CisStandard> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StandardRow& row = rows[i];
        if (row.name.empty() && row.certified.empty() && row.fwhm.empty()) {
            continue;
        }
        const std::string where = "Standard " + std::to_string(i + 1) +
                                  (row.name.empty() ? std::string() : " (" + row.name + ")");
        CisStandard standard;
        standard.name = row.name;
        const auto fwhm = positive_number(row.fwhm);
        if (!fwhm) {
            return Failure{where + ": the FWHM \"" + row.fwhm + "\" is not a positive number."};
        }
        standard.fwhm = *fwhm;
        standard.u_fwhm = std::isfinite(row.u_fwhm) && row.u_fwhm > 0 ? row.u_fwhm : 0;
        std::optional<double> given;
        if (row.certified.find_first_not_of(" \t") != std::string::npos) {
            given = positive_number(row.certified);
            if (!given) {
                return Failure{where + ": the CIS value \"" + row.certified +
                               "\" is not a positive number."};
            }
        }
        const auto value = standard_value(given, row.name, index);
        if (!value) {
            return Failure{where + ": no CIS value given, and \"" + row.name +
                           "\" is not a standard with a published value of this index."};
        }
        standard.cis = *value;
        out.push_back(std::move(standard));
    }
    return out;
}

} // namespace teravine
