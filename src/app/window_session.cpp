// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_session.h"

#include "text/text_file.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <stdexcept>

namespace teravine {
namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 4> kLabelWords{"label", "name", "number", "none"};

// A field that is not what the session needs; the text names it.
struct BadField : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const json& field(const json& object, const char* name, const std::string& where) {
    if (!object.is_object() || !object.contains(name)) {
        throw BadField(where + " has no \"" + name + "\"");
    }
    return object.at(name);
}

bool flag(const json& object, const char* name, const std::string& where) {
    const json& value = field(object, name, where);
    if (!value.is_boolean()) {
        throw BadField("\"" + std::string(name) + "\" of " + where + " is not true or false");
    }
    return value.get<bool>();
}

std::string text(const json& object, const char* name, const std::string& where) {
    const json& value = field(object, name, where);
    if (!value.is_string()) {
        throw BadField("\"" + std::string(name) + "\" of " + where + " is not a text");
    }
    return value.get<std::string>();
}

float number(const json& value, const std::string& what) {
    if (!value.is_number()) {
        throw BadField(what + " is not a number");
    }
    const double d = value.get<double>();
    const auto f = static_cast<float>(d);
    if (!std::isfinite(f)) {
        throw BadField(what + " is not a finite number");
    }
    return f;
}

float number(const json& object, const char* name, const std::string& where) {
    return number(field(object, name, where), "\"" + std::string(name) + "\" of " + where);
}

std::int64_t whole(const json& object, const char* name, const std::string& where, std::int64_t low,
                   std::int64_t high) {
    const json& value = field(object, name, where);
    if (!value.is_number_integer() || value.get<std::int64_t>() < low ||
        value.get<std::int64_t>() > high) {
        throw BadField("\"" + std::string(name) + "\" of " + where + " is not a whole number " +
                       std::to_string(low) + " to " + std::to_string(high));
    }
    return value.get<std::int64_t>();
}

// A text that sessions of earlier releases did not write: `absent` when missing.
std::string optional_text(const json& object, const char* name, const std::string& where,
                          const char* absent) {
    return object.contains(name) ? text(object, name, where) : std::string(absent);
}

std::optional<float> optional_number(const json& object, const char* name,
                                     const std::string& where) {
    if (!object.contains(name) || object.at(name).is_null()) {
        return std::nullopt;
    }
    const float value = number(object, name, where);
    if (value < 0) {
        throw BadField("\"" + std::string(name) + "\" of " + where + " is negative");
    }
    return value;
}

MeasuredFile measured_file(const json& object, const char* side, const std::string& where_in) {
    const json& one = field(object, side, where_in);
    const std::string where = "\"" + std::string(side) + "\" of " + where_in;
    MeasuredFile f;
    f.path = text(one, "path", where);
    f.sha256 = text(one, "sha256", where);
    if (f.sha256.size() != 64 ||
        f.sha256.find_first_not_of("0123456789abcdef") != std::string::npos) {
        throw BadField("\"sha256\" of " + where + " is not 64 lowercase hexadecimal digits");
    }
    f.scan = static_cast<std::int32_t>(whole(one, "scan", where, 1, 1000000));
    f.width = number(one, "width", where);
    f.u = number(one, "u", where);
    if (f.width <= 0 || f.u < 0) {
        throw BadField("the width or u of " + where + " is not positive");
    }
    f.quality = optional_text(one, "quality", where, "ok");
    if (f.quality.empty()) {
        throw BadField("\"quality\" of " + where + " is empty");
    }
    f.anode = optional_text(one, "anode", where, "");
    return f;
}

// A sample's measurement: optional, but whole and checked when present.
std::optional<Measurement> measurement_of(const json& sample, const std::string& where_in) {
    if (!sample.contains("measurement")) {
        return std::nullopt;
    }
    const json& m = sample.at("measurement");
    const std::string where = "the measurement of " + where_in;
    Measurement out;
    out.ad = measured_file(m, "ad", where);
    out.eg = measured_file(m, "eg", where);
    const json& range = field(m, "range", where);
    if (!range.is_array() || range.size() != 2) {
        throw BadField("\"range\" of " + where + " is not two numbers");
    }
    out.range_lo = number(range[0], "\"range\" of " + where);
    out.range_hi = number(range[1], "\"range\" of " + where);
    if (!(out.range_lo < out.range_hi) || out.range_lo < 0 || out.range_hi > 180) {
        throw BadField("\"range\" of " + where + " is not a range within 0 to 180");
    }
    out.method = text(m, "method", where);
    if (out.method != kMethodHalfHeight && out.method != "fit") {
        throw BadField("\"method\" of " + where + " is \"" + out.method +
                       "\", not half-height or fit");
    }
    return out;
}

json measurement_json(const Measurement& m) {
    const auto file = [](const MeasuredFile& f) {
        return json{{"path", f.path}, {"sha256", f.sha256},   {"scan", f.scan},  {"width", f.width},
                    {"u", f.u},       {"quality", f.quality}, {"anode", f.anode}};
    };
    return json{{"method", m.method},
                {"range", json::array({m.range_lo, m.range_hi})},
                {"ad", file(m.ad)},
                {"eg", file(m.eg)}};
}

// The laboratory's calibration: each part optional, and whole and checked when present.
LabCalibration lab_of(const json& root) {
    LabCalibration lab;
    if (root.contains("instrument_profile")) {
        const json& in = root.at("instrument_profile");
        const std::string where = "\"instrument_profile\"";
        auto profile = parse_instrument_profile(field(in, "profile", where).dump(), where);
        if (!profile) {
            throw BadField(profile.error());
        }
        lab.profile = std::move(profile.value());
        lab.profile_source = text(in, "source", where);
    }
    if (root.contains("cis_calibration")) {
        const json& in = root.at("cis_calibration");
        const std::string where = "\"cis_calibration\"";
        auto calibration = parse_cis_calibration(field(in, "calibration", where).dump(), where);
        if (!calibration) {
            throw BadField(calibration.error());
        }
        lab.cis = std::move(calibration.value());
        lab.cis_source = text(in, "source", where);
    }
    if (root.contains("zone_limits")) {
        const json& in = root.at("zone_limits");
        const std::string where = "\"zone_limits\"";
        ZoneLimits& limits = lab.limits;
        limits.scheme = text(in, "scheme", where);
        // Read as written, in double precision: a sample on a limit stays in its zone.
        const auto limit = [&](const char* name) {
            const json& value = field(in, name, where);
            if (!value.is_number() || !std::isfinite(value.get<double>())) {
                throw BadField("\"" + std::string(name) + "\" of " + where +
                               " is not a finite number");
            }
            return value.get<double>();
        };
        limits.lower = limit("lower");
        limits.upper = limit("upper");
        if (limits.scheme != "2015" && limits.scheme != "1994" && limits.scheme != "own") {
            throw BadField("\"scheme\" of " + where + " is \"" + limits.scheme +
                           "\", not 2015, 1994 or own");
        }
        if (!(limits.lower > 0 && limits.lower < limits.upper)) {
            throw BadField(where + " are not two limits above 0, the lower first");
        }
    }
    return lab;
}

void put_lab(json& root, const LabCalibration& lab) {
    if (lab.profile) {
        root["instrument_profile"] = {
            {"source", lab.profile_source},
            {"profile", json::parse(instrument_profile_json(*lab.profile))}};
    }
    if (lab.cis) {
        root["cis_calibration"] = {{"source", lab.cis_source},
                                   {"calibration", json::parse(cis_calibration_json(*lab.cis))}};
    }
    root["zone_limits"] = {
        {"scheme", lab.limits.scheme}, {"lower", lab.limits.lower}, {"upper", lab.limits.upper}};
}

WindowSession session_from(const json& root) {
    WindowSession s;
    const std::string top = "the session";
    s.reich = static_cast<std::int16_t>(whole(root, "reichweite", top, 1, 3));
    s.broad_rule = static_cast<std::int16_t>(whole(root, "rule", top, 0, 3));
    s.broadening_text = text(root, "broadening", top);

    const json& cor = field(root, "correction_table", top);
    const std::string cor_where = "\"correction_table\"";
    s.cor_label = text(cor, "label", cor_where);
    s.cor.cor_step = number(cor, "step", cor_where);
    s.cor.cor_start = number(cor, "start", cor_where);
    const json& measured = field(cor, "measured", cor_where);
    const json& corrected = field(cor, "corrected", cor_where);
    if (!measured.is_array() || !corrected.is_array() || measured.size() != corrected.size() ||
        measured.size() > kMaxCorEntries) {
        throw BadField(cor_where + " needs two lists of the same length, at most " +
                       std::to_string(kMaxCorEntries) + " entries");
    }
    for (std::size_t i = 0; i < measured.size(); ++i) {
        s.cor.measured[i] = number(measured[i], cor_where + " entry " + std::to_string(i + 1));
        s.cor.corrected[i] = number(corrected[i], cor_where + " entry " + std::to_string(i + 1));
    }
    s.cor.cor_count = static_cast<std::int16_t>(measured.size());

    const json& grids = field(root, "grid_lines", top);
    s.grids_on = {flag(grids, "k", "\"grid_lines\""), flag(grids, "n", "\"grid_lines\""),
                  flag(grids, "s", "\"grid_lines\""), flag(grids, "nfp", "\"grid_lines\"")};
    const json& identical = field(root, "identical_lines", top);
    const std::string id_where = "\"identical_lines\"";
    s.identical_on = {flag(identical, "k", id_where), flag(identical, "n", id_where),
                      flag(identical, "s", id_where), flag(identical, "nfp", id_where)};
    const std::string labels = text(root, "labels", top);
    const auto word = std::find(kLabelWords.begin(), kLabelWords.end(), labels);
    if (word == kLabelWords.end()) {
        throw BadField("\"labels\" is \"" + labels + "\", not label, name, number or none");
    }
    s.labels = static_cast<SampleLabels>(word - kLabelWords.begin());
    s.sigma = number(root, "sigma", top);
    if (s.sigma < 0) {
        throw BadField("\"sigma\" is negative");
    }
    s.ellipses = flag(root, "ellipses", top);

    const json& samples = field(root, "samples", top);
    if (!samples.is_array() || samples.size() > static_cast<std::size_t>(kMaxSamples)) {
        throw BadField("\"samples\" is not a list of at most 32767 samples");
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string where = "sample " + std::to_string(i + 1);
        const json& one = samples[i];
        SessionSample sample;
        sample.ad = number(one, "ad", where);
        sample.eg = number(one, "eg", where);
        SampleOrigin& o = sample.origin;
        o.name = text(one, "name", where);
        o.measured = flag(one, "measured", where);
        if (o.measured) {
            o.ad = number(one, "ad_measured", where);
            o.eg = number(one, "eg_measured", where);
            o.broadening = number(one, "broadening", where);
            o.rule = static_cast<std::int16_t>(whole(one, "rule", where, 0, 3));
        }
        o.u_ad = optional_number(one, "u_ad", where);
        o.u_eg = optional_number(one, "u_eg", where);
        o.measurement = measurement_of(one, where);
        take_measured_uncertainties(o); // a session saved before they were kept apart
        s.samples.push_back(std::move(sample));
    }
    s.lab = lab_of(root);
    return s;
}

} // namespace

std::string_view labels_word(SampleLabels labels) {
    return kLabelWords[static_cast<std::size_t>(labels)];
}

std::string session_json(const WindowSession& s) {
    json cor = {{"label", s.cor_label},
                {"step", s.cor.cor_step},
                {"start", s.cor.cor_start},
                {"measured", json::array()},
                {"corrected", json::array()}};
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max<int>(s.cor.cor_count, 0)); ++i) {
        cor["measured"].push_back(s.cor.measured[i]);
        cor["corrected"].push_back(s.cor.corrected[i]);
    }
    json samples = json::array();
    for (const SessionSample& sample : s.samples) {
        const SampleOrigin& o = sample.origin;
        json one = {
            {"name", o.name}, {"ad", sample.ad}, {"eg", sample.eg}, {"measured", o.measured}};
        if (o.measured) {
            one["ad_measured"] = o.ad;
            one["eg_measured"] = o.eg;
            one["broadening"] = o.broadening;
            one["rule"] = o.rule;
        }
        if (o.u_ad) {
            one["u_ad"] = *o.u_ad;
        }
        if (o.u_eg) {
            one["u_eg"] = *o.u_eg;
        }
        if (o.measurement) {
            one["measurement"] = measurement_json(*o.measurement);
        }
        samples.push_back(std::move(one));
    }
    json root = {
        {"format", "teravine-session"},
        {"version", kSessionVersion},
        {"reichweite", s.reich},
        {"rule", s.broad_rule},
        {"broadening", s.broadening_text},
        {"correction_table", std::move(cor)},
        {"grid_lines",
         {{"k", s.grids_on.k}, {"n", s.grids_on.n}, {"s", s.grids_on.s}, {"nfp", s.grids_on.fp}}},
        {"identical_lines",
         {{"k", s.identical_on.k},
          {"n", s.identical_on.n},
          {"s", s.identical_on.s},
          {"nfp", s.identical_on.fp}}},
        {"labels", labels_word(s.labels)},
        {"sigma", s.sigma},
        {"ellipses", s.ellipses},
        {"samples", std::move(samples)}};
    put_lab(root, s.lab);
    return root.dump(1) + "\n";
}

Outcome<WindowSession> read_session_text(std::string_view text_in, const std::string& subject) {
    json root;
    try {
        root = json::parse(text_in.begin(), text_in.end(), nullptr, true, false);
    } catch (const json::parse_error& e) {
        return Failure{subject + " is not a session: it is not JSON (byte " +
                       std::to_string(e.byte) + ")."};
    }
    if (!root.is_object() || !root.contains("format") || root["format"] != "teravine-session") {
        return Failure{subject + " is not a Teravine session."};
    }
    if (!root.contains("version") || !root["version"].is_number_integer() ||
        root["version"].get<std::int64_t>() < 1) {
        return Failure{subject + " is a session without a version this program knows."};
    }
    if (root["version"].get<std::int64_t>() > kSessionVersion) {
        return Failure{subject + " is a session of a later version (" +
                       std::to_string(root["version"].get<std::int64_t>()) +
                       ") than this program reads (" + std::to_string(kSessionVersion) + ")."};
    }
    try {
        return session_from(root);
    } catch (const BadField& bad) {
        return Failure{subject + " is a damaged session: " + bad.what() + "."};
    } catch (const json::exception& e) {
        return Failure{subject + " is a damaged session: " + e.what() + "."};
    }
}

Outcome<WindowSession> read_session_file(const std::string& path) {
    const auto text_read = read_text_file(path);
    if (!text_read) {
        return Failure{text_read.error()};
    }
    return read_session_text(*text_read, "The file \"" + path + "\"");
}

} // namespace teravine
