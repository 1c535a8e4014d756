// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace teravine {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Exponent form at the ends; rounding to seven digits can carry into the next decade.
TEST(NumberText, GeneralFormOfSingles) {
    // clang-format off
    const std::pair<float, const char*> cases[] = {
        {0.0f, " 0"}, {-0.0f, " 0"}, {0.5f, " .5"}, {-0.25f, "-.25"}, {4.88f, " 4.88"},
        {24.0f, " 24"}, {23.98536f, " 23.98536"}, {-7.0f, "-7"}, {0.0416921f, " .0416921"},
        {0.0001f, " .0001"}, {1234567.0f, " 1234567"}, {0.2828427f, " .2828427"},
        {1.0f / 3, " .3333333"}, {2.0f / 3, " .6666667"}, {9999999.0f, " 9999999"},
        {0.00001f, " 1E-05"}, {-0.000015f, "-1.5E-05"}, {10000000.0f, " 1E+07"},
        {12345678.0f, " 1.234568E+07"}, {3.4e38f, " 3.4E+38"}, {9999999.5f, " 1E+07"},
        {kInf, " Inf"}, {-kInf, "-Inf"}, {std::numeric_limits<float>::quiet_NaN(), "NaN"}
    };
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(number_text(value), text) << text;
    }
    EXPECT_EQ(number_text(11), " 11");
    EXPECT_EQ(number_text(-3), "-3");
}

// The fixed patterns round half away from zero on the exact binary value.
TEST(NumberText, FixedPatterns) {
    using Format = std::function<std::string(double)>;
    const Format two = [](double v) { return format_fixed(v, 2); };
    const Format lead3 = [](double v) { return format_no_lead(v, 3); };
    // clang-format off
    const struct {
        Format format;
        double value;
        const char* text;
    } cases[] = {
        {two, 1.1713867f, "1.17"}, {two, 0.999, "1.00"}, {two, -1.175, "-1.18"},
        {two, -0.001, "0.00"}, {two, 0.125, "0.13"}, {two, 1.005, "1.00"},
        {[](double v) { return format_fixed(v, 3); }, 0.0625, "0.063"},
        {[](double v) { return format_fixed(v, 0); }, 2.5, "3"}, {lead3, 0.18f, ".180"},
        {lead3, 1.1f, "1.100"}, {lead3, 0.0, ".000"}, {lead3, -0.25, "-.250"},
        {format_trim6, 0.0, "0."}, {format_trim6, 1.1f, "1.1"}, {format_trim6, 3 * 0.1f, "0.3"},
        {format_trim6, 0.1234567, "0.123457"}, {format_two_digits, 1.0 / 0.125f, "08"},
        {format_two_digits, 1.0 / 0.0142857f, "70"}, {format_two_digits, 1.0 / 0.090909f, "11"},
        {format_two_digits, 123.0, "123"}, {format_two_digits, 0.4, "00"},
        {format_percent, 0.02f, "2%"}, {format_percent, 0.14f, "14%"}, {format_percent, 0.0, "0%"},
        {format_percent, 12345.6, "1,234,560%"}
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(c.format(c.value), c.text) << c.value;
    }
}

} // namespace
} // namespace teravine
