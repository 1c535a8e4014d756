// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/instrument_profile.h"

#include "standards/calibration_method.h"
#include "standards/json_fields.h"
#include "text/text_file.h"

#include <cmath>

namespace teravine {
namespace {

constexpr const char* kKind = "teravine-instrument";

using Json = nlohmann::ordered_json;

void put_optional(Json& out, const char* key, const std::optional<double>& value) {
    if (value) {
        out[key] = *value;
    } else {
        out[key] = nullptr;
    }
}

Json setup_json(const StatedSetup& s) {
    Json out;
    out["anode"] = s.anode;
    put_optional(out, "wavelength", s.wavelength);
    put_optional(out, "alpha2", s.alpha2);
    put_optional(out, "alpha2_ratio", s.alpha2_ratio);
    put_optional(out, "goniometer_radius", s.goniometer_radius);
    out["divergence_slit"] = s.divergence_slit;
    out["receiving_slit"] = s.receiving_slit;
    out["date"] = s.date;
    return out;
}

StatedSetup setup_of(const nlohmann::json& in, const std::string& where) {
    namespace jf = json_fields;
    StatedSetup s;
    s.anode = jf::optional_text(in, "anode", where);
    s.wavelength = jf::optional_number(in, "wavelength", where);
    s.alpha2 = jf::optional_number(in, "alpha2", where);
    s.alpha2_ratio = jf::optional_number(in, "alpha2_ratio", where);
    s.goniometer_radius = jf::optional_number(in, "goniometer_radius", where);
    s.divergence_slit = jf::optional_text(in, "divergence_slit", where);
    s.receiving_slit = jf::optional_text(in, "receiving_slit", where);
    s.date = jf::optional_text(in, "date", where);
    return s;
}

// `angle` where the profile's b was taken: whether it lies outside the peaks is stated.
Json caglioti_json(const CagliotiFit& fit, double angle) {
    Json out;
    out["u"] = fit.u;
    out["v"] = fit.v;
    out["w"] = fit.w;
    out["u_u"] = fit.u_u;
    out["u_v"] = fit.u_v;
    out["u_w"] = fit.u_w;
    out["covariance"] = fit.covariance;
    auto& peaks = out["peaks"] = Json::array();
    for (const auto& [two_theta, fwhm] : fit.peaks) {
        peaks.push_back({{"two_theta", two_theta}, {"fwhm", fwhm}});
    }
    out["extrapolated"] = caglioti_extrapolated(fit, angle);
    return out;
}

CagliotiFit caglioti_of(const nlohmann::json& in, const std::string& where) {
    namespace jf = json_fields;
    CagliotiFit fit;
    fit.u = jf::number(in, "u", where);
    fit.v = jf::number(in, "v", where);
    fit.w = jf::number(in, "w", where);
    fit.u_u = jf::number(in, "u_u", where);
    fit.u_v = jf::number(in, "u_v", where);
    fit.u_w = jf::number(in, "u_w", where);
    const auto& covariance = jf::array(in, "covariance", where);
    if (covariance.size() != 9) {
        throw jf::Refusal{"\"covariance\" of " + where + " is not 3 by 3"};
    }
    for (const auto& value : covariance) {
        fit.covariance.push_back(jf::finite(value, "\"covariance\" of " + where));
    }
    const auto& peaks = jf::array(in, "peaks", where);
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        const std::string peak = "peak " + std::to_string(i + 1) + " of " + where;
        fit.peaks.emplace_back(jf::number(peaks[i], "two_theta", peak),
                               jf::number(peaks[i], "fwhm", peak));
    }
    // A statement of the writer (older profiles lack it), which the peaks and the angle
    // fix: checked as a flag, not kept.
    if (in.contains("extrapolated")) {
        jf::flag(in, "extrapolated", where);
    }
    return fit;
}

} // namespace

std::span<const std::string_view> instrument_profile_keys() {
    static constexpr std::string_view keys[] = {"format",
                                                "version",
                                                "b",
                                                "u_b",
                                                "angle",
                                                "standard",
                                                "sha256",
                                                "method",
                                                "doublet_removed",
                                                "setup",
                                                "anode",
                                                "wavelength",
                                                "alpha2",
                                                "alpha2_ratio",
                                                "goniometer_radius",
                                                "divergence_slit",
                                                "receiving_slit",
                                                "date",
                                                "caglioti",
                                                "u",
                                                "v",
                                                "w",
                                                "u_u",
                                                "u_v",
                                                "u_w",
                                                "covariance",
                                                "peaks",
                                                "two_theta",
                                                "fwhm",
                                                "extrapolated"};
    return keys;
}

nlohmann::ordered_json instrument_profile_value(const InstrumentProfile& p) {
    Json out;
    out["format"] = kKind;
    out["version"] = InstrumentProfile::kVersion;
    out["b"] = p.b;
    out["u_b"] = p.u_b;
    out["angle"] = p.angle;
    out["standard"] = p.standard;
    out["sha256"] = p.sha256;
    out["method"] = p.method;
    out["doublet_removed"] = p.doublet_removed;
    out["setup"] = setup_json(p.setup);
    if (p.caglioti) {
        out["caglioti"] = caglioti_json(*p.caglioti, p.angle);
    }
    return out;
}

std::string instrument_profile_json(const InstrumentProfile& p) {
    return instrument_profile_value(p).dump(2, ' ', false,
                                            nlohmann::ordered_json::error_handler_t::replace) +
           "\n";
}

InstrumentProfile instrument_profile_of(const nlohmann::json& object, const std::string& where) {
    namespace jf = json_fields;
    jf::check_kind(object, kKind, "Teravine instrument profile", InstrumentProfile::kVersion);
    InstrumentProfile p;
    p.b = jf::number(object, "b", where);
    p.u_b = jf::number(object, "u_b", where);
    p.angle = jf::number(object, "angle", where);
    if (p.b < 0 || p.u_b < 0) {
        throw jf::Refusal{"\"b\" or \"u_b\" of " + where + " is negative"};
    }
    if (p.angle <= 0 || p.angle >= 180) {
        throw jf::Refusal{"\"angle\" of " + where + " is outside 0 to 180° 2θ"};
    }
    p.standard = jf::text(object, "standard", where);
    p.sha256 = jf::optional_text(object, "sha256", where);
    p.method = jf::text(object, "method", where);
    p.doublet_removed = jf::flag(object, "doublet_removed", where);
    if (object.contains("setup")) {
        p.setup = setup_of(jf::object_at(object, "setup", where), "\"setup\" of " + where);
    }
    if (object.contains("caglioti") && !object.at("caglioti").is_null()) {
        p.caglioti =
            caglioti_of(jf::object_at(object, "caglioti", where), "\"caglioti\" of " + where);
    }
    return p;
}

Outcome<InstrumentProfile> parse_instrument_profile(std::string_view text,
                                                    const std::string& subject) {
    namespace jf = json_fields;
    const auto object = jf::parse_object(
        text, subject,
        {jf::kMaxCalibrationFileBytes, jf::kCalibrationFileTooLarge, instrument_profile_keys()});
    if (!object) {
        return Failure{object.error()};
    }
    try {
        return instrument_profile_of(*object, "the profile");
    } catch (const jf::Refusal& refusal) {
        return Failure{jf::refused(subject, "is a damaged instrument profile", refusal)};
    }
}

Outcome<InstrumentProfile> read_instrument_profile(const std::string& path) {
    const auto text = read_text_file(path);
    if (!text) {
        return Failure{text.error()};
    }
    return parse_instrument_profile(*text, "The file \"" + path + "\"");
}

std::vector<std::string> instrument_mismatches(const InstrumentProfile& profile,
                                               const std::string& method,
                                               const StatedSetup& setup) {
    std::vector<std::string> reasons;
    if (!method_differences(profile.method, method).empty()) {
        reasons.emplace_back(kInstrumentMethod);
    }
    if (!setup_differences(profile.setup, setup).empty()) {
        reasons.emplace_back(kInstrumentSetup);
    }
    return reasons;
}

} // namespace teravine
