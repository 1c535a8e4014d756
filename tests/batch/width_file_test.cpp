// Reading a sample width file (.IW) and correcting its widths.
#include "batch/width_file.h"
#include "model/correction_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace teravine {
namespace {

using testing::TempFolder;

std::string failure_of(std::string_view text) {
    const auto read = read_width_text(text);
    return read ? std::string("(no failure)") : read.error();
}

TEST(WidthFile, AWellFormedFile) {
    const auto read = read_width_text("Samples of May\r\n3\r\n0.1\r\n0.5,0.4\r\n0.6,0.45\r\n"
                                      "0.7,0.5\r\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->title, "Samples of May");
    EXPECT_EQ(read->count, 3);
    EXPECT_EQ(read->broadening, 0.1f);
    EXPECT_EQ(read->ad, (std::vector<float>{0.5f, 0.6f, 0.7f}));
    EXPECT_EQ(read->eg, (std::vector<float>{0.4f, 0.45f, 0.5f}));
}

TEST(WidthFile, CountAndBroadeningOnOneLineAndTheRestNotRead) {
    const auto read = read_width_text("T\n2,0\n0.5,0.4\n0.6 0.45\nthis is not read, nor 1e999\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->count, 2);
    EXPECT_EQ(read->broadening, 0.0f);
    EXPECT_EQ(read->eg[1], 0.45f);
}

TEST(WidthFile, NoSamples) {
    const auto read = read_width_text("Nothing\n0\n0.1\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->count, 0);
    EXPECT_TRUE(read->ad.empty());
}

TEST(WidthFile, TheTitleIsKeptAsItIs) {
    const auto read = read_width_text("\xEF\xBB\xBF  Échantillons\t2024 ,\"x\"\r0\r0\r");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->title, "  \xC3\x89"
                           "chantillons\t2024 ,\"x\"");
}

TEST(WidthFile, EndsTooEarly) {
    EXPECT_EQ(failure_of(""), "The file is empty: it has not even a title line.");
    EXPECT_EQ(failure_of("Title only\r\n"), "The file ends before the sample count.");
    EXPECT_EQ(failure_of("T\n3\n"), "The file ends before the broadening value.");
    EXPECT_EQ(failure_of("T\n5\n0.1\n0.5,0.4\n0.6,0.45\n0.7,0.5\n"),
              "The file ends after 3 of 5 samples.");
    EXPECT_EQ(failure_of("T\n2\n0.1\n0.5,0.4\n0.6\n"),
              "The file ends after 1 of 2 samples: sample 2 has no EG width.");
}

TEST(WidthFile, TheCountIsChecked) {
    EXPECT_EQ(failure_of("T\n-2\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"-2\" is negative; a file holds 0 "
              "to 32767 samples.");
    EXPECT_EQ(failure_of("T\n32768\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"32768\" is beyond 32767, the most "
              "samples a file can hold.");
    EXPECT_EQ(failure_of("T\n4e9\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"4e9\" is beyond 32767, the most "
              "samples a file can hold.");
    EXPECT_EQ(failure_of("T\n2.5\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"2.5\" is not a whole number.");
    EXPECT_EQ(failure_of("T\nfive\n0.1\n"),
              "Line 2 of the file, item 1 (the sample count): \"five\" is not a number.");
    // 32767 announced but none there: refused at the first sample, nothing huge made.
    EXPECT_EQ(failure_of("T\n32767\n0.1\n"), "The file ends after 0 of 32767 samples.");
}

TEST(WidthFile, ANumberThatCannotBeRead) {
    EXPECT_EQ(failure_of("T\n2\n0.1\n0.5,0.4\n0.6,O.45\n"),
              "Line 5 of the file, item 2 (the EG width of sample 2): \"O.45\" is not a number.");
    EXPECT_EQ(failure_of("T\n1\nwide\n0.5,0.4\n"),
              "Line 3 of the file, item 1 (the broadening value): \"wide\" is not a number.");
    EXPECT_EQ(failure_of("T\n1\n0.1\n0.5,,0.4\n"),
              "Line 4 of the file, item 2 (the EG width of sample 1) is missing: nothing stands "
              "before the comma.");
    for (const char* bad : {"nan", "inf", "1e400", "1e39", "-inf"}) {
        const auto failure = failure_of(std::string("T\n1\n0.1\n0.5,") + bad + "\n");
        EXPECT_EQ(failure,
                  std::string("Line 4 of the file, item 2 (the EG width of sample 1): \"") + bad +
                      (bad[0] == '1' ? "\" is not a number that a single-precision "
                                       "value can hold."
                                     : "\" is not a number."));
    }
}

TEST(WidthFile, DecimalCommas) {
    // '.' is the only decimal point: "0,5,0,4" is the four items 0, 5, 0, 4, so a sample
    // written with decimal commas is read as the widths 0 and 5 (which the treatment then
    // writes as Error), and a semicolon between them makes an item that is not a number.
    const auto read = read_width_text("T\n1\n0\n0,5,0,4\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->ad[0], 0.0f);
    EXPECT_EQ(read->eg[0], 5.0f);
    EXPECT_EQ(failure_of("T\n1\n0\n0,5;0,4\n"),
              "Line 4 of the file, item 2 (the EG width of sample 1): \"5;0\" is not a number.");
}

TEST(WidthFile, HostileFiles) {
    // UTF-16 with and without its byte-order mark: refused, not misread.
    std::string utf16;
    for (char c : std::string("T\r\n1\r\n0\r\n0.5,0.4\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_NE(failure_of("\xFF\xFE" + utf16).find("UTF-16"), std::string::npos);
    EXPECT_NE(failure_of(utf16).find("not plain text"), std::string::npos);
    // CR-only line ends and a UTF-8 byte-order mark are fine.
    const auto cr = read_width_text("\xEF\xBB\xBFT\r1\r0.1\r0.5,0.4\r");
    ASSERT_TRUE(cr) << cr.error();
    EXPECT_EQ(cr->title, "T");
    EXPECT_EQ(cr->eg[0], 0.4f);
    // Binary garbage: a failure, never a crash.
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 2000), ' ');
        for (auto& c : bytes) {
            c = static_cast<char>(random());
        }
        const auto read = read_width_text(bytes);
        if (!read) {
            EXPECT_FALSE(read.error().empty());
        }
    }
}

TEST(WidthFile, FromDisk) {
    TempFolder folder;
    const auto missing = read_width_file(folder.file("none.IW"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "The file \"" + folder.file("none.IW") +
                                   "\" cannot be opened: No such file or directory.");
    const auto read = read_width_file(folder.write("ok.IW", "T\r\n1\r\n0\r\n0.5,0.4\r\n"));
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->ad[0], 0.5f);
}

TEST(CorrectWidths, BroadeningZeroKeepsTheWidthsExceptUnderTheTable) {
    const auto table = read_correction_text("T\n0.05\n0.1\n0.2\n0.24\n0.3\n").table;
    WidthFile file;
    file.broadening = 0;
    file.ad = {0.22f, 0.5f};
    file.eg = {0.21f, 0.4f};
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture}) {
        WidthFile copy = file;
        correct_widths(copy, rule, table);
        EXPECT_EQ(copy.ad, file.ad);
        EXPECT_EQ(copy.eg, file.eg);
    }
    WidthFile by_table = file;
    correct_widths(by_table, kRuleTable, table);
    EXPECT_EQ(by_table.ad, (std::vector<float>{0.125f, -1.0f}));
    EXPECT_EQ(by_table.eg[0], file_remove(0.21f, table));
    EXPECT_EQ(by_table.eg[1], -1.0f);
}

TEST(CorrectWidths, APositiveBroadeningGoesThroughTheRule) {
    WidthFile file;
    file.broadening = 0.1f;
    file.ad = {0.3f, 0.05f};
    file.eg = {0.1f, 0.3f};
    correct_widths(file, kRuleMixture, CorrectionTable{});
    EXPECT_EQ(file.ad[0], remove_inst(0.3f, 0.1f, kRuleMixture));
    EXPECT_EQ(file.eg[0], 0.0f);
    EXPECT_EQ(file.ad[1], -1.0f); // below b
    EXPECT_EQ(file.eg[1], remove_inst(0.3f, 0.1f, kRuleMixture));
}

} // namespace
} // namespace teravine
