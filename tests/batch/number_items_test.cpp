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

TEST(NumberItems, NumberForms) {
    auto items = reader("t\n+2 -1e-3 5. .5 1E2 -0 0.000001 3.4028234e38\n");
    items.line();
    const std::vector<float> want{2, -1e-3f, 5, 0.5f, 100, 0, 1e-6f, 3.4028234e38f};
    for (float w : want) {
        const auto v = items.single("x");
        ASSERT_TRUE(v) << v.error();
        EXPECT_EQ(*v, w);
    }
    EXPECT_TRUE(items.at_end());
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

TEST(NumberItems, AnEmptyItemIsRefused) {
    auto items = reader("t\n0.5,,0.4\n");
    items.line();
    EXPECT_TRUE(items.single("a"));
    const auto v = items.single("the EG width of sample 1");
    ASSERT_FALSE(v);
    EXPECT_EQ(v.error(), "Line 2 of the file, item 2 (the EG width of sample 1) is missing: "
                         "nothing stands before the comma.");

    auto leading = reader("t\n ,0.4\n");
    leading.line();
    EXPECT_FALSE(leading.single("a"));

    // A comma that ends a line is allowed: the next item comes from the next line.
    auto trailing = reader("t\n2,\n0.1,\n");
    trailing.line();
    EXPECT_EQ(*trailing.single("a"), 2.0f);
    EXPECT_EQ(*trailing.single("b"), 0.1f);
    EXPECT_TRUE(trailing.at_end());
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

TEST(NumberItems, TheTitleLine) {
    EXPECT_EQ(reader("").line(), std::nullopt);
    EXPECT_EQ(reader("\n").line(), "");
    EXPECT_EQ(reader("only").line(), "only");
    EXPECT_EQ(reader("\xEF\xBB\xBFTitle\n").line(), "Title");
    EXPECT_EQ(reader("  a, b\t c \r\n1").line(), "  a, b\t c ");
    auto items = reader("t");
    items.line();
    EXPECT_TRUE(items.at_end());
    EXPECT_EQ(items.single("the sample count").error(), "The file ends before the sample count.");
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

TEST(NumberItems, QuotesAreShortAndPrintable) {
    EXPECT_EQ(NumberItems::quoted("0.5x"), "\"0.5x\"");
    EXPECT_EQ(NumberItems::quoted("\x01\xC3\xA9"), "\"\\x01\\xC3\\xA9\"");
    EXPECT_EQ(NumberItems::quoted(std::string(100, '7')), "\"" + std::string(40, '7') + "...\"");
}

TEST(NumberItems, BinaryGarbageEndsInAFailureOrTheEnd) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 200; ++round) {
        std::string text(static_cast<std::size_t>(random() % 4000), ' ');
        for (auto& c : text) {
            c = static_cast<char>(random() % 255 + 1); // no NUL: those are refused at once
        }
        auto items = reader(text);
        items.line();
        std::size_t steps = 0;
        while (!items.at_end() && items.single("x")) {
            ASSERT_LT(++steps, text.size() + 1);
        }
    }
}

TEST(NumberItems, HugeLinesAreLinear) {
    const auto start = std::chrono::steady_clock::now();
    // One item of 20 MB: refused quickly, quoted short.
    const std::string one_item = "t\n" + std::string(20'000'000, '1');
    auto items = reader(one_item);
    items.line();
    const auto v = items.single("x");
    ASSERT_FALSE(v);
    EXPECT_LT(v.error().size(), 200u);
    // A 10 MB title and a line of two million items.
    std::string many = std::string(10'000'000, 'T') + "\n";
    for (int i = 0; i < 2'000'000; ++i) {
        many += "0.5,";
    }
    auto lots = reader(many);
    EXPECT_EQ(lots.line()->size(), 10'000'000u);
    int count = 0;
    while (!lots.at_end()) {
        ASSERT_TRUE(lots.single("x"));
        ++count;
    }
    EXPECT_EQ(count, 2'000'000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

} // namespace
} // namespace teravine
