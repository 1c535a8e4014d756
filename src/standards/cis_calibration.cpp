// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/cis_calibration.h"

#include "standards/json_fields.h"
#include "standards/student_t.h"
#include "text/text_file.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

constexpr const char* kKind = "teravine-cis-calibration";

// Widths closer than this count as one (a ten-thousandth of a degree is the last digit
// a width is written with).
constexpr double kSameWidth = 1e-6;

std::size_t distinct_widths(std::vector<double> widths) {
    std::sort(widths.begin(), widths.end());
    std::size_t count = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i == 0 || widths[i] - widths[i - 1] > kSameWidth) {
            ++count;
        }
    }
    return count;
}

} // namespace

Outcome<CisCalibration> fit_cis(std::vector<CisStandard> standards, CisIndex index,
                                const std::string& method) {
    if (standards.size() < 3) {
        return Failure{"A calibration needs at least three standards; " +
                       std::to_string(standards.size()) + " given."};
    }
    if (standards.size() > kMaxCisStandards) {
        return Failure{"A calibration takes at most " + std::to_string(kMaxCisStandards) +
                       " standards; " + std::to_string(standards.size()) + " given."};
    }
    std::vector<double> widths;
    for (const CisStandard& s : standards) {
        if (!std::isfinite(s.fwhm) || !std::isfinite(s.cis) || !std::isfinite(s.u_fwhm) ||
            s.fwhm <= 0 || s.cis <= 0 || s.u_fwhm < 0) {
            return Failure{"The standard \"" + s.name +
                           "\" has a width, uncertainty or CIS value that is not a "
                           "positive finite number."};
        }
        widths.push_back(s.fwhm);
    }
    const std::size_t distinct = distinct_widths(widths);
    if (distinct == 1) {
        return Failure{"All standards have the same measured width: they fix no line."};
    }
    if (distinct < 3) {
        return Failure{"The standards' widths take only two values: one standard alone "
                       "fixes the line, and the fit cannot be checked. Measure standards "
                       "of at least three different widths."};
    }
    CisCalibration c;
    c.index = index;
    c.method = method;
    c.n = static_cast<int>(standards.size());
    const double n = c.n;
    double mean_cis = 0;
    for (const CisStandard& s : standards) {
        c.mean_fwhm += s.fwhm / n;
        mean_cis += s.cis / n;
    }
    double sxy = 0, syy = 0;
    for (const CisStandard& s : standards) {
        const double dx = s.fwhm - c.mean_fwhm, dy = s.cis - mean_cis;
        c.sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
    }
    c.slope = sxy / c.sxx;
    c.intercept = mean_cis - c.slope * c.mean_fwhm;
    double sse = 0;
    for (const CisStandard& s : standards) {
        const double residual = s.cis - (c.intercept + c.slope * s.fwhm);
        // The leave-one-out (PRESS) residual e / (1 − h) without refitting, h the
        // leverage: Allen (1974), Technometrics 16, 125–127.
        const double leverage = 1 / n + std::pow(s.fwhm - c.mean_fwhm, 2) / c.sxx;
        c.residuals.push_back(residual);
        c.loo_residuals.push_back(residual / (1 - leverage));
        sse += residual * residual;
    }
    // The straight line's least squares and its standard errors: Draper & Smith, Applied
    // Regression Analysis, 3rd ed., Wiley 1998, ch. 1 and 3.
    c.s = std::sqrt(sse / (n - 2));
    c.u_slope = c.s / std::sqrt(c.sxx);
    c.u_intercept = c.s * std::sqrt(1 / n + c.mean_fwhm * c.mean_fwhm / c.sxx);
    c.covariance = -c.mean_fwhm * c.s * c.s / c.sxx;
    c.r = syy > 0 ? sxy / std::sqrt(c.sxx * syy) : 0;
    c.standards = std::move(standards);
    return c;
}

CisValue apply_cis(const CisCalibration& c, double fwhm, double u_fwhm,
                   const std::optional<ZoneLimits>& limits) {
    CisValue value;
    value.ki_cis = c.intercept + c.slope * fwhm;
    // The standard error of a new observation predicted by a straight line fitted by least
    // squares, s √(1 + 1/n + (x − x̄)²/Sxx) (Draper & Smith, Applied Regression Analysis,
    // 3rd ed., Wiley 1998, ch. 1), with the measured width's own u carried through the
    // slope.
    const double spread = 1 + 1.0 / c.n + std::pow(fwhm - c.mean_fwhm, 2) / c.sxx;
    value.u_ki_cis = std::sqrt(c.s * c.s * spread + c.slope * c.slope * u_fwhm * u_fwhm);
    if (const auto judging = judging_limits(c.index, limits)) {
        value.zone = zone_of(std::round(value.ki_cis * 1e4) / 1e4, *judging);
        value.near_limit = near_limits(value.ki_cis, value.u_ki_cis, *judging);
    }
    return value;
}

int cis_degrees_of_freedom(const CisCalibration& c) {
    return c.n - 2;
}

double cis_t95(const CisCalibration& c) {
    return student_t_quantile(0.95, cis_degrees_of_freedom(c));
}

std::span<const std::string_view> cis_calibration_keys() {
    static constexpr std::string_view keys[] = {
        "format",    "version",    "index", "method", "intercept", "u_intercept", "slope",
        "u_slope",   "covariance", "r",     "s",      "n",         "mean_fwhm",   "sxx",
        "standards", "name",       "fwhm",  "u_fwhm", "cis",       "residual",    "loo_residual"};
    return keys;
}

nlohmann::ordered_json cis_calibration_value(const CisCalibration& c) {
    nlohmann::ordered_json out;
    out["format"] = kKind;
    out["version"] = CisCalibration::kVersion;
    out["index"] = std::string(cis_index_name(c.index));
    out["method"] = c.method;
    out["intercept"] = c.intercept;
    out["u_intercept"] = c.u_intercept;
    out["slope"] = c.slope;
    out["u_slope"] = c.u_slope;
    out["covariance"] = c.covariance;
    out["r"] = c.r;
    out["s"] = c.s;
    out["n"] = c.n;
    out["mean_fwhm"] = c.mean_fwhm;
    out["sxx"] = c.sxx;
    auto& list = out["standards"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < c.standards.size(); ++i) {
        const CisStandard& s = c.standards[i];
        list.push_back({{"name", s.name},
                        {"fwhm", s.fwhm},
                        {"u_fwhm", s.u_fwhm},
                        {"cis", s.cis},
                        {"residual", c.residuals.at(i)},
                        {"loo_residual", c.loo_residuals.at(i)}});
    }
    return out;
}

std::string cis_calibration_json(const CisCalibration& c) {
    return cis_calibration_value(c).dump(2, ' ', false,
                                         nlohmann::ordered_json::error_handler_t::replace) +
           "\n";
}

CisCalibration cis_calibration_of(const nlohmann::json& object, const std::string& where) {
    namespace jf = json_fields;
    jf::check_kind(object, kKind, "Teravine CIS calibration", CisCalibration::kVersion);
    const auto index = cis_index_named(jf::text(object, "index", where));
    if (!index) {
        throw jf::Refusal{"\"index\" of " + where + " is not \"kubler\" or \"arkai\""};
    }
    std::vector<CisStandard> standards;
    const auto& list = jf::array(object, "standards", where);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string entry = "standard " + std::to_string(i + 1) + " of " + where;
        standards.push_back({jf::text(list[i], "name", entry), jf::number(list[i], "fwhm", entry),
                             jf::optional_number(list[i], "u_fwhm", entry).value_or(0),
                             jf::number(list[i], "cis", entry)});
    }
    auto fitted = fit_cis(std::move(standards), *index, jf::text(object, "method", where));
    if (!fitted) {
        throw jf::Refusal{where + " cannot be fitted again: " + fitted.error()};
    }
    // The line stated must be the one its standards give.
    const auto agrees = [](double stated, double fitted_value) {
        return std::abs(stated - fitted_value) <= 1e-9 * std::max(1.0, std::abs(fitted_value));
    };
    if (!agrees(jf::number(object, "intercept", where), fitted->intercept) ||
        !agrees(jf::number(object, "slope", where), fitted->slope)) {
        throw jf::Refusal{where + " states a line its standards do not give: it has been altered"};
    }
    return std::move(fitted.value());
}

Outcome<CisCalibration> parse_cis_calibration(std::string_view text, const std::string& subject) {
    namespace jf = json_fields;
    const auto object = jf::parse_object(
        text, subject,
        {jf::kMaxCalibrationFileBytes, jf::kCalibrationFileTooLarge, cis_calibration_keys()});
    if (!object) {
        return Failure{object.error()};
    }
    try {
        return cis_calibration_of(*object, "the calibration");
    } catch (const jf::Refusal& refusal) {
        return Failure{jf::refused(subject, "is a damaged calibration", refusal)};
    }
}

Outcome<CisCalibration> read_cis_calibration(const std::string& path) {
    const auto text = read_text_file(path);
    if (!text) {
        return Failure{text.error()};
    }
    return parse_cis_calibration(*text, "The file \"" + path + "\"");
}

} // namespace teravine
