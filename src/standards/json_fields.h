// SPDX-License-Identifier: GPL-3.0-or-later
// Strict reading of the fields of the standards' JSON files: each field of the type it
// must have, a number finite, and every refusal naming the file and the field.
#pragma once

#include "text/outcome.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace teravine::json_fields {

// Thrown by the readers below and caught where a file is parsed; carries the reason.
struct Refusal {
    std::string reason;
};

// The object the text holds, or a refusal: not JSON, or not an object.
Outcome<nlohmann::json> parse_object(const std::string& text, const std::string& subject);

// The file's kind and version: refuses another kind or a version not `version`.
void check_kind(const nlohmann::json& object, const std::string& kind, int version);

double number(const nlohmann::json& object, const char* key);
std::optional<double> optional_number(const nlohmann::json& object, const char* key);
std::string text(const nlohmann::json& object, const char* key);
std::string optional_text(const nlohmann::json& object, const char* key);
bool flag(const nlohmann::json& object, const char* key);
const nlohmann::json& array(const nlohmann::json& object, const char* key);
const nlohmann::json& object_at(const nlohmann::json& object, const char* key);

// A finite number as a JSON value.
double finite(const nlohmann::json& value, const std::string& what);

} // namespace teravine::json_fields
