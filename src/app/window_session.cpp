// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_session.h"

#include "identify/uncertainty.h"
#include "peaks/profile_shapes.h"
#include "standards/json_fields.h"
#include "text/text_file.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <span>
#include <vector>

namespace teravine {
namespace {

using nlohmann::json;
namespace jf = json_fields;

constexpr std::array<std::string_view, 4> kLabelWords{"label", "name", "number", "none"};

// A session holds at most this much; the most samples the window keeps, each measured,
// stay well below it.
constexpr std::size_t kMaxSessionBytes = std::size_t{64} << 20;

// Every key of a session, its embedded profile and calibration included; others are
// skipped unread.
std::span<const std::string_view> session_keys() {
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> all{"format",
                                          "version",
                                          "reichweite",
                                          "rule",
                                          "broadening",
                                          "correction_table",
                                          "label",
                                          "step",
                                          "start",
                                          "measured",
                                          "corrected",
                                          "grid_lines",
                                          "k",
                                          "n",
                                          "s",
                                          "nfp",
                                          "identical_lines",
                                          "labels",
                                          "sigma",
                                          "ellipses",
                                          "samples",
                                          "name",
                                          "ad",
                                          "eg",
                                          "ad_measured",
                                          "eg_measured",
                                          "u_ad",
                                          "u_eg",
                                          "measurement",
                                          "method",
                                          "range",
                                          "path",
                                          "sha256",
                                          "scan",
                                          "width",
                                          "u",
                                          "quality",
                                          "anode",
                                          "instrument_profile",
                                          "source",
                                          "profile",
                                          "cis_calibration",
                                          "calibration",
                                          "zone_limits",
                                          "scheme",
                                          "lower",
                                          "upper",
                                          "quality_ad",
                                          "quality_eg",
                                          "unplaced",
                                          "reason",
                                          "ad_corrected",
                                          "eg_corrected",
                                          "alpha2_ratio",
                                          "n_profile"};
        for (const auto& more : {instrument_profile_keys(), cis_calibration_keys()}) {
            all.insert(all.end(), more.begin(), more.end());
        }
        return all;
    }();
    return keys;
}

// A width method as sessions store it: its full name ("fit:pseudo-voigt"), or "fit" as
// sessions of earlier releases wrote every fit.
bool known_method(const std::string& method) {
    if (method == kMethodHalfHeight || method == "fit") {
        return true;
    }
    return method.starts_with("fit:") &&
           profile_shape_named(std::string_view(method).substr(4)).has_value();
}

// A width or its uncertainty that sessions of earlier releases may lack: never negative.
std::optional<float> optional_size(const json& object, const char* name, const std::string& where) {
    const auto value = jf::optional_number(object, name, where);
    if (!value) {
        return std::nullopt;
    }
    const auto size = static_cast<float>(*value);
    if (!std::isfinite(size)) {
        throw jf::Refusal{"\"" + std::string(name) + "\" of " + where + " is not a finite number"};
    }
    if (size < 0) {
        throw jf::Refusal{"\"" + std::string(name) + "\" of " + where + " is negative"};
    }
    return size;
}

MeasuredFile measured_file(const json& object, const char* side, const std::string& where_in) {
    const json& one = jf::object_at(object, side, where_in);
    const std::string where = "\"" + std::string(side) + "\" of " + where_in;
    MeasuredFile f;
    f.path = jf::text(one, "path", where);
    f.sha256 = jf::text(one, "sha256", where);
    if (f.sha256.size() != 64 ||
        f.sha256.find_first_not_of("0123456789abcdef") != std::string::npos) {
        throw jf::Refusal{"\"sha256\" of " + where + " is not 64 lowercase hexadecimal digits"};
    }
    f.scan = static_cast<std::int32_t>(jf::whole(one, "scan", where, 1, 1000000));
    f.width = jf::single(one, "width", where);
    f.u = jf::single(one, "u", where);
    if (f.width <= 0 || f.u < 0) {
        throw jf::Refusal{"the width or u of " + where + " is not positive"};
    }
    f.quality = jf::optional_text(one, "quality", where, "ok");
    if (f.quality.empty()) {
        throw jf::Refusal{"\"quality\" of " + where + " is empty"};
    }
    f.anode = jf::optional_text(one, "anode", where);
    return f;
}

// A sample's measurement: optional, but whole and checked when present.
std::optional<Measurement> measurement_of(const json& sample, const std::string& where_in) {
    if (!sample.contains("measurement")) {
        return std::nullopt;
    }
    const std::string where = "the measurement of " + where_in;
    const json& m = jf::object_at(sample, "measurement", where_in);
    Measurement out;
    out.ad = measured_file(m, "ad", where);
    out.eg = measured_file(m, "eg", where);
    const json& range = jf::array(m, "range", where);
    if (range.size() != 2) {
        throw jf::Refusal{"\"range\" of " + where + " is not two numbers"};
    }
    out.range_lo = static_cast<float>(jf::finite(range[0], "\"range\" of " + where));
    out.range_hi = static_cast<float>(jf::finite(range[1], "\"range\" of " + where));
    if (!(out.range_lo < out.range_hi) || out.range_lo < 0 || out.range_hi > 180) {
        throw jf::Refusal{"\"range\" of " + where + " is not a range within 0 to 180"};
    }
    out.method = jf::text(m, "method", where);
    if (!known_method(out.method)) {
        throw jf::Refusal{"\"method\" of " + where + " is \"" + out.method +
                          "\", not half-height or a fit"};
    }
    out.alpha2_ratio = jf::optional_number(m, "alpha2_ratio", where);
    if (out.alpha2_ratio && !(*out.alpha2_ratio >= 0 && *out.alpha2_ratio <= 1)) {
        throw jf::Refusal{"\"alpha2_ratio\" of " + where + " is not a ratio from 0 to 1"};
    }
    return out;
}

json measurement_json(const Measurement& m) {
    const auto file = [](const MeasuredFile& f) {
        return json{{"path", f.path}, {"sha256", f.sha256},   {"scan", f.scan},  {"width", f.width},
                    {"u", f.u},       {"quality", f.quality}, {"anode", f.anode}};
    };
    json out{{"method", m.method},
             {"range", json::array({m.range_lo, m.range_hi})},
             {"ad", file(m.ad)},
             {"eg", file(m.eg)}};
    if (m.alpha2_ratio) {
        out["alpha2_ratio"] = *m.alpha2_ratio;
    }
    return out;
}

// The doubts a list stated of a sample's widths, when it stated any.
void put_qualities(json& one, const std::string& ad, const std::string& eg) {
    if (!ad.empty()) {
        one["quality_ad"] = ad;
    }
    if (!eg.empty()) {
        one["quality_eg"] = eg;
    }
}

// An embedded file's reading, its refusals said as of its place in the session.
template <class Read> auto embedded(const std::string& where, Read&& read) {
    try {
        return read();
    } catch (jf::Refusal& refusal) {
        if (refusal.whole) {
            refusal = jf::Refusal{where + " " + refusal.reason};
        }
        throw;
    }
}

// The laboratory's calibration: each part optional, and whole and checked when present.
LabCalibration lab_of(const json& root) {
    const std::string top = "the session";
    LabCalibration lab;
    if (root.contains("instrument_profile")) {
        const std::string where = "\"instrument_profile\"";
        const json& in = jf::object_at(root, "instrument_profile", top);
        const std::string profile = "\"profile\" of " + where;
        lab.profile = embedded(profile, [&] {
            return instrument_profile_of(jf::object_at(in, "profile", where), profile);
        });
        lab.profile_source = jf::text(in, "source", where);
    }
    if (root.contains("cis_calibration")) {
        const std::string where = "\"cis_calibration\"";
        const json& in = jf::object_at(root, "cis_calibration", top);
        const std::string calibration = "\"calibration\" of " + where;
        lab.cis = embedded(calibration, [&] {
            return cis_calibration_of(jf::object_at(in, "calibration", where), calibration);
        });
        lab.cis_source = jf::text(in, "source", where);
    }
    if (root.contains("zone_limits")) {
        const std::string where = "\"zone_limits\"";
        const json& in = jf::object_at(root, "zone_limits", top);
        ZoneLimits& limits = lab.limits;
        limits.scheme = jf::text(in, "scheme", where);
        // Read as written, in double precision: a sample on a limit stays in its zone.
        limits.lower = jf::number(in, "lower", where);
        limits.upper = jf::number(in, "upper", where);
        if (limits.scheme != "2015" && limits.scheme != "1994" && limits.scheme != "own") {
            throw jf::Refusal{"\"scheme\" of " + where + " is \"" + limits.scheme +
                              "\", not 2015, 1994 or own"};
        }
        if (!(limits.lower > 0 && limits.lower < limits.upper)) {
            throw jf::Refusal{where + " are not two limits above 0, the lower first"};
        }
    }
    return lab;
}

void put_lab(json& root, const LabCalibration& lab) {
    if (lab.profile) {
        root["instrument_profile"] = {{"source", lab.profile_source},
                                      {"profile", json(instrument_profile_value(*lab.profile))}};
    }
    if (lab.cis) {
        root["cis_calibration"] = {{"source", lab.cis_source},
                                   {"calibration", json(cis_calibration_value(*lab.cis))}};
    }
    root["zone_limits"] = {
        {"scheme", lab.limits.scheme}, {"lower", lab.limits.lower}, {"upper", lab.limits.upper}};
}

// The samples not placed: optional, as sessions of earlier releases lack them.
std::vector<UnplacedSample> unplaced_of(const json& root) {
    std::vector<UnplacedSample> out;
    if (!root.contains("unplaced")) {
        return out;
    }
    const json& all = jf::array(root, "unplaced", "the session");
    if (all.size() > static_cast<std::size_t>(kMaxSamples)) {
        throw jf::Refusal{"\"unplaced\" is not a list of at most 32767 samples"};
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string where = "sample not placed " + std::to_string(i + 1);
        const json& one = all[i];
        UnplacedSample u;
        u.name = jf::text(one, "name", where);
        u.ad = jf::single(one, "ad", where);
        u.eg = jf::single(one, "eg", where);
        u.reason = jf::text(one, "reason", where);
        u.ad_corrected = optional_size(one, "ad_corrected", where);
        u.eg_corrected = optional_size(one, "eg_corrected", where);
        u.quality_ad = jf::optional_text(one, "quality_ad", where);
        u.quality_eg = jf::optional_text(one, "quality_eg", where);
        out.push_back(std::move(u));
    }
    return out;
}

json unplaced_json(const UnplacedSample& u) {
    json one = {{"name", u.name}, {"ad", u.ad}, {"eg", u.eg}, {"reason", u.reason}};
    if (u.ad_corrected) {
        one["ad_corrected"] = *u.ad_corrected;
    }
    if (u.eg_corrected) {
        one["eg_corrected"] = *u.eg_corrected;
    }
    put_qualities(one, u.quality_ad, u.quality_eg);
    return one;
}

std::array<bool, 4> switches(const json& root, const char* name) {
    const std::string where = "\"" + std::string(name) + "\"";
    const json& in = jf::object_at(root, name, "the session");
    return {jf::flag(in, "k", where), jf::flag(in, "n", where), jf::flag(in, "s", where),
            jf::flag(in, "nfp", where)};
}

WindowSession session_from(const json& root) {
    WindowSession s;
    const std::string top = "the session";
    s.reich = static_cast<std::int16_t>(jf::whole(root, "reichweite", top, 1, 3));
    s.broad_rule = static_cast<std::int16_t>(jf::whole(root, "rule", top, 0, 3));
    s.broadening_text = jf::text(root, "broadening", top);

    const std::string cor_where = "\"correction_table\"";
    const json& cor = jf::object_at(root, "correction_table", top);
    s.cor_label = jf::text(cor, "label", cor_where);
    s.cor.cor_step = jf::single(cor, "step", cor_where);
    s.cor.cor_start = jf::single(cor, "start", cor_where);
    const json& measured = jf::array(cor, "measured", cor_where);
    const json& corrected = jf::array(cor, "corrected", cor_where);
    if (measured.size() != corrected.size() || measured.size() > kMaxCorEntries) {
        throw jf::Refusal{cor_where + " needs two lists of the same length, at most " +
                          std::to_string(kMaxCorEntries) + " entries"};
    }
    for (std::size_t i = 0; i < measured.size(); ++i) {
        const std::string entry = cor_where + " entry " + std::to_string(i + 1);
        s.cor.measured[i] = static_cast<float>(jf::finite(measured[i], entry));
        s.cor.corrected[i] = static_cast<float>(jf::finite(corrected[i], entry));
        if (!std::isfinite(s.cor.measured[i]) || !std::isfinite(s.cor.corrected[i])) {
            throw jf::Refusal{entry + " is not a finite number"};
        }
    }
    s.cor.cor_count = static_cast<std::int16_t>(measured.size());

    const auto grids = switches(root, "grid_lines");
    s.grids_on = {grids[0], grids[1], grids[2], grids[3]};
    const auto identical = switches(root, "identical_lines");
    s.identical_on = {identical[0], identical[1], identical[2], identical[3]};
    const std::string labels = jf::text(root, "labels", top);
    const auto word = std::find(kLabelWords.begin(), kLabelWords.end(), labels);
    if (word == kLabelWords.end()) {
        throw jf::Refusal{"\"labels\" is \"" + labels + "\", not label, name, number or none"};
    }
    s.labels = static_cast<SampleLabels>(word - kLabelWords.begin());
    s.sigma = jf::single(root, "sigma", top);
    if (s.sigma < 0) {
        throw jf::Refusal{"\"sigma\" is negative"};
    }
    if (s.sigma > kMaxWidthSigma) {
        throw jf::Refusal{"\"sigma\" is above 0.5°: no measured width is that uncertain"};
    }
    s.ellipses = jf::flag(root, "ellipses", top);

    const json& samples = jf::array(root, "samples", top);
    if (samples.size() > static_cast<std::size_t>(kMaxSamples)) {
        throw jf::Refusal{"\"samples\" is not a list of at most 32767 samples"};
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string where = "sample " + std::to_string(i + 1);
        const json& one = samples[i];
        SessionSample sample;
        sample.ad = jf::single(one, "ad", where);
        sample.eg = jf::single(one, "eg", where);
        SampleOrigin& o = sample.origin;
        o.name = jf::text(one, "name", where);
        o.measured = jf::flag(one, "measured", where);
        if (o.measured) {
            o.ad = jf::single(one, "ad_measured", where);
            o.eg = jf::single(one, "eg_measured", where);
            o.broadening = jf::single(one, "broadening", where);
            if (o.broadening < 0) {
                throw jf::Refusal{"\"broadening\" of " + where + " is negative"};
            }
            o.rule = static_cast<std::int16_t>(jf::whole(one, "rule", where, 0, 3));
        }
        o.u_ad = optional_size(one, "u_ad", where);
        o.u_eg = optional_size(one, "u_eg", where);
        o.measurement = measurement_of(one, where);
        take_measured_uncertainties(o); // a session saved before they were kept apart
        o.quality_ad = jf::optional_text(one, "quality_ad", where);
        o.quality_eg = jf::optional_text(one, "quality_eg", where);
        o.n_profile =
            optional_size(one, "n_profile", where); // sessions of earlier releases lack it
        s.samples.push_back(std::move(sample));
    }
    s.unplaced = unplaced_of(root);
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
        put_qualities(one, o.quality_ad, o.quality_eg);
        if (o.n_profile) {
            one["n_profile"] = *o.n_profile;
        }
        samples.push_back(std::move(one));
    }
    json unplaced = json::array();
    for (const UnplacedSample& u : s.unplaced) {
        unplaced.push_back(unplaced_json(u));
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
        {"samples", std::move(samples)},
        {"unplaced", std::move(unplaced)}};
    put_lab(root, s.lab);
    return root.dump(1) + "\n";
}

Outcome<WindowSession> read_session_text(std::string_view text_in, const std::string& subject) {
    const auto root = jf::parse_object(
        text_in, subject,
        {kMaxSessionBytes, "is larger than 64 MiB: it is no session", session_keys()});
    if (!root) {
        return Failure{root.error()};
    }
    try {
        jf::check_kind(*root, "teravine-session", "Teravine session", kSessionVersion);
        return session_from(*root);
    } catch (const jf::Refusal& refusal) {
        return Failure{jf::refused(subject, "is a damaged session", refusal)};
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
