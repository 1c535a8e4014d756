// SPDX-License-Identifier: GPL-3.0-or-later
// What the WebAssembly build's standard library (libc++ 13 of Debian's emscripten) lacks
// and the core uses: std::bit_cast, and std::to_chars / std::from_chars for float and
// double. Force-included into every file of that build only (-include); the native build
// never sees it. The conversions follow the standard's rules on top of the C library's
// correctly rounded printf and strtod:
// - to_chars(v): the fewest significant digits that read back to v (the nearest such
//   string), written fixed or scientific, whichever is shorter, fixed on a tie;
// - to_chars(v, fmt, precision): printf's %.*f, %.*e or %.*g;
// - from_chars: no leading blanks or '+', no hexadecimal, fixed refusing an exponent
//   and scientific requiring one; an out-of-range value leaves the target unchanged.
#pragma once

#if defined(__EMSCRIPTEN__)
#include <version> // names the standard library
#endif
#if defined(__EMSCRIPTEN__) && defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000

#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <type_traits>

namespace std {

template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}

namespace teravine_compat {

inline to_chars_result copy_out(char* first, char* last, const char* text, size_t length) {
    if (static_cast<size_t>(last - first) < length) {
        return {last, errc::value_too_large};
    }
    memcpy(first, text, length);
    return {first + length, errc{}};
}

// printf of one value into [first, last).
template <class Value>
to_chars_result print(char* first, char* last, const char* format, int precision, Value value) {
    const int length = snprintf(nullptr, 0, format, precision, static_cast<double>(value));
    string text(static_cast<size_t>(length) + 1, '\0');
    snprintf(text.data(), text.size(), format, precision, static_cast<double>(value));
    return copy_out(first, last, text.data(), static_cast<size_t>(length));
}

template <class Value> Value read_back(const char* text) {
    if constexpr (is_same_v<Value, float>) {
        return strtof(text, nullptr);
    } else {
        return strtod(text, nullptr);
    }
}

// The shortest digits that read back to the value, fixed or scientific.
template <class Value>
to_chars_result shortest(char* first, char* last, Value value,
                         chars_format format = chars_format::general) {
    if (!isfinite(value)) {
        const char* text =
            isnan(value) ? (signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
        return copy_out(first, last, text, strlen(text));
    }
    if (value == 0) {
        return copy_out(first, last, signbit(value) ? "-0" : "0", signbit(value) ? 2 : 1);
    }
    constexpr int max_digits = is_same_v<Value, float> ? 9 : 17;
    char scientific[64];
    int digits = 1;
    for (; digits < max_digits; ++digits) {
        snprintf(scientific, sizeof scientific, "%.*e", digits - 1, static_cast<double>(value));
        if (read_back<Value>(scientific) == value) {
            break;
        }
    }
    snprintf(scientific, sizeof scientific, "%.*e", digits - 1, static_cast<double>(value));
    // The digits and the exponent of d.ddde±x.
    const char* e = strchr(scientific, 'e');
    const int exponent = atoi(e + 1);
    string mantissa;
    for (const char* c = scientific; c != e; ++c) {
        if (*c >= '0' && *c <= '9') {
            mantissa += *c;
        }
    }
    const string sign = value < 0 ? "-" : "";
    string fixed;
    const int count = static_cast<int>(mantissa.size());
    if (exponent >= count - 1) {
        fixed = mantissa + string(static_cast<size_t>(exponent - (count - 1)), '0');
    } else if (exponent >= 0) {
        fixed = mantissa.substr(0, static_cast<size_t>(exponent + 1)) + "." +
                mantissa.substr(static_cast<size_t>(exponent + 1));
    } else {
        fixed = "0." + string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
    }
    fixed = sign + fixed;
    const char* digits_start = scientific + (value < 0 ? 1 : 0);
    const string sci = sign + string(digits_start, e) + e;
    const bool use_fixed = format == chars_format::fixed ||
                           (format != chars_format::scientific && fixed.size() <= sci.size());
    const string& chosen = use_fixed ? fixed : sci;
    return copy_out(first, last, chosen.data(), chosen.size());
}

template <class Value>
to_chars_result with_precision(char* first, char* last, Value value, chars_format format,
                               int precision) {
    if (precision < 0 && format != chars_format::hex) {
        precision = 6;
    }
    switch (format) {
    case chars_format::fixed:
        return print(first, last, "%.*f", precision, value);
    case chars_format::scientific:
        return print(first, last, "%.*e", precision, value);
    case chars_format::hex:
        return precision < 0 ? print(first, last, "%.*a", 13, value)
                             : print(first, last, "%.*a", precision, value);
    default:
        return print(first, last, "%.*g", precision, value);
    }
}

template <class Value>
from_chars_result read(const char* first, const char* last, Value& value, chars_format format) {
    const char* p = first;
    if (p != last && *p == '-') {
        ++p;
    }
    // strtod's own extras (blanks, '+', hexadecimal) are not numbers here.
    if (p == last || !(isdigit(static_cast<unsigned char>(*p)) || *p == '.' || *p == 'i' ||
                       *p == 'I' || *p == 'n' || *p == 'N')) {
        return {first, errc::invalid_argument};
    }
    string text(first, last);
    if (format != chars_format::hex && text.size() > static_cast<size_t>(p - first) + 1 &&
        p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        text.resize(static_cast<size_t>(p - first) + 1); // reads "0", as the standard's does
    }
    // fixed: an exponent is not read; scientific: one is needed.
    size_t mantissa_end = static_cast<size_t>(p - first);
    while (mantissa_end < text.size() &&
           (isdigit(static_cast<unsigned char>(text[mantissa_end])) || text[mantissa_end] == '.')) {
        ++mantissa_end;
    }
    if (format == chars_format::fixed && mantissa_end > static_cast<size_t>(p - first)) {
        text.resize(mantissa_end);
    }
    errno = 0;
    char* end = nullptr;
    Value parsed;
    if constexpr (is_same_v<Value, float>) {
        parsed = strtof(text.c_str(), &end);
    } else {
        parsed = strtod(text.c_str(), &end);
    }
    if (end == text.c_str()) {
        return {first, errc::invalid_argument};
    }
    if (format == chars_format::scientific && isfinite(parsed) &&
        static_cast<size_t>(end - text.c_str()) <= mantissa_end) {
        return {first, errc::invalid_argument};
    }
    const char* stop = first + (end - text.c_str());
    if (errno == ERANGE) {
        return {stop, errc::result_out_of_range};
    }
    value = parsed;
    return {stop, errc{}};
}

} // namespace teravine_compat

inline to_chars_result to_chars(char* first, char* last, float value) {
    return teravine_compat::shortest(first, last, value);
}
inline to_chars_result to_chars(char* first, char* last, double value) {
    return teravine_compat::shortest(first, last, value);
}
inline to_chars_result to_chars(char* first, char* last, float value, chars_format format) {
    if (format == chars_format::hex) {
        return teravine_compat::with_precision(first, last, value, format, -1);
    }
    return teravine_compat::shortest(first, last, value, format);
}
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format) {
    if (format == chars_format::hex) {
        return teravine_compat::with_precision(first, last, value, format, -1);
    }
    return teravine_compat::shortest(first, last, value, format);
}
inline to_chars_result to_chars(char* first, char* last, float value, chars_format format,
                                int precision) {
    return teravine_compat::with_precision(first, last, value, format, precision);
}
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
    return teravine_compat::with_precision(first, last, value, format, precision);
}
inline from_chars_result from_chars(const char* first, const char* last, float& value,
                                    chars_format format = chars_format::general) {
    return teravine_compat::read(first, last, value, format);
}
inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format format = chars_format::general) {
    return teravine_compat::read(first, last, value, format);
}

} // namespace std

#endif
