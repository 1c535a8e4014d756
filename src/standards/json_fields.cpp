// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/json_fields.h"

#include <cmath>

namespace teravine::json_fields {

namespace {

// A profile or a calibration of thousands of standards stays far below this; a larger
// file is not one, and its nesting could cost memory out of all proportion.
constexpr std::size_t kMaxJsonBytes = std::size_t{1} << 20;

} // namespace

Outcome<nlohmann::json> parse_object(const std::string& text, const std::string& subject) {
    if (text.size() > kMaxJsonBytes) {
        return Failure{subject + " is larger than 1 MiB: it is no profile or calibration."};
    }
    nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    if (object.is_discarded()) {
        return Failure{subject + " is not JSON."};
    }
    if (!object.is_object()) {
        return Failure{subject + " holds no JSON object."};
    }
    return object;
}

void check_kind(const nlohmann::json& object, const std::string& kind, int version) {
    const auto format = object.find("format");
    if (format == object.end() || !format->is_string() || format->get<std::string>() != kind) {
        throw Refusal{"is not a " + kind + " file (its \"format\" is not \"" + kind + "\")"};
    }
    const auto found = object.find("version");
    if (found == object.end() || !found->is_number_integer()) {
        throw Refusal{"states no whole-number \"version\""};
    }
    if (found->get<long long>() != version) {
        throw Refusal{"is of version " + found->dump() + "; this program reads version " +
                      std::to_string(version)};
    }
}

double finite(const nlohmann::json& value, const std::string& what) {
    if (!value.is_number()) {
        throw Refusal{"has " + what + " that is not a number"};
    }
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        throw Refusal{"has " + what + " that is not finite"};
    }
    return number;
}

double number(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end()) {
        throw Refusal{std::string("lacks \"") + key + "\""};
    }
    return finite(*found, std::string("a \"") + key + "\"");
}

std::optional<double> optional_number(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return std::nullopt;
    }
    return finite(*found, std::string("a \"") + key + "\"");
}

std::string text(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        throw Refusal{std::string("has no text \"") + key + "\""};
    }
    return found->get<std::string>();
}

std::string optional_text(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return {};
    }
    if (!found->is_string()) {
        throw Refusal{std::string("has a \"") + key + "\" that is not text"};
    }
    return found->get<std::string>();
}

bool flag(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_boolean()) {
        throw Refusal{std::string("has no true or false \"") + key + "\""};
    }
    return found->get<bool>();
}

const nlohmann::json& array(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_array()) {
        throw Refusal{std::string("has no list \"") + key + "\""};
    }
    return *found;
}

const nlohmann::json& object_at(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_object()) {
        throw Refusal{std::string("has no object \"") + key + "\""};
    }
    return *found;
}

} // namespace teravine::json_fields
