// SPDX-License-Identifier: GPL-3.0-or-later
// The sequential-input reader: the title line, number items and their separators,
// line ends, refusals and hostile texts.
#include "text/number_items.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace teravine {
namespace {

NumberItems reader(std::string_view text) {
    auto opened = NumberItems::over(text);
    EXPECT_TRUE(opened) << opened.error();
    return opened.value();
}

// Every number item up to the end, or the first failure's text as the last element.
std::vector<std::string> all_items(NumberItems items) {
    std::vector<std::string> got;
    while (!items.at_end()) {
        const auto value = items.single("x");
        if (!value) {
            got.push_back(value.error());
            break;
        }
        got.push_back(std::to_string(*value));
    }
    return got;
}

TEST(NumberItems, TitleThenItemsWithEverySeparator) {
    auto items = reader("My samples, 2024\r\n3\r\n0.1\r\n0.5,0.4\r\n.6, .45\r\n0.7 0.5\t0.3\r\n");
    EXPECT_EQ(items.line(), "My samples, 2024");
    std::vector<float> got;
    while (!items.at_end()) {
        const auto v = items.single("x");
        ASSERT_TRUE(v) << v.error();
        got.push_back(*v);
    }
    EXPECT_EQ(got, (std::vector<float>{3, 0.1f, 0.5f, 0.4f, 0.6f, 0.45f, 0.7f, 0.5f, 0.3f}));
}

TEST(NumberItems, NotNumbers) {
    for (const char* bad : {"nan",   "NaN", "inf", "-inf",    "infinity", "1e400", "1e39",  "-1e39",
                            "0x1p3", "1e",  "e5",  ".",       "-",        "+",     "1.2.3", "1,5x",
                            "abc",   "1d5", "--1", "\"0.5\"", "0.5;0.4",  "5%"}) {
        const std::string text = std::string("t\n") + bad + "\n"; // the reader views it
        auto items = reader(text);
        items.line();
        std::string failure;
        while (!items.at_end() && failure.empty()) {
            const auto v = items.single("the value");
            if (!v) {
                failure = v.error();
            }
        }
        EXPECT_FALSE(failure.empty()) << bad;
        EXPECT_EQ(failure.rfind("Line 2 of the file, item ", 0), 0u) << failure;
    }
}

TEST(NumberItems, TheMessagesNameWhatAndWhere) {
    auto items = reader("t\n1\n0.5 0,5x\n");
    items.line();
    ASSERT_TRUE(items.single("a"));
    ASSERT_TRUE(items.single("b"));
    ASSERT_TRUE(items.single("c"));
    const auto v = items.single("the EG width of sample 1");
    ASSERT_FALSE(v);
    EXPECT_EQ(v.error(),
              "Line 3 of the file, item 3 (the EG width of sample 1): \"5x\" is not a number.");
    EXPECT_EQ(items.last_place().line, 3);
    EXPECT_EQ(items.last_place().item, 3);

    auto big = reader("t\n1e400\n1e39");
    big.line();
    EXPECT_EQ(big.single("m").error(), "Line 2 of the file, item 1 (m): \"1e400\" is not a "
                                       "number that a single-precision value can hold.");
    EXPECT_EQ(big.single("b").error(), "Line 3 of the file, item 1 (b): \"1e39\" is not a "
                                       "number that a single-precision value can hold.");
    EXPECT_EQ(big.single("c").error(), "The file ends before c.");
}

TEST(NumberItems, ADecimalCommaMakesTwoItems) {
    auto items = reader("t\n0,5\n");
    items.line();
    EXPECT_EQ(*items.single("a"), 0.0f);
    EXPECT_EQ(*items.single("b"), 5.0f);
    EXPECT_TRUE(items.at_end());
}

TEST(NumberItems, EveryKindOfLineEnd) {
    for (const char* text : {"t\r\n1\r\n2,3\r\n", "t\n1\n2,3\n", "t\r1\r2,3\r", "t\r\n1\n2,3\r",
                             "t\n\n\n1\r\r2 , 3"}) {
        auto items = reader(text);
        EXPECT_EQ(items.line(), "t");
        EXPECT_EQ(all_items(items), (std::vector<std::string>{"1.000000", "2.000000", "3.000000"}))
            << text;
    }
    // Line numbers count CR LF once and a lone CR once.
    auto items = reader("t\r\n1\r2\r\nx\n");
    items.line();
    items.single("a");
    items.single("b");
    EXPECT_EQ(items.single("c").error().rfind("Line 4 of the file, item 1", 0), 0u);
}

TEST(NumberItems, Utf16AndNulBytesAreRefused) {
    const std::string utf16le("\xFF\xFE"
                              "T\0i\0t\0\r\0\n\0"
                              "1\0",
                              14);
    const auto le = NumberItems::over(utf16le);
    ASSERT_FALSE(le);
    EXPECT_NE(le.error().find("UTF-16"), std::string::npos);
    EXPECT_FALSE(NumberItems::over(std::string("\xFE\xFF\0T\0i", 6)));
    const auto no_bom = NumberItems::over(std::string("T\0i\0t\0\n\0", 8));
    ASSERT_FALSE(no_bom);
    EXPECT_NE(no_bom.error().find("NUL"), std::string::npos);
}

} // namespace
} // namespace teravine
