// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/instrument_profile.h"

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

StatedSetup setup_of(const nlohmann::json& in) {
    namespace jf = json_fields;
    StatedSetup s;
    s.anode = jf::optional_text(in, "anode");
    s.wavelength = jf::optional_number(in, "wavelength");
    s.alpha2 = jf::optional_number(in, "alpha2");
    s.alpha2_ratio = jf::optional_number(in, "alpha2_ratio");
    s.goniometer_radius = jf::optional_number(in, "goniometer_radius");
    s.divergence_slit = jf::optional_text(in, "divergence_slit");
    s.receiving_slit = jf::optional_text(in, "receiving_slit");
    s.date = jf::optional_text(in, "date");
    return s;
}

Json caglioti_json(const CagliotiFit& fit) {
    Json out;
    out["u"] = fit.u;
    out["v"] = fit.v;
    out["w"] = fit.w;
    out["u_u"] = fit.u_u;
    out["u_v"] = fit.u_v;
    out["u_w"] = fit.u_w;
    out["covariance"] = fit.covariance;
    auto& peaks = out["peaks"] = Json::array();
    for (const auto& [angle, fwhm] : fit.peaks) {
        peaks.push_back({{"two_theta", angle}, {"fwhm", fwhm}});
    }
    return out;
}

CagliotiFit caglioti_of(const nlohmann::json& in) {
    namespace jf = json_fields;
    CagliotiFit fit;
    fit.u = jf::number(in, "u");
    fit.v = jf::number(in, "v");
    fit.w = jf::number(in, "w");
    fit.u_u = jf::number(in, "u_u");
    fit.u_v = jf::number(in, "u_v");
    fit.u_w = jf::number(in, "u_w");
    const auto& covariance = jf::array(in, "covariance");
    if (covariance.size() != 9) {
        throw jf::Refusal{"has a \"covariance\" of the width against angle that is not 3 by 3"};
    }
    for (const auto& value : covariance) {
        fit.covariance.push_back(jf::finite(value, "a covariance"));
    }
    for (const auto& peak : jf::array(in, "peaks")) {
        if (!peak.is_object()) {
            throw jf::Refusal{"has a peak that is not an object"};
        }
        fit.peaks.emplace_back(jf::number(peak, "two_theta"), jf::number(peak, "fwhm"));
    }
    return fit;
}

// "fit:pseudo-voigt:2/3" is the method "fit:pseudo-voigt".
std::string method_without_component(const std::string& method) {
    const auto last = method.rfind(':');
    if (last != std::string::npos && method.find('/', last) != std::string::npos) {
        return method.substr(0, last);
    }
    return method;
}

} // namespace

std::string instrument_profile_json(const InstrumentProfile& p) {
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
        out["caglioti"] = caglioti_json(*p.caglioti);
    }
    return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

Outcome<InstrumentProfile> parse_instrument_profile(const std::string& text,
                                                    const std::string& subject) {
    namespace jf = json_fields;
    const auto object = jf::parse_object(text, subject);
    if (!object) {
        return Failure{object.error()};
    }
    try {
        jf::check_kind(*object, kKind, InstrumentProfile::kVersion);
        InstrumentProfile p;
        p.b = jf::number(*object, "b");
        p.u_b = jf::number(*object, "u_b");
        p.angle = jf::number(*object, "angle");
        if (p.b < 0 || p.u_b < 0) {
            throw jf::Refusal{"has a negative \"b\" or \"u_b\""};
        }
        if (p.angle <= 0 || p.angle >= 180) {
            throw jf::Refusal{"has an \"angle\" outside 0 to 180° 2θ"};
        }
        p.standard = jf::text(*object, "standard");
        p.sha256 = jf::optional_text(*object, "sha256");
        p.method = jf::text(*object, "method");
        p.doublet_removed = jf::flag(*object, "doublet_removed");
        if (object->contains("setup")) {
            p.setup = setup_of(jf::object_at(*object, "setup"));
        }
        if (object->contains("caglioti") && !object->at("caglioti").is_null()) {
            p.caglioti = caglioti_of(jf::object_at(*object, "caglioti"));
        }
        return p;
    } catch (const jf::Refusal& refusal) {
        return Failure{subject + " " + refusal.reason + "."};
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
    if (method_without_component(method) != method_without_component(profile.method)) {
        reasons.emplace_back(kInstrumentMethod);
    }
    if (!setup_differences(profile.setup, setup).empty()) {
        reasons.emplace_back(kInstrumentSetup);
    }
    return reasons;
}

} // namespace teravine
