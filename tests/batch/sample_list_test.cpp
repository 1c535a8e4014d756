// SPDX-License-Identifier: GPL-3.0-or-later
// The named sample list: what a spreadsheet saves is read as written, every refusal
// names its line and column, and a list written by the program reads back the same.
#include "batch/sample_list_file.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(SampleList, ReadsWhatSpreadsheetsSave) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
        float ad1, eg1, b1;
        bool u;
    } const cases[] = {
        {"name,ad,eg\nA,0.6,0.5\nB,0.5,0.4\n", {"A", "B"}, 0.6f, 0.5f, 0, false},
        // Columns in any order, CR LF lines, quotes with a comma and doubled quotes.
        {"eg,name,ad\r\n0.5,\"Smith, A\",0.6\r\n0.4,\"B \"\"2\"\"\",0.5\r\n",
         {"Smith, A", "B \"2\""},
         0.6f,
         0.5f,
         0,
         false},
        // Semicolons with decimal commas, a byte order mark, blank lines, a last line
        // without its end.
        {"\xEF\xBB\xBFname;ad;eg;broadening\n\nA;0,6;0,5;0,1\n\nB;0,5;0,4;0,1",
         {"A", "B"},
         0.6f,
         0.5f,
         0.1f,
         false},
        // A name across two lines, and blanks around numbers; empty u fields.
        {"name,ad,eg,u_ad,u_eg\n\"two\nlines\", 0.6 ,0.5,0.01,0.02\nB,0.5,0.4,,\n",
         {"two\nlines", "B"},
         0.6f,
         0.5f,
         0,
         true},
        {"name,ad,eg\n", {}, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        const auto list = read_sample_list_text(c.text, "L");
        ASSERT_TRUE(list) << c.text << ": " << list.error();
        ASSERT_EQ(list->samples.size(), c.names.size()) << c.text;
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(list->samples[i].name, c.names[i]) << c.text;
        }
        if (c.names.empty()) {
            continue;
        }
        const ListedSample& first = list->samples[0];
        EXPECT_EQ(first.ad, c.ad1) << c.text;
        EXPECT_EQ(first.eg, c.eg1) << c.text;
        EXPECT_EQ(first.broadening, c.b1) << c.text;
        EXPECT_EQ(first.u_ad.has_value(), c.u) << c.text;
        EXPECT_FALSE(list->samples.back().u_eg && !c.u) << c.text;
    }
}

TEST(SampleList, RefusesWithLineAndColumn) {
    struct Case {
        std::string text;
        const char* message;
    } const cases[] = {
        {"", "L is empty: it needs the header line name,ad,eg."},
        {"name,ad\nA,0.6\n", "L has no column \"eg\" in its header at line 1."},
        {"name,ad,eg,ad\n", "L has at line 1, column 4 the column \"ad\" a second time."},
        {"name,ad,eg,colour\n", "L has at line 1, column 4 the column \"colour\"; a list"},
        {"name,ad,eg\nA,0.6\n", "L has at line 2 2 fields where the header has 3."},
        {"name,ad,eg\nA,0.6,x\n", "L has at line 2, column 3 (eg) \"x\", which is not a number."},
        {"name,ad,eg\nA,0.6,0.5.1\n", "L has at line 2, column 3 (eg) \"0.5.1\""},
        {"name,ad,eg\nA,0.6,nan\n", "(eg) \"nan\", which is not a number."},
        {"name,ad,eg\nA,1e99,0.5\n", "(ad) \"1e99\", which is not a number."},
        {"name;ad;eg\nA;0.6;0,5\n", "(ad) \"0.6\", which is not a number with a decimal comma."},
        {"name,ad,eg,u_ad\nA,0.6,0.5,-0.1\n", "L has at line 2, column 4 (u_ad) a negative value."},
        {"name,ad,eg,u_ad,u_eg\nA,0.6,0.5,0.01,0.6\n",
         "L has at line 2, column 5 (u_eg) a u above 0.5°: no measured width is that uncertain."},
        {"name,ad,eg\n\"A,0.6,0.5\n", "L has at line 2, column 1 a quote that is never closed."},
        {"name,ad,eg\n\"A\"x,0.6,0.5\n", "L has at line 2, column 1 text after a closing quote."},
        {"name,ad,eg\nA\"x,0.6,0.5\n", "a quote inside a field that is not quoted."},
        {"name,ad,eg\nA,0.6,0.5\n\"B\n\nC\",0.6\n", "L has at line 3 2 fields"},
        {std::string("name,ad,eg\nA\0,0.6,0.5\n", 22), "L is not a text file."},
    };
    for (const Case& c : cases) {
        const auto list = read_sample_list_text(c.text, "L");
        ASSERT_FALSE(list) << c.text;
        EXPECT_NE(list.error().find(c.message), std::string::npos)
            << c.text << "\n got: " << list.error();
    }
    std::string many = "name,ad,eg\n";
    for (int i = 0; i <= 32767; ++i) {
        many += "s,0.6,0.5\n";
    }
    const auto too_many = read_sample_list_text(many, "L");
    ASSERT_FALSE(too_many);
    EXPECT_EQ(too_many.error(), "L holds more than 32767 samples.");
}

TEST(SampleList, WrittenListReadsBackAndFeedsTheTreatment) {
    std::vector<ListedSample> written = {
        {"Smith, \"A\"", 0.6f, 0.5f, 0.1f, 0.01f, std::nullopt, "weak", "ok", 0, std::nullopt},
        {"", 0.123456789f, 0.4f, 0.1f, std::nullopt, 0.02f, "ok", "edge,flank", 0, std::nullopt},
    };
    std::string text = sample_list_header(true, true) + "\r\n";
    for (const ListedSample& s : written) {
        text += sample_list_line(s, true, true) + "\r\n";
    }
    const auto read = read_sample_list_text(text, "L");
    ASSERT_TRUE(read) << read.error();
    ASSERT_EQ(read->samples.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read->samples[i].name, written[i].name);
        EXPECT_EQ(read->samples[i].ad, written[i].ad);
        EXPECT_EQ(read->samples[i].u_ad, written[i].u_ad);
        EXPECT_EQ(read->samples[i].u_eg, written[i].u_eg);
        EXPECT_EQ(read->samples[i].quality_ad, written[i].quality_ad);
        EXPECT_EQ(read->samples[i].quality_eg, written[i].quality_eg);
    }
    EXPECT_EQ(listed_doubt("Smith", written[0].quality_ad, written[0].quality_eg),
              "Sample Smith: doubtful widths, AD weak");
    EXPECT_EQ(listed_doubt("B", "", "edge"), "Sample B: doubtful widths, EG edge");
    EXPECT_EQ(listed_doubt("C", "ok", ""), std::nullopt);
    const WidthFile shared = widths_of_list(*read, "T");
    EXPECT_EQ(shared.broadening, 0.1f);
    EXPECT_TRUE(shared.broadenings.empty());
    EXPECT_EQ(shared.name_of(0), written[0].name);

    NamedList mixed = *read;
    mixed.samples[1].broadening = 0.05f;
    const WidthFile own = widths_of_list(mixed, "T");
    EXPECT_EQ(own.broadening_of(1), 0.05f);
    EXPECT_FALSE(shared_broadening(mixed));

    // Its own u replaces the table's sigmas of the widths, and keeps the rest.
    const WidthSigmas table{0.03f, 0.03f, 0.5f, 0.01f, 2};
    const auto lone = sample_sigmas(0.01f, std::nullopt, table);
    EXPECT_EQ(lone->ad, 0.01f);
    EXPECT_EQ(lone->eg, 0.01f);
    EXPECT_EQ(lone->correlation, 0.5f);
    EXPECT_EQ(sample_sigmas(std::nullopt, std::nullopt, table)->ad, 0.03f);
    EXPECT_FALSE(sample_sigmas(std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(sample_sigmas(std::nullopt, 0.02f, std::nullopt)->ad, 0.02f);
}

} // namespace
} // namespace teravine
