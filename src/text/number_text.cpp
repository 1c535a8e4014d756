// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace teravine {
namespace {

// The exact decimal expansion of a finite double, as integer digits and fraction
// digits, without sign. 1100 fraction digits hold every double exactly.
struct Decimal {
    bool negative = false;
    std::string int_digits;  // at least "0"
    std::string frac_digits; // exact, may be long
};

Decimal exact_decimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    // A single's expansion ends within 149 fraction digits; a double's within 1074.
    const bool is_single = static_cast<double>(static_cast<float>(value)) == value;
    static thread_local char buffer[1500];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::fixed, is_single ? 150 : 1075);
    std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    d.int_digits = text.substr(0, point);
    d.frac_digits = point == std::string::npos ? std::string() : text.substr(point + 1);
    return d;
}

// Adds one unit at the last digit of a digit string; returns true on a carry out.
bool increment(std::string& digits) {
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    return true;
}

// Rounds to `decimals` fraction digits, half away from zero.
Decimal round_away(Decimal d, int decimals) {
    const auto keep = static_cast<std::size_t>(decimals);
    const bool up = d.frac_digits.size() > keep && d.frac_digits[keep] >= '5';
    d.frac_digits.resize(keep, '0');
    if (up && increment(d.frac_digits) && increment(d.int_digits)) {
        d.int_digits.insert(d.int_digits.begin(), '1');
    }
    return d;
}

bool is_zero(const Decimal& d) {
    return d.int_digits.find_first_not_of('0') == std::string::npos &&
           d.frac_digits.find_first_not_of('0') == std::string::npos;
}

std::string sign_of(const Decimal& d) {
    return d.negative && !is_zero(d) ? "-" : "";
}

std::string non_finite_text(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Inf" : "Inf";
}

std::string strip_trailing_zeros(std::string digits) {
    const auto last = digits.find_last_not_of('0');
    digits.erase(last == std::string::npos ? 0 : last + 1);
    return digits;
}

} // namespace

std::string number_text(float value) {
    if (!std::isfinite(value)) {
        return (value > 0 ? " " : "") + non_finite_text(value);
    }
    if (value == 0.0f) {
        return " 0";
    }
    const std::string sign = value < 0 ? "-" : " ";
    // Seven significant digits of the exact value; %e rounds to nearest.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)),
                      std::chars_format::scientific, 6);
    const std::string text(buffer, result.ptr);
    const auto e_pos = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e_pos - 2); // 7 digits
    const int exponent = std::stoi(text.substr(e_pos + 1));
    digits = strip_trailing_zeros(digits);

    if (exponent >= 7 || exponent < -4) {
        std::string mantissa = digits.substr(0, 1);
        if (digits.size() > 1) {
            mantissa += "." + digits.substr(1);
        }
        char exp_text[16];
        std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        return sign + mantissa + exp_text;
    }
    if (exponent < 0) {
        return sign + "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const auto int_len = static_cast<std::size_t>(exponent + 1);
    if (digits.size() <= int_len) {
        return sign + digits + std::string(int_len - digits.size(), '0');
    }
    return sign + digits.substr(0, int_len) + "." + digits.substr(int_len);
}

std::string number_text(int value) {
    return (value < 0 ? "" : " ") + std::to_string(value);
}

namespace {
std::string without_blank(std::string text) {
    return !text.empty() && text.front() == ' ' ? text.substr(1) : text;
}
} // namespace

std::string bare_number_text(float value) {
    return without_blank(number_text(value));
}
std::string bare_number_text(int value) {
    return without_blank(number_text(value));
}

std::string format_fixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return non_finite_text(value);
    }
    const Decimal d = round_away(exact_decimal(value), decimals);
    return sign_of(d) + d.int_digits + (decimals > 0 ? "." + d.frac_digits : "");
}

std::string format_no_lead(double value, int decimals) {
    if (!std::isfinite(value)) {
        return non_finite_text(value);
    }
    const Decimal d = round_away(exact_decimal(value), decimals);
    const std::string whole = d.int_digits == "0" ? "" : d.int_digits;
    return sign_of(d) + whole + "." + d.frac_digits;
}

std::string format_trim6(double value) {
    if (!std::isfinite(value)) {
        return non_finite_text(value);
    }
    const Decimal d = round_away(exact_decimal(value), 6);
    return sign_of(d) + d.int_digits + "." + strip_trailing_zeros(d.frac_digits);
}

std::string format_two_digits(double value) {
    if (!std::isfinite(value)) {
        return non_finite_text(value);
    }
    const Decimal d = round_away(exact_decimal(value), 0);
    std::string digits = d.int_digits;
    if (digits.size() < 2) {
        digits.insert(digits.begin(), '0');
    }
    return sign_of(d) + digits;
}

std::string format_percent(double value) {
    if (!std::isfinite(value)) {
        return non_finite_text(value) + "%";
    }
    // Shift the exact decimal two places instead of multiplying in binary.
    Decimal d = exact_decimal(value);
    const std::string moved = d.frac_digits.substr(0, 2);
    d.int_digits += moved + std::string(2 - moved.size(), '0');
    d.frac_digits.erase(0, moved.size());
    d = round_away(d, 0);
    std::string digits = d.int_digits;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return sign_of(d) + grouped + "%";
}

} // namespace teravine
