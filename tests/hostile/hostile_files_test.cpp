// SPDX-License-Identifier: GPL-3.0-or-later
// Width files and correction files that are not what they should be, opened through the
// window: each gives its one message, and nothing already on the diagram is lost.
#include "support/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace teravine::hostile {
namespace {

using Window = Session<RecordingSurface>;
using Texts = std::vector<std::string>;

// The ASCII text as UTF-16, little-endian with or without its mark, or big-endian.
std::string utf16(std::string_view ascii, std::string_view mark, bool big_endian = false) {
    std::string out(mark);
    for (char c : ascii) {
        out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

const std::string kUtf16 = "The file is UTF-16 text (it starts with a UTF-16 byte-order mark); "
                           "save it as plain text (ANSI or UTF-8) and try again.";
const std::string kNul = "The file holds NUL bytes, so it is not plain text (it may be UTF-16 "
                         "text or a binary file); save it as plain text (ANSI or UTF-8) and try "
                         "again.";
const std::string kEmpty = "The file is empty: it has not even a title line.";
const std::string kNaN = "\" is not a number.";
const std::string kSingle = "\" is not a number that a single-precision value can hold.";
const std::string kCount = "Line 2 of the file, item 1: the sample count \"";
const std::string kBeyond = "\" is beyond 32767, the most samples a file can hold.";

struct BadFile {
    const char* name;
    std::string bytes;
    std::string message;
};
void PrintTo(const BadFile& file, std::ostream* out) {
    *out << file.name;
}
std::string case_name(const ::testing::TestParamInfo<BadFile>& info) {
    return info.param.name;
}

class BadWidthFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadWidthFile, IsReportedAndTheDiagramKeepsItsSamples) {
    Window w;
    w.type_and_draw("", "0.5", "0.4");
    const auto clears = w.picture.of(OpKind::clear).size();
    const auto out = w.treat(w.folder.write("bad.IW", GetParam().bytes));
    EXPECT_EQ(w.services.messages, Texts{GetParam().message});
    ASSERT_EQ(w.state().samples.size(), 1u);
    EXPECT_EQ(w.state().samples[0].record.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    EXPECT_EQ(w.picture.of(OpKind::clear).size(), clears); // not redrawn, nothing wiped
    EXPECT_TRUE(w.services.save_filters.empty());          // the result dialog never shown
    EXPECT_FALSE(std::filesystem::exists(out));
}

const std::string kAd1 = "Line 4 of the file, item 1 (the AD width of sample 1): \"";
const std::string kEg1 = "Line 4 of the file, item 2 (the EG width of sample 1): \"";

INSTANTIATE_TEST_SUITE_P(
    Window, BadWidthFile,
    ::testing::Values(
        BadFile{"Empty", "", kEmpty},
        BadFile{"TitleOnly", "Samples of May\r\n", "The file ends before the sample count."},
        BadFile{"BroadeningMissing", "S\r\n2\r\n", "The file ends before the broadening value."},
        BadFile{"BinaryWithNul",
                std::string("\x7F"
                            "ELF\x02\x01\x01\0\0\0\0",
                            12),
                kNul},
        BadFile{"BinaryWithoutNul", "\x89PNG\r\n\x1A\n\xFF\xD8\xFF\xE0",
                "Line 2 of the file, item 1 (the sample count): \"\\x1A" + kNaN},
        BadFile{"CountMinusOne", "T\r\n-1\r\n0\r\n",
                kCount + "-1\" is negative; a file holds 0 to 32767 samples."},
        BadFile{"Count32768", "T\r\n32768\r\n0\r\n0.5,0.4\r\n", kCount + "32768" + kBeyond},
        BadFile{"Count4e9", "T\r\n4e9, 0\r\n0.5,0.4\r\n", kCount + "4e9" + kBeyond},
        BadFile{"CountNotWhole", "T\n2.5\n0.1\n", kCount + "2.5\" is not a whole number."},
        BadFile{"CountAWord", "T\nfive\n0.1\n",
                "Line 2 of the file, item 1 (the sample count): \"five" + kNaN},
        BadFile{"NoneOf32767", "T\n32767\n0.1\n", "The file ends after 0 of 32767 samples."},
        BadFile{"FewerSamples", "S\r\n3\r\n0\r\n0.5,0.4\r\n0.6,0.45\r\n",
                "The file ends after 2 of 3 samples."},
        BadFile{"LastSampleHalfThere", "S\r\n2\r\n0\r\n0.5,0.4\r\n0.6\r\n",
                "The file ends after 1 of 2 samples: sample 2 has no EG width."},
        BadFile{"MissingItem", "T\n1\n0.1\n0.5,,0.4\n",
                "Line 4 of the file, item 2 (the EG width of sample 1) is missing: nothing "
                "stands before the comma."},
        BadFile{"LetterO", "T\n2\n0\n0.5,0.4\n0.6,O.45\n",
                "Line 5 of the file, item 2 (the EG width of sample 2): \"O.45" + kNaN},
        BadFile{"NanWidth", "T\r\n1\r\n0\r\nnan,0.4\r\n", kAd1 + "nan" + kNaN},
        BadFile{"InfWidth", "T\r\n1\r\n0\r\n0.5,inf\r\n", kEg1 + "inf" + kNaN},
        BadFile{"WidthBeyondASingle", "T\r\n1\r\n0\r\n1e400,0.4\r\n", kAd1 + "1e400" + kSingle},
        BadFile{"WidthJustBeyondASingle", "T\r\n1\r\n0\r\n0.5,1e39\r\n", kEg1 + "1e39" + kSingle},
        BadFile{"NanBroadening", "T\r\n1\r\nNaN\r\n0.5,0.4\r\n",
                "Line 3 of the file, item 1 (the broadening value): \"NaN" + kNaN},
        BadFile{"DecimalCommasAndSemicolons", "V\r\n1\r\n0\r\n0,5;0,4\r\n", kEg1 + "5;0" + kNaN},
        BadFile{"Utf16WithMark", utf16("T\r\n1\r\n0\r\n0.5,0.4\r\n", "\xFF\xFE"), kUtf16},
        BadFile{"Utf16BigEndian", utf16("T\r\n1\r\n0\r\n", "\xFE\xFF", true), kUtf16},
        BadFile{"Utf16WithoutMark", utf16("T\r\n1\r\n0\r\n0.5,0.4\r\n", ""), kNul}),
    case_name);

constexpr std::size_t kFiftyMegabytes = std::size_t{50} << 20;

std::string around_50_megabytes(std::string_view head, char fill, std::string_view tail) {
    std::string bytes;
    bytes.reserve(head.size() + kFiftyMegabytes + tail.size());
    bytes.append(head).append(kFiftyMegabytes, fill).append(tail);
    return bytes;
}

TEST(HostileWidthFiles, AFiftyMegabyteLineIsRefusedQuicklyAndAFiftyMegabyteTitleCopiedWhole) {
    Window w;
    w.treat(w.folder.write("long.IW", around_50_megabytes("T\r\n", '7', "\r\n0\r\n")));
    EXPECT_EQ(w.services.messages, Texts{"Line 2 of the file, item 1 (the sample count): \"" +
                                         std::string(40, '7') + "..." + kNaN});
    const auto out = w.treat(
        w.folder.write("title.IW", around_50_megabytes("", 'T', "\r\n1\r\n0\r\n0.5,0.4\r\n")));
    EXPECT_EQ(w.services.messages.size(), 1u);
    const std::string written = ScratchFolder::read(out);
    ASSERT_GT(written.size(), kFiftyMegabytes + 2);
    EXPECT_EQ(std::count(written.begin(), written.end(), 'T'), kFiftyMegabytes);
    EXPECT_EQ(written.compare(kFiftyMegabytes, 13, "\r\nReichweite:"), 0);
    EXPECT_EQ(written.substr(written.size() - 28), " .5\t .4\t 24\t 4.88\t1.17\t 11\r\n");
}

// A folder or a pipe is refused instead of blocking; so is a file that is not there.
TEST(HostileWidthFiles, AFolderAPipeOrAMissingFileIsReported) {
    Window w;
    const auto fifo = w.folder.file("pipe.IW");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string not_regular =
        "\" is not a regular file (a pipe, a device or a folder) and cannot be read.";
    w.treat(w.folder.file(""));
    w.treat(fifo);
    w.treat(w.folder.file("none.IW"));
    w.load_table(fifo);
    EXPECT_EQ(w.services.messages, (Texts{"The file \"" + w.folder.file("") + not_regular,
                                          "The file \"" + fifo + not_regular,
                                          "The file \"" + w.folder.file("none.IW") +
                                              "\" cannot be opened: No such file or directory.",
                                          "The file \"" + fifo + not_regular}));
    EXPECT_EQ(w.state().broadening.broad_rule, kRuleMixture);
}

// CR-only line ends and a UTF-8 byte-order mark are read. '.' is the decimal point, so
// "0,5 0,4" is the two samples (0, 5) and (0, 4): error lines, not wrong samples.
TEST(HostileWidthFiles, WhatIsReadAndHowDecimalCommasEnd) {
    for (const char* bytes :
         {"Mac\r2\r0\r0.5,0.4\r0.7 0.5\r", "\xEF\xBB\xBFMac\r\n2\r\n0\r\n0.5,0.4\r\n0.7 0.5"}) {
        Window w;
        const std::string written = ScratchFolder::read(w.treat(w.folder.write("ok.IW", bytes)));
        EXPECT_TRUE(w.services.messages.empty());
        EXPECT_EQ(written.rfind("Mac\r\nReichweite:\tR0\r\n", 0), 0u) << written;
        EXPECT_NE(written.find("\r\n .5\t .4\t 24\t 4.88\t1.17\t 11\r\n"), std::string::npos);
        EXPECT_EQ(w.state().samples.size(), 2u);
    }
    Window w;
    const auto out = w.treat(w.folder.write("comma.IW", "Virgules\r\n2\r\n0\r\n0,5 0,4\r\n"));
    const std::string written = ScratchFolder::read(out);
    EXPECT_EQ(written.substr(written.find("Nfd\r\n")), "Nfd\r\nError\r\nError\r\n");
    EXPECT_TRUE(w.state().samples.empty());
}

class BadCorrectionFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadCorrectionFile, IsReportedAndTheRuleGoesBackToMixture) {
    Window w;
    w.load_table(w.folder.write("good.cor", "Good\r\n0.05 0.1\r\n0.2\r\n0.24\r\n0.3\r\n"));
    ASSERT_EQ(w.state().broadening.broad_rule, kRuleTable);
    const std::string label = w.services.captions[Caption::label_file];
    w.services.select_option(BroadeningOption::FileTable);

    w.load_table(w.folder.write("bad.cor", GetParam().bytes));
    EXPECT_EQ(w.services.messages, Texts{GetParam().message});
    EXPECT_EQ(w.state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(w.services.option, BroadeningOption::Mixture);
    EXPECT_EQ(w.services.captions[Caption::label_file], label);
    w.type_and_draw("0.1", "0.6", "0.5"); // corrected by the mixture again, not the table
    ASSERT_EQ(w.state().samples.size(), 1u);
    EXPECT_EQ(w.state().samples[0].record.iw_ad, remove_inst(0.6f, 0.1f, kRuleMixture));
}

std::string many_values(int count) {
    std::string text = "Many\r\n0.01 0\r\n";
    for (int i = 1; i <= count; ++i) {
        text += std::to_string(i) + "\r\n";
    }
    return text;
}

const std::string kFirst = "Line 2 of the file, item 2 (the first corrected width): \"";

INSTANTIATE_TEST_SUITE_P(
    Window, BadCorrectionFile,
    ::testing::Values(
        BadFile{"Empty", "", kEmpty},
        BadFile{"TitleOnly", "Instrument\n\n  \n",
                "The file ends before the step of the corrected widths."},
        BadFile{"StepOnly", "I\r\n0.05\r\n", "The file ends before the first corrected width."},
        BadFile{"Binary", std::string("\x1F\x8B\x08\0\0\0\0\0", 8), kNul},
        BadFile{"NanStep", "I\r\nnan\r\n0.05\r\n",
                "Line 2 of the file, item 1 (the step of the corrected widths): \"nan" + kNaN},
        BadFile{"InfStart", "I\r\n0.05 -inf\r\n", kFirst + "-inf" + kNaN},
        BadFile{"WidthBeyondASingle", "I\r\n0.05\r\n0.05\r\n0.11\r\n1e400\r\n",
                "Line 5 of the file, item 1 (measured width 2): \"1e400" + kSingle},
        BadFile{"DecimalCommasAndSemicolons", "I\r\n0,05;0,05\r\n", kFirst + "05;0" + kNaN},
        BadFile{"Utf16", utf16("I\r\n0.05\r\n0.05\r\n0.11\r\n", "\xFF\xFE"), kUtf16},
        BadFile{"MoreThan501Values", many_values(502),
                "Line 504 of the file, item 1: the table holds more than 501 measured widths, "
                "the most a correction table can hold."}),
    case_name);

} // namespace
} // namespace teravine::hostile
