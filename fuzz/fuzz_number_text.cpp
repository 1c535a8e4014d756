// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the number text and every fixed pattern over arbitrary singles and
// doubles taken from the input bytes (NaN, infinities and denormals included), with the
// properties a reader of a label or a result file relies on.
#include "fuzz_support.h"
#include "text/number_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace teravine::fuzz {
namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

double parse(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    require(end != nullptr && *end == '\0', "the text reads back as a number");
    return value;
}

std::string without(std::string text, char drop) {
    std::erase(text, drop);
    return text;
}

std::string fraction_of(const std::string& text) {
    const auto point = text.find('.');
    return point == std::string::npos ? std::string() : text.substr(point + 1);
}

// Room for the rounding of a decimal text read back into a double.
double read_slack(double value) {
    return std::fabs(value) * 4 * std::numeric_limits<double>::epsilon();
}

void check_number_text(float value) {
    const std::string text = number_text(value);
    require(!text.empty(), "number text is never empty");
    if (!std::isfinite(value)) {
        return;
    }
    require(text[0] == (value < 0 ? '-' : ' '), "a blank before a value that is not negative");
    const std::string body = text.substr(1);
    const auto e = body.find('E');
    const std::string mantissa = body.substr(0, e);
    require(!mantissa.empty() && mantissa.find_first_not_of("0123456789.") == std::string::npos,
            "digits and a point only");
    const std::string digits = without(mantissa, '.');
    const auto significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    require(significant.size() <= 7, "at most seven significant digits");
    if (mantissa.find('.') != std::string::npos) {
        require(mantissa.back() != '0' && mantissa.back() != '.',
                "no trailing zeros and no bare point");
    }
    require(mantissa.rfind("0.", 0) != 0, "no digit before the point of a value below 1");
    // Seven significant digits: within half a unit of the seventh digit.
    const double v = value;
    const double back = parse(body);
    require(std::fabs(std::fabs(v) - back) <= std::fabs(v) * 5.0000001e-7 + read_slack(v),
            "the text reads back within seven significant digits");
}

void check_fixed(double value, int decimals) {
    const std::string text = format_fixed(value, decimals);
    require(!text.empty(), "format_fixed is never empty");
    if (!std::isfinite(value)) {
        return;
    }
    require(fraction_of(text).size() == static_cast<std::size_t>(decimals),
            "exactly the pattern's decimals");
    require(is_digit(text[text[0] == '-' ? 1 : 0]), "a digit before the point");
    const double half = 0.5 * std::pow(10.0, -decimals);
    require(std::fabs(parse(text) - value) <= half * (1 + 1e-9) + read_slack(value),
            "format_fixed rounds to the nearest step");
}

void check_no_lead(double value) {
    const std::string text = format_no_lead(value, 3);
    require(!text.empty(), "format_no_lead is never empty");
    if (!std::isfinite(value)) {
        return;
    }
    require(fraction_of(text).size() == 3, "three decimals");
    require(text.rfind("0", 0) != 0 && text.rfind("-0", 0) != 0, "no leading zero");
    require(std::fabs(parse(text) - value) <= 0.0005 * (1 + 1e-9) + read_slack(value),
            "format_no_lead rounds to the nearest step");
}

void check_trim6(double value) {
    const std::string text = format_trim6(value);
    require(!text.empty(), "format_trim6 is never empty");
    if (!std::isfinite(value)) {
        return;
    }
    const std::string fraction = fraction_of(text);
    require(text.find('.') != std::string::npos, "the point is always shown");
    require(fraction.size() <= 6 && (fraction.empty() || fraction.back() != '0'),
            "at most six decimals, no trailing zeros");
    require(std::fabs(parse(text) - value) <= 0.0000005 * (1 + 1e-9) + read_slack(value),
            "format_trim6 rounds to the nearest step");
}

void check_two_digits(double value) {
    const std::string text = format_two_digits(value);
    require(!text.empty(), "format_two_digits is never empty");
    if (!std::isfinite(value)) {
        return;
    }
    const std::string digits = text[0] == '-' ? text.substr(1) : text;
    require(digits.size() >= 2 && digits.find_first_not_of("0123456789") == std::string::npos,
            "at least two digits");
    require(std::fabs(parse(text) - value) <= 0.5 * (1 + 1e-9) + read_slack(value),
            "format_two_digits rounds to the nearest whole number");
}

void check_percent(double value) {
    const std::string text = format_percent(value);
    require(!text.empty() && text.back() == '%', "format_percent ends in %");
    if (!std::isfinite(value)) {
        return;
    }
    const std::string number =
        text.substr(text[0] == '-' ? 1 : 0, text.size() - 1 - (text[0] == '-'));
    // Groups of three digits after the first group, separated by commas.
    const auto first_comma = number.find(',');
    const std::size_t lead = first_comma == std::string::npos ? number.size() : first_comma;
    require(lead >= 1 && lead <= 3, "the first group has one to three digits");
    for (std::size_t i = lead; i < number.size(); i += 4) {
        require(number[i] == ',' && number.size() - i >= 4 &&
                    number.substr(i + 1, 3).find_first_not_of("0123456789") == std::string::npos,
                "the other groups have three digits");
    }
    const double percent = value * 100;
    if (!std::isfinite(percent)) {
        return; // the text holds the exact digits, but no double reads them back
    }
    const double shown = parse(without(text.substr(0, text.size() - 1), ','));
    require(std::fabs(shown - percent) <= 0.5 * (1 + 1e-9) + read_slack(percent),
            "format_percent rounds the percentage to a whole number");
}

void check_all(double value) {
    check_fixed(value, 2);
    check_fixed(value, 3);
    check_no_lead(value);
    check_trim6(value);
    check_two_digits(value);
    check_percent(value);
}

} // namespace
} // namespace teravine::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using namespace teravine::fuzz;

    // Each group of four bytes is a single and its neighbour pair a double, so one input
    // tries both widths of every pattern; a few groups are enough for one run.
    FuzzBytes in(data, size);
    for (int round = 0; round < 8 && !in.empty(); ++round) {
        const auto single = in.raw<float>();
        const auto whole = in.raw<int>();
        const auto wide = in.raw<double>();
        check_number_text(single);
        const std::string int_text = number_text(whole);
        require(int_text == (whole < 0 ? "" : " ") + std::to_string(whole),
                "a whole number prints as its digits");
        check_all(single);
        check_all(wide);
    }
    return 0;
}
