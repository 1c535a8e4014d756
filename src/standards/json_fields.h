// SPDX-License-Identifier: GPL-3.0-or-later
// Strict reading of Teravine's JSON files (instrument profiles, CIS calibrations, window
// sessions): the text parsed without recursion under limits of size, nesting and count,
// keys the file kind does not know skipped without being built, and each field read of
// the type it must have, a number finite, every refusal naming the field and where it is.
#pragma once

#include "text/outcome.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace teravine::json_fields {

// Thrown by the readers below and caught where a file is read. `reason` is a clause about
// the content ("\"ad\" of sample 1 is not a number"); `whole` marks one about the file as
// a whole, said of it directly ("is not a Teravine session").
struct Refusal {
    std::string reason;
    bool whole = false;
};

// Deeper than this no Teravine file nests; a session of the most samples holds fewer values.
inline constexpr std::size_t kMaxJsonDepth = 32;
inline constexpr std::size_t kMaxJsonValues = 4'000'000;

// A profile, or a calibration of the most standards `cis fit` takes, stays far below this.
inline constexpr std::size_t kMaxCalibrationFileBytes = std::size_t{1} << 20;
inline constexpr std::string_view kCalibrationFileTooLarge =
    "is larger than 1 MiB: it is no profile or calibration";

struct JsonLimits {
    std::size_t max_bytes = 0;
    std::string_view too_large; // said of a larger file: "is larger than 1 MiB: ..."
    // Every key the file kind's reader reads, at any level; the values of other keys are
    // skipped unbuilt.
    std::span<const std::string_view> keys;
};

// The object the text holds, or a refusal naming `subject`: too large, not JSON (with the
// byte), a number beyond the range of a double, nesting deeper than kMaxJsonDepth, more
// than kMaxJsonValues values kept, or not an object.
Outcome<nlohmann::json> parse_object(std::string_view text, const std::string& subject,
                                     const JsonLimits& limits);

// The file's kind and version: refuses (a `whole` refusal) another kind, a version that is
// not a whole number from 1, and one later than `version`. `noun` names the kind to the
// user: "Teravine session".
void check_kind(const nlohmann::json& object, std::string_view kind, std::string_view noun,
                int version);

// `where` names the object the field is read from in the refusals ("sample 3"); the
// top-level object is "the file".
double number(const nlohmann::json& object, const char* key, const std::string& where);
// A number that is also finite in single precision, as the window keeps its widths.
float single(const nlohmann::json& object, const char* key, const std::string& where);
std::optional<double> optional_number(const nlohmann::json& object, const char* key,
                                      const std::string& where);
std::int64_t whole(const nlohmann::json& object, const char* key, const std::string& where,
                   std::int64_t low, std::int64_t high);
std::string text(const nlohmann::json& object, const char* key, const std::string& where);
// An optional text: `absent` when the key is missing.
std::string optional_text(const nlohmann::json& object, const char* key, const std::string& where,
                          const char* absent = "");
bool flag(const nlohmann::json& object, const char* key, const std::string& where);
const nlohmann::json& array(const nlohmann::json& object, const char* key,
                            const std::string& where);
const nlohmann::json& object_at(const nlohmann::json& object, const char* key,
                                const std::string& where);

// A finite number as a JSON value; `what` names it ("entry 3 of \"covariance\"").
double finite(const nlohmann::json& value, const std::string& what);

// The message of a refusal of the file `subject`, for a file kind whose damage is said as
// `damaged` ("is a damaged session").
std::string refused(const std::string& subject, std::string_view damaged, const Refusal& refusal);

} // namespace teravine::json_fields
