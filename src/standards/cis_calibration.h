// SPDX-License-Identifier: GPL-3.0-or-later
// A laboratory's calibration to the CIS scale: the CIS values of its standards
// regressed on the widths it measured on them, written as versioned JSON, and applied
// to the widths of its samples with their uncertainty and zone.
#pragma once

#include "standards/cis_standards.h"
#include "standards/cis_zones.h"
#include "text/outcome.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

struct CisStandard {
    std::string name;
    double fwhm = 0; // the laboratory's measured width
    double u_fwhm = 0;
    double cis = 0; // CIS value

    bool operator==(const CisStandard&) const = default;
};

struct CisCalibration {
    static constexpr int kVersion = 1;
    CisIndex index = CisIndex::kubler;
    std::string method; // full_method_name of how the standards were measured (an older
                        // calibration: the method's name alone)
    double intercept = 0, u_intercept = 0, slope = 0, u_slope = 0;
    double covariance = 0; // cov(intercept, slope)
    double r = 0;          // correlation coefficient
    double s = 0;          // residual standard error
    int n = 0;
    double mean_fwhm = 0, sxx = 0;
    std::vector<CisStandard> standards;
    std::vector<double> residuals, loo_residuals; // cis − predicted, one per standard
};

// Least squares cis = intercept + slope · fwhm. Refuses fewer than three standards, all
// widths (nearly) equal, a non-finite value. The leave-one-out residual of a standard is
// that of the line fitted without it, so a set whose widths take fewer than three
// distinct values (one standard alone fixing the line's slope) is refused as well.
// More standards than a laboratory keeps; the calibration of this many stays far inside
// what its reader takes.
inline constexpr std::size_t kMaxCisStandards = 1000;

Outcome<CisCalibration> fit_cis(std::vector<CisStandard> standards, CisIndex index,
                                const std::string& method);

std::string cis_calibration_json(const CisCalibration& calibration);
// The calibration as a JSON value, as the file and a session hold it.
nlohmann::ordered_json cis_calibration_value(const CisCalibration& calibration);
// The standards are fitted again; a file whose line does not follow from its standards
// is refused as altered.
Outcome<CisCalibration> parse_cis_calibration(std::string_view text, const std::string& subject);
// The calibration a JSON value holds, checked as strictly; throws json_fields::Refusal,
// its fields named as of `where` ("the calibration").
CisCalibration cis_calibration_of(const nlohmann::json& object, const std::string& where);
// The keys a calibration's reader reads.
std::span<const std::string_view> cis_calibration_keys();
Outcome<CisCalibration> read_cis_calibration(const std::string& path);

struct CisValue {
    double ki_cis = 0;      // the value on the CIS scale, of the calibration's index
    double u_ki_cis = 0;    // its standard uncertainty (1σ, n − 2 degrees of freedom)
    std::string zone;       // empty without limits that judge the index
    std::string near_limit; // the limits within u of the value (near_limits), or empty
};

// The zone is that of the value to the four decimals it is printed with, so that a
// printed value and its zone always agree; it is judged by judging_limits of the
// calibration's index, so that a Kübler-index scheme never judges an Árkai value.
CisValue apply_cis(const CisCalibration& calibration, double fwhm, double u_fwhm,
                   const std::optional<ZoneLimits>& limits);

// The degrees of freedom of the calibration's u, n − 2, and the factor of Student's t
// that makes a 95 % interval of them: 3.18 for five standards.
int cis_degrees_of_freedom(const CisCalibration& calibration);
double cis_t95(const CisCalibration& calibration);

} // namespace teravine
