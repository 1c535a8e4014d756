// SPDX-License-Identifier: GPL-3.0-or-later
// Width files and correction files that are not what they should be, opened through the
// window: each gives its one message, and nothing already on the diagram is lost.
#include "support/session.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace teravine::hostile {
namespace {

using Window = Session<RecordingSurface>;

std::string utf16le(std::string_view ascii, bool with_mark) {
    std::string out = with_mark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string utf16be(std::string_view ascii) {
    std::string out = "\xFE\xFF";
    for (char c : ascii) {
        out += '\0';
        out += c;
    }
    return out;
}

constexpr const char* kUtf16Message =
    "The file is UTF-16 text (it starts with a UTF-16 byte-order mark); save it as plain text "
    "(ANSI or UTF-8) and try again.";
constexpr const char* kNulMessage =
    "The file holds NUL bytes, so it is not plain text (it may be UTF-16 text or a binary "
    "file); save it as plain text (ANSI or UTF-8) and try again.";
constexpr const char* kEmptyMessage = "The file is empty: it has not even a title line.";

struct BadFile {
    const char* name;
    std::string bytes;
    std::string message;
};

// Shown by name: gtest would otherwise print the record's raw bytes, padding included.
void PrintTo(const BadFile& file, std::ostream* out) {
    *out << file.name;
}

std::string case_name(const ::testing::TestParamInfo<BadFile>& info) {
    return info.param.name;
}

// ---- width files ---------------------------------------------------------------------

class BadWidthFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadWidthFile, IsReportedAndTheDiagramKeepsItsSamples) {
    Window w;
    w.type_and_draw("", "0.5", "0.4");
    ASSERT_EQ(w.state().samples.size(), 1u);
    const auto clears = w.picture.of(OpKind::clear).size();

    const auto out = w.treat(w.folder.write("bad.IW", GetParam().bytes));
    EXPECT_EQ(w.services.messages, std::vector<std::string>{GetParam().message});
    ASSERT_EQ(w.state().samples.size(), 1u);
    EXPECT_EQ(w.state().samples[0].record.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    EXPECT_EQ(w.picture.of(OpKind::clear).size(), clears); // not redrawn, nothing wiped
    EXPECT_TRUE(w.services.save_filters.empty());          // the result dialog is never shown
    EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Window, BadWidthFile,
    ::testing::Values(
        BadFile{"Empty", "", kEmptyMessage},
        BadFile{"TitleOnly", "Samples of May\r\n", "The file ends before the sample count."},
        BadFile{"BroadeningMissing", "Samples\r\n2\r\n",
                "The file ends before the broadening value."},
        BadFile{"BinaryWithNul",
                std::string("\x7F"
                            "ELF\x02\x01\x01\0\0\0\0",
                            12),
                kNulMessage},
        BadFile{"BinaryWithoutNul", "\x89PNG\r\n\x1A\n\xFF\xD8\xFF\xE0",
                "Line 2 of the file, item 1 (the sample count): \"\\x1A\" is not a number."},
        BadFile{"CountMinusOne", "T\r\n-1\r\n0\r\n0.5,0.4\r\n",
                "Line 2 of the file, item 1: the sample count \"-1\" is negative; a file holds 0 "
                "to 32767 samples."},
        BadFile{"Count32768", "T\r\n32768\r\n0\r\n0.5,0.4\r\n",
                "Line 2 of the file, item 1: the sample count \"32768\" is beyond 32767, the most "
                "samples a file can hold."},
        BadFile{"Count100000", "T\r\n100000, 0\r\n0.5,0.4\r\n",
                "Line 2 of the file, item 1: the sample count \"100000\" is beyond 32767, the "
                "most samples a file can hold."},
        BadFile{"FewerSamplesThanAnnounced", "Short\r\n3\r\n0\r\n0.5,0.4\r\n0.6,0.45\r\n",
                "The file ends after 2 of 3 samples."},
        BadFile{"LastSampleHalfThere", "Short\r\n2\r\n0\r\n0.5,0.4\r\n0.6\r\n",
                "The file ends after 1 of 2 samples: sample 2 has no EG width."},
        BadFile{"NanWidth", "T\r\n1\r\n0\r\nnan,0.4\r\n",
                "Line 4 of the file, item 1 (the AD width of sample 1): \"nan\" is not a number."},
        BadFile{"InfWidth", "T\r\n1\r\n0\r\n0.5,inf\r\n",
                "Line 4 of the file, item 2 (the EG width of sample 1): \"inf\" is not a number."},
        BadFile{"WidthBeyondASingle", "T\r\n1\r\n0\r\n1e400,0.4\r\n",
                "Line 4 of the file, item 1 (the AD width of sample 1): \"1e400\" is not a number "
                "that a single-precision value can hold."},
        BadFile{"NanBroadening", "T\r\n1\r\nNaN\r\n0.5,0.4\r\n",
                "Line 3 of the file, item 1 (the broadening value): \"NaN\" is not a number."},
        BadFile{"DecimalCommasAndSemicolons", "Virgules\r\n1\r\n0\r\n0,5;0,4\r\n",
                "Line 4 of the file, item 2 (the EG width of sample 1): \"5;0\" is not a "
                "number."},
        BadFile{"Utf16WithMark", utf16le("T\r\n1\r\n0\r\n0.5,0.4\r\n", true), kUtf16Message},
        BadFile{"Utf16BigEndian", utf16be("T\r\n1\r\n0\r\n0.5,0.4\r\n"), kUtf16Message},
        BadFile{"Utf16WithoutMark", utf16le("T\r\n1\r\n0\r\n0.5,0.4\r\n", false), kNulMessage}),
    case_name);

constexpr std::size_t kFiftyMegabytes = std::size_t{50} << 20;

// A line of 50 MB of one character between a head and a tail, built in place.
std::string around_50_megabytes(std::string_view head, char fill, std::string_view tail) {
    std::string bytes;
    bytes.reserve(head.size() + kFiftyMegabytes + tail.size());
    bytes.append(head).append(kFiftyMegabytes, fill).append(tail);
    return bytes;
}

TEST(HostileWidthFiles, AFiftyMegabyteLineIsRefusedQuickly) {
    Window w;
    w.type_and_draw("", "0.5", "0.4");
    const auto out =
        w.treat(w.folder.write("long.IW", around_50_megabytes("T\r\n", '7', "\r\n0\r\n")));
    EXPECT_EQ(w.services.messages,
              std::vector<std::string>{"Line 2 of the file, item 1 (the sample count): \"" +
                                       std::string(40, '7') + "...\" is not a number."});
    EXPECT_EQ(w.state().samples.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(HostileWidthFiles, AFiftyMegabyteTitleIsCopiedWhole) {
    Window w;
    const auto out = w.treat(
        w.folder.write("title.IW", around_50_megabytes("", 'T', "\r\n1\r\n0\r\n0.5,0.4\r\n")));
    EXPECT_TRUE(w.services.messages.empty());
    const std::string written = ScratchFolder::read(out);
    ASSERT_GT(written.size(), kFiftyMegabytes + 2);
    const auto title_end = written.begin() + static_cast<std::ptrdiff_t>(kFiftyMegabytes);
    EXPECT_TRUE(std::all_of(written.begin(), title_end, [](char c) { return c == 'T'; }));
    EXPECT_EQ(written.compare(kFiftyMegabytes, 13, "\r\nReichweite:"), 0);
    const std::string line = " .5\t .4\t 24\t 4.88\t1.17\t 11\r\n";
    EXPECT_EQ(written.substr(written.size() - line.size()), line);
    EXPECT_EQ(w.state().samples.size(), 1u);
}

TEST(HostileWidthFiles, AFolderOrAMissingFileIsReported) {
    Window w;
    w.treat(w.folder.file(""));
    w.treat(w.folder.file("none.IW"));
    EXPECT_EQ(w.services.messages,
              (std::vector<std::string>{
                  "The file \"" + w.folder.file("") +
                      "\" is not a regular file (a pipe, a device or a folder) and cannot be read.",
                  "The file \"" + w.folder.file("none.IW") +
                      "\" cannot be opened: No such file or directory."}));
}

TEST(HostileWidthFiles, CrOnlyLineEndsAndAByteOrderMarkAreRead) {
    for (const std::string& bytes :
         {std::string("Mac\r2\r0\r0.5,0.4\r0.7 0.5\r"),
          std::string("\xEF\xBB\xBFMac\r\n2\r\n0\r\n0.5,0.4\r\n0.7 0.5")}) {
        Window w;
        const auto out = w.treat(w.folder.write("ok.IW", bytes));
        EXPECT_TRUE(w.services.messages.empty());
        const std::string written = ScratchFolder::read(out);
        EXPECT_EQ(written.rfind("Mac\r\nReichweite:\tR0\r\n", 0), 0u) << written;
        EXPECT_NE(written.find("\r\n .5\t .4\t 24\t 4.88\t1.17\t 11\r\n"), std::string::npos);
        EXPECT_EQ(w.state().samples.size(), 2u);
    }
}

// '.' is the decimal point: widths written with decimal commas split into two items
// each, so "0,5 0,4" is the two samples (0, 5) and (0, 4), both outside the model.
TEST(HostileWidthFiles, DecimalCommasGiveErrorLinesNotWrongSamples) {
    Window w;
    const auto out = w.treat(w.folder.write("comma.IW", "Virgules\r\n2\r\n0\r\n0,5 0,4\r\n"));
    EXPECT_TRUE(w.services.messages.empty());
    const std::string written = ScratchFolder::read(out);
    EXPECT_EQ(written.substr(written.find("Nfd\r\n")), "Nfd\r\nError\r\nError\r\n");
    EXPECT_TRUE(w.state().samples.empty());
}

// ---- correction files ------------------------------------------------------------------

class BadCorrectionFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadCorrectionFile, IsReportedAndTheRuleGoesBackToMixture) {
    Window w;
    w.load_table(w.folder.write("good.cor", "Good\r\n0.05 0.1\r\n0.2\r\n0.24\r\n0.3\r\n"));
    ASSERT_EQ(w.state().broadening.broad_rule, kRuleTable);
    const std::string label = w.services.captions[Caption::label_file];
    w.services.select_option(BroadeningOption::FileTable);

    w.load_table(w.folder.write("bad.cor", GetParam().bytes));
    EXPECT_EQ(w.services.messages, std::vector<std::string>{GetParam().message});
    EXPECT_EQ(w.state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(w.services.option, BroadeningOption::Mixture);
    EXPECT_EQ(w.services.captions[Caption::label_file], label);
    // Typed widths are corrected by the mixture again, not by the table.
    w.type_and_draw("0.1", "0.6", "0.5");
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

INSTANTIATE_TEST_SUITE_P(
    Window, BadCorrectionFile,
    ::testing::Values(
        BadFile{"Empty", "", kEmptyMessage},
        BadFile{"TitleOnly", "Instrument\r\n",
                "The file ends before the step of the corrected widths."},
        BadFile{"StepOnly", "Instrument\r\n0.05\r\n",
                "The file ends before the first corrected width."},
        BadFile{"Binary", std::string("\x1F\x8B\x08\0\0\0\0\0", 8), kNulMessage},
        BadFile{"NanStep", "Instrument\r\nnan\r\n0.05\r\n",
                "Line 2 of the file, item 1 (the step of the corrected widths): \"nan\" is not a "
                "number."},
        BadFile{"InfStart", "Instrument\r\n0.05 -inf\r\n",
                "Line 2 of the file, item 2 (the first corrected width): \"-inf\" is not a "
                "number."},
        BadFile{"WidthBeyondASingle", "Instrument\r\n0.05\r\n0.05\r\n0.11\r\n1e400\r\n",
                "Line 5 of the file, item 1 (measured width 2): \"1e400\" is not a number that "
                "a single-precision value can hold."},
        BadFile{"DecimalCommasAndSemicolons", "Instrument\r\n0,05;0,05\r\n",
                "Line 2 of the file, item 2 (the first corrected width): \"05;0\" is not a "
                "number."},
        BadFile{"Utf16", utf16le("Instrument\r\n0.05\r\n0.05\r\n0.11\r\n", true), kUtf16Message},
        BadFile{"MoreThan501Values", many_values(502),
                "Line 504 of the file, item 1: the table holds more than 501 measured widths, the "
                "most a correction table can hold."}),
    case_name);

} // namespace
} // namespace teravine::hostile
