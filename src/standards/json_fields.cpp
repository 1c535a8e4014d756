// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/json_fields.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace teravine::json_fields {

namespace {

using nlohmann::json;

// Builds the document from the parser's events, as nlohmann's own builder would, but
// stops at the limits and keeps nothing of a key the reader does not know. Nothing here
// recurses: the open containers are a stack, and a skipped value is only counted through.
class StrictBuilder {
public:
    explicit StrictBuilder(const JsonLimits& limits) : limits_(limits) {}

    json root;
    std::string problem; // why the parse stopped, said of the file; empty after a parse error

    bool null() { return put(nullptr); }
    bool boolean(bool value) { return put(value); }
    bool number_integer(json::number_integer_t value) { return put(value); }
    bool number_unsigned(json::number_unsigned_t value) { return put(value); }
    bool number_float(json::number_float_t value, const std::string&) { return put(value); }
    bool string(std::string& value) { return put(std::move(value)); }
    bool binary(json::binary_t&) { return put(nullptr); } // JSON text has none

    bool start_object(std::size_t) { return open(json::object()); }
    bool start_array(std::size_t) { return open(json::array()); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(std::string& name) {
        if (skipping_ > 0) {
            return true;
        }
        if (std::find(limits_.keys.begin(), limits_.keys.end(), name) == limits_.keys.end()) {
            skip_next_ = true;
            return true;
        }
        slot_ = &(*open_.back())[name];
        return true;
    }

    bool parse_error(std::size_t byte, const std::string&, const nlohmann::detail::exception& e) {
        error_byte = byte;
        out_of_range = e.id == 406; // a number the parser could not hold
        return false;
    }

    std::size_t error_byte = 0;
    bool out_of_range = false;

private:
    // Where a value goes: the root, the end of the open list, or the key just read.
    json* place() {
        if (open_.empty()) {
            return &root;
        }
        json& top = *open_.back();
        if (top.is_array()) {
            top.push_back(nullptr);
            return &top.back();
        }
        return slot_;
    }

    bool counted() {
        if (++values_ > kMaxJsonValues) {
            problem = "holds more than " + std::to_string(kMaxJsonValues) + " values";
            return false;
        }
        return true;
    }

    template <class Value> bool put(Value&& value) {
        if (skipping_ > 0) {
            return true;
        }
        if (skip_next_) {
            skip_next_ = false;
            return true;
        }
        if (!counted()) {
            return false;
        }
        *place() = std::forward<Value>(value);
        return true;
    }

    bool open(json empty) {
        if (++depth_ > kMaxJsonDepth) {
            problem = "nests deeper than " + std::to_string(kMaxJsonDepth) + " levels";
            return false;
        }
        if (skipping_ > 0 || skip_next_) {
            skip_next_ = false;
            ++skipping_;
            return true;
        }
        if (!counted()) {
            return false;
        }
        json* slot = place();
        *slot = std::move(empty);
        open_.push_back(slot);
        return true;
    }

    bool close() {
        --depth_;
        if (skipping_ > 0) {
            --skipping_;
        } else {
            open_.pop_back();
        }
        return true;
    }

    const JsonLimits& limits_;
    // The containers being filled, innermost last. A pointer stays good: a list grows
    // only while it is the innermost.
    std::vector<json*> open_;
    json* slot_ = nullptr;
    std::size_t depth_ = 0;
    std::size_t skipping_ = 0; // the nesting inside a skipped value
    bool skip_next_ = false;   // the next value is an unknown key's
    std::size_t values_ = 0;
};

std::string field_name(const char* key, const std::string& where) {
    return "\"" + std::string(key) + "\" of " + where;
}

const json& field(const json& object, const char* key, const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end()) {
        throw Refusal{where + " has no \"" + key + "\""};
    }
    return *found;
}

} // namespace

Outcome<json> parse_object(std::string_view text, const std::string& subject,
                           const JsonLimits& limits) {
    if (text.size() > limits.max_bytes) {
        return Failure{subject + " " + std::string(limits.too_large) + "."};
    }
    StrictBuilder builder(limits);
    if (!json::sax_parse(text.begin(), text.end(), &builder)) {
        if (!builder.problem.empty()) {
            return Failure{subject + " " + builder.problem + "."};
        }
        return Failure{
            subject +
            (builder.out_of_range ? " holds a number beyond any measure" : " is not JSON") +
            " (byte " + std::to_string(builder.error_byte) + ")."};
    }
    return std::move(builder.root);
}

void check_kind(const json& object, std::string_view kind, std::string_view noun, int version) {
    const auto format = object.find("format");
    if (!object.is_object() || format == object.end() || !format->is_string() ||
        format->get_ref<const std::string&>() != kind) {
        throw Refusal{"is not a " + std::string(noun) + " (its \"format\" is not \"" +
                          std::string(kind) + "\")",
                      true};
    }
    const auto found = object.find("version");
    if (found == object.end() || !found->is_number_integer() || found->get<std::int64_t>() < 1) {
        throw Refusal{"is a " + std::string(noun) + " without a version this program knows", true};
    }
    if (found->get<std::int64_t>() > version) {
        throw Refusal{"is of version " + std::to_string(found->get<std::int64_t>()) +
                          ", later than this program reads (" + std::to_string(version) + ")",
                      true};
    }
}

double finite(const json& value, const std::string& what) {
    if (!value.is_number()) {
        throw Refusal{what + " is not a number"};
    }
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        throw Refusal{what + " is not a finite number"};
    }
    return number;
}

double number(const json& object, const char* key, const std::string& where) {
    return finite(field(object, key, where), field_name(key, where));
}

float single(const json& object, const char* key, const std::string& where) {
    const auto value = static_cast<float>(number(object, key, where));
    if (!std::isfinite(value)) {
        throw Refusal{field_name(key, where) + " is not a finite number"};
    }
    return value;
}

std::optional<double> optional_number(const json& object, const char* key,
                                      const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return std::nullopt;
    }
    return finite(*found, field_name(key, where));
}

std::int64_t whole(const json& object, const char* key, const std::string& where, std::int64_t low,
                   std::int64_t high) {
    const json& value = field(object, key, where);
    if (!value.is_number_integer() || value.get<std::int64_t>() < low ||
        value.get<std::int64_t>() > high) {
        throw Refusal{field_name(key, where) + " is not a whole number " + std::to_string(low) +
                      " to " + std::to_string(high)};
    }
    return value.get<std::int64_t>();
}

std::string text(const json& object, const char* key, const std::string& where) {
    const json& value = field(object, key, where);
    if (!value.is_string()) {
        throw Refusal{field_name(key, where) + " is not a text"};
    }
    return value.get<std::string>();
}

std::string optional_text(const json& object, const char* key, const std::string& where,
                          const char* absent) {
    const auto found = object.find(key);
    if (found == object.end()) {
        return absent;
    }
    if (!found->is_string()) {
        throw Refusal{field_name(key, where) + " is not a text"};
    }
    return found->get<std::string>();
}

bool flag(const json& object, const char* key, const std::string& where) {
    const json& value = field(object, key, where);
    if (!value.is_boolean()) {
        throw Refusal{field_name(key, where) + " is not true or false"};
    }
    return value.get<bool>();
}

const json& array(const json& object, const char* key, const std::string& where) {
    const json& value = field(object, key, where);
    if (!value.is_array()) {
        throw Refusal{field_name(key, where) + " is not a list"};
    }
    return value;
}

const json& object_at(const json& object, const char* key, const std::string& where) {
    const json& value = field(object, key, where);
    if (!value.is_object()) {
        throw Refusal{field_name(key, where) + " has no fields: it is not an object"};
    }
    return value;
}

std::string refused(const std::string& subject, std::string_view damaged, const Refusal& refusal) {
    return subject + " " + (refusal.whole ? "" : std::string(damaged) + ": ") + refusal.reason +
           ".";
}

} // namespace teravine::json_fields
