// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of broadening removal, correction tables, the sequential-input reader, width
// files and the treatment. The refusals' messages are pinned by tests/hostile.
#include "batch/treatment.h"
#include "model/broadening.h"
#include "model/correction_file.h"
#include "support/scratch_folder.h"
#include "text/number_items.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace teravine {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// Grid 0.1, 0.15, 0.2 for the measured widths 0.2, 0.24, 0.3.
CorrectionTable three_value_table() {
    const auto read =
        read_correction_text("Instrument X, 2024\r\n0.05\r\n0.1\r\n0.2\r\n0.24\r\n0.3\r\n");
    EXPECT_TRUE(read.ok()) << read.error;
    return read.table;
}

// By hand for B = 0.3, b = 0.1: sqrt(0.09 - 0.01), 0.3 - 0.1, and their geometric mean
// sqrt(0.2828427 * 0.2).
TEST(RemoveInst, WorkedExamplesInDoubleOnlyTheResultSingle) {
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleGauss)), " .2828427");
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleLorentz)), " .2");
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleMixture)), " .2378414");
    // B - b is not rounded to a single inside the product: 0.3f - 0.1f in double is
    // just past the middle between 0.2f and the next single.
    const double big = 0.30f, small = 0.10f, gauss = std::sqrt(big * big - small * small);
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleMixture),
              static_cast<float>(std::sqrt(gauss * (big - small))));
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleLorentz), std::nextafter(0.2f, 1.0f));
}

TEST(RemoveInst, WidthsThatCannotBeCorrectedGiveMinusOne) {
    const CorrectionTable table = three_value_table();
    const float below = std::nextafter(0.25f, 0.0f);
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture, kRuleTable}) {
        EXPECT_EQ(remove_inst(below, 0.25f, rule, table), -1.0f) << rule;
        EXPECT_EQ(remove_inst(kNan, 0.1f, rule, table), -1.0f) << rule;
        EXPECT_EQ(remove_inst(0.3f, kNan, rule, table), -1.0f) << rule;
    }
    // Inside the table but below b; a negative b under a square root: -1, not NaN.
    EXPECT_EQ(remove_inst(0.22f, 0.23f, kRuleTable, table), -1.0f);
    EXPECT_EQ(remove_inst(0.22f, 0.0f, kRuleTable, table), 0.125f); // half way from 0.1 to 0.15
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleGauss), -1.0f);
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleMixture), -1.0f);
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleLorentz), static_cast<float>(0.1 + double{0.3f}));
}

TEST(FileRemove, InterpolatesInsideTheTableOnly) {
    const CorrectionTable t = three_value_table();
    ASSERT_EQ(t.cor_count, 3);
    EXPECT_EQ(number_text(t.corrected[1]), " .15");
    // By hand: 0.22 and 0.21 lie a half and a quarter of the way from 0.2 to 0.24, so their
    // corrected widths that far from 0.1 to 0.15.
    // clang-format off
    const std::pair<float, float> cases[] = {
        {0.22f, 0.125f}, {0.21f, 0.1125f}, {0.3f, t.corrected[2]}, {0.24f, t.corrected[1]},
        {0.2f, -1}, {0.31f, -1}, {0.1f, -1}, {kNan, -1}
    };
    // clang-format on
    for (const auto& [measured, corrected] : cases) {
        EXPECT_EQ(number_text(file_remove(measured, t)), number_text(corrected)) << measured;
    }
    EXPECT_EQ(file_remove(0.3f, t), t.corrected[2]); // an entry gives exactly its grid value
}

TEST(CorrectionFile, HoldsAtMost501EntriesAndKeepsWhatCameBeforeAFailure) {
    std::string text = "Fine grid\n0.001 0\n";
    for (int i = 0; i < kMaxCorEntries; ++i) {
        text += std::to_string(0.05 + 0.002 * i) + (i % 10 == 9 ? "\n" : ",");
    }
    const auto full = read_correction_text(text);
    ASSERT_TRUE(full.ok()) << full.error;
    EXPECT_EQ(full.table.corrected[500], static_cast<float>(500.0 * double{0.001f}));
    EXPECT_EQ(file_remove(full.table.measured[500], full.table), full.table.corrected[500]);
    EXPECT_EQ(file_remove(1.06f, full.table), -1.0f);

    const auto too_long = read_correction_text(text + "2\n");
    EXPECT_FALSE(too_long.ok());
    EXPECT_EQ(too_long.table.cor_count, 501);
    EXPECT_EQ(too_long.table.measured[500], full.table.measured[500]);
    const auto bad = read_correction_text("T\n0.05 0.1\n0.2\n0.24\n0.3O\n0.4\n");
    EXPECT_EQ(bad.error,
              "Line 5 of the file, item 1 (measured width 3): \"0.3O\" is not a number.");
    EXPECT_EQ(bad.table.cor_count, 2);
    EXPECT_EQ(read_correction_text("Title\n0.05\n").table.cor_step, 0.05f);
    // A decimal comma splits a number: "0,05" is the step 0 and the start 5.
    const auto comma = read_correction_text("T\n0,05\n0,1\n");
    ASSERT_TRUE(comma.ok()) << comma.error;
    EXPECT_EQ(comma.table.cor_start, 5.0f);
    EXPECT_EQ(comma.table.cor_count, 2);
}

TEST(WidthFile, ReadAndCorrectedUnderEachRule) {
    const auto read = read_width_text("Samples of May\r\n2\r\n0\r\n0.22,0.21\r\n.5 0.4\r\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->title, "Samples of May");
    EXPECT_EQ(read->ad, (std::vector<float>{0.22f, 0.5f}));
    EXPECT_EQ(read->eg, (std::vector<float>{0.21f, 0.4f}));
    // b = 0 keeps the widths, except under the table.
    const auto table = read_correction_text("T\n0.05\n0.1\n0.2\n0.24\n0.3\n").table;
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture, kRuleTable}) {
        WidthFile copy = *read;
        correct_widths(copy, rule, table);
        EXPECT_EQ(copy.ad, (rule == kRuleTable ? std::vector<float>{0.125f, -1} : read->ad));
        EXPECT_EQ(copy.eg[0], rule == kRuleTable ? file_remove(0.21f, table) : 0.21f);
    }
}

TEST(Treatment, AResultFileThatCannotBeCreatedOrWritten) {
    ScratchFolder folder;
    const auto file = read_width_text("T\n1\n0\n0.5,0.4\n").value();
    const Calibration cal = make_calibration(1);
    const LineTables tables = make_line_tables(cal);
    const std::pair<std::string, std::string> cases[] = {
        {folder.file("no such folder/out.IWO"), "cannot be created: No such file or directory."},
        {folder.path().string(), "cannot be created"},
        {"/dev/full", "cannot be written: No space left on device."}};
    for (const auto& [path, error] : cases) {
        LineWriter out;
        std::optional<std::string> failure = out.open(path);
        Treatment treated;
        if (!failure) {
            treated = treat_widths(file, cal, tables, "Gauss", out);
            failure = treated.failure;
        }
        ASSERT_TRUE(failure) << path;
        EXPECT_EQ(failure->rfind("The file \"" + path + "\" " + error, 0), 0u) << *failure;
        EXPECT_LE(treated.placed, 1); // a full disk may show only at the last flush
    }
}

// Every pair comes back in file order, the accepted ones with their samples; a sample whose
// N cannot be computed stops the treatment and comes back last. The samples: the README's
// worked example, one above the diagonal, one more inside, one below the k = 3 row.
TEST(Treatment, HandsBackEveryPairInFileOrder) {
    ScratchFolder folder;
    const auto file = read_width_text("T\n4\n0\n0.5,0.4\n0.5,0.6\n0.7,0.5\n0.5,0.1\n").value();
    Calibration cal = make_calibration(1);
    for (const bool broken : {false, true}) {
        if (broken) {
            cal.coef_invn[1][3] = {}; // rows 3 and 4 (k = 1 and 2) give 1/N = 0
            cal.coef_invn[1][4] = {};
        }
        LineWriter out;
        ASSERT_FALSE(out.open(folder.file("t.IWO")));
        const Treatment t = treat_widths(file, cal, make_line_tables(cal), "Gauss", out);
        std::vector<Placement> where;
        std::vector<float> placed_eg;
        for (const TreatedPair& pair : t.pairs) {
            EXPECT_EQ(pair.index, where.size());
            where.push_back(pair.found.place.where);
            if (pair.accepted()) {
                EXPECT_EQ(pair.found.placed->record.iw_ad, pair.ad);
                placed_eg.push_back(pair.found.placed->record.iw_eg);
            }
        }
        if (broken) {
            EXPECT_EQ(where, std::vector<Placement>{Placement::inside});
            EXPECT_EQ(t.failure, "Sample 1 of the file: Arithmetic failure: N cannot be computed.");
            EXPECT_TRUE(placed_eg.empty());
            continue;
        }
        EXPECT_FALSE(t.failure);
        EXPECT_EQ(where, (std::vector<Placement>{Placement::inside, Placement::above_diagonal,
                                                 Placement::inside, Placement::outside}));
        EXPECT_EQ(placed_eg, (std::vector<float>{0.4f, 0.5f}));
        EXPECT_EQ(t.pairs[0].nfp, 11); // the worked example's Nfp
        EXPECT_TRUE(t.samples == 4 && t.placed == 2 && t.errors == 2);
    }
}

// A treatment taken a slice at a time writes the file one going through writes, byte for
// byte, and hands back the same pairs slice after slice.
TEST(Treatment, SlicesWriteWhatOneGoWrites) {
    ScratchFolder folder;
    const auto file = read_width_text("T\n4\n0\n0.5,0.4\n0.5,0.6\n0.7,0.5\n0.5,0.1\n").value();
    const Calibration cal = make_calibration(1);
    const LineTables tables = make_line_tables(cal);
    const auto written = [&](std::size_t slice) {
        const std::string path = folder.file("t" + std::to_string(slice) + ".IWO");
        LineWriter out;
        EXPECT_FALSE(out.open(path));
        TreatmentRun run(file, cal, tables, "Gauss", out);
        std::vector<std::size_t> indices;
        for (bool more = true; more;) {
            more = run.advance(slice);
            EXPECT_EQ(run.done(), std::min<std::size_t>(4, indices.size() + slice));
            for (const TreatedPair& pair : run.treated().pairs) {
                indices.push_back(pair.index);
            }
            run.treated().pairs.clear();
        }
        EXPECT_FALSE(run.advance(slice));
        const Treatment t = run.finish();
        EXPECT_TRUE(t.written && t.samples == 4 && t.placed == 2);
        EXPECT_EQ(indices, (std::vector<std::size_t>{0, 1, 2, 3}));
        return ScratchFolder::read(path);
    };
    const std::string whole = written(4);
    EXPECT_EQ(whole.substr(0, 2), "T\r");
    for (const std::size_t slice : {1u, 3u}) {
        EXPECT_EQ(written(slice), whole) << slice;
    }
}

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
