// SPDX-License-Identifier: GPL-3.0-or-later
// The sequential-input reader: items and their separators, line ends, refusals. The
// messages of whole files are pinned by the hostile files of tests/hostile.
#include "text/number_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace teravine {
namespace {

// The title, then every item up to the end, or the first failure's text as the last one.
std::vector<std::string> read_all(std::string_view text) {
    auto items = NumberItems::over(text).value();
    std::vector<std::string> got{std::string(items.line().value_or("?"))};
    while (!items.at_end()) {
        const auto value = items.single("x");
        got.push_back(value ? std::to_string(*value) : value.error());
        if (!value) {
            break;
        }
    }
    return got;
}

TEST(NumberItems, SeparatorsAndEveryKindOfLineEnd) {
    const std::vector<std::string> one_two_three{"t", "1.000000", "2.000000", "3.000000"};
    for (const char* text : {"t\r\n1\r\n2,3\r\n", "t\n1\n2, 3\n", "t\r1\r2 3\r", "t\r\n1\n2\t3\r",
                             "t\n\n\n1\r\r2 , 3", "\xEF\xBB\xBFt\n1,\n2,3"}) {
        EXPECT_EQ(read_all(text), one_two_three) << text;
    }
    // '.' is the decimal point: "0,5" is the two items 0 and 5.
    EXPECT_EQ(read_all("t\n.6, 0,5\n"),
              (std::vector<std::string>{"t", "0.600000", "0.000000", "5.000000"}));
    // Line numbers count CR LF once and a lone CR once.
    EXPECT_EQ(read_all("t\r\n1\r2\r\nx\n").back(),
              "Line 4 of the file, item 1 (x): \"x\" is not a number.");
}

TEST(NumberItems, NotNumbers) {
    for (const char* bad :
         {"nan", "NaN", "-inf", "infinity", "1e400", "-1e39", "0x1p3", "1e", "e5", ".", "-", "+",
          "1.2.3", "1,5x", "1d5", "--1", "\"0.5\"", "0.5;0.4", "5%"}) {
        const auto got = read_all(std::string("t\n") + bad + "\n");
        EXPECT_EQ(got.back().rfind("Line 2 of the file, item ", 0), 0u)
            << bad << ": " << got.back();
    }
}

} // namespace
} // namespace teravine
