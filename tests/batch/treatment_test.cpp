// SPDX-License-Identifier: GPL-3.0-or-later
// The treatment loop and the result file it writes.
#include "batch/result_file.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "identify/sample_values.h"
#include "model/correction_file.h"
#include "model/solvers.h"
#include "support/scratch_folder.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <utility>
#include <vector>

namespace teravine {
namespace {


const std::string kMixtureHeader =
    "Reichweite:\tR0\r\n"
    "Instrumental broadening:\t 0\r\n"
    "Instrumental broadening type :\tLorentz Gauss geometric mean\r\n"
    "IW_AD\tIW_EG\tN\tS\tk\tNfd\r\n";

struct Run {
    Outcome<TreatSummary> outcome = Failure{"not run"};
    std::string written;
    std::vector<std::pair<float, float>> placed;
};

// Reads the width text, corrects it with the rule and treats it into a fresh file.
Run treat_text(std::string_view text, std::int16_t rule = kRuleMixture,
               const CorrectionTable& table = {}, std::int16_t reich = 1) {
    ScratchFolder folder;
    auto widths = read_width_text(text);
    EXPECT_TRUE(widths) << widths.error();
    Run run;
    if (!widths) {
        return run;
    }
    correct_widths(widths.value(), rule, table);
    Calibration cal = make_calibration(reich);
    const auto out = folder.file("result.IWO");
    run.outcome = treat_widths(*widths, cal, rule_name(rule), out,
                               [&](float ad, float eg) { run.placed.emplace_back(ad, eg); });
    run.written = ScratchFolder::read(out);
    return run;
}

// The line a single accepted pair gives, computed the long way.
std::string line_of(float ad, float eg, std::int16_t reich = 1) {
    Calibration cal = make_calibration(reich);
    InterpRecord rec;
    EXPECT_EQ(find_k(rec, cal.coef_eg, ad, eg, reich), kInside);
    const auto values = sample_values(cal, rec, ad);
    const int nfp = static_cast<int>(std::floor(100.0 / static_cast<double>(values->fp_pct)));
    return number_text(ad) + "\t" + number_text(eg) + "\t" +
           number_text(static_cast<int>(values->n_int)) + "\t" + number_text(values->s_pct) + "\t" +
           format_fixed(values->k, 2) + "\t" + number_text(nfp);
}

TEST(ResultHeader, TheFiveLines) {
    const auto h = result_header("My title", "R3", 0.1f, "Gauss");
    EXPECT_EQ(h[0], "My title");
    EXPECT_EQ(h[1], "Reichweite:\tR3");
    EXPECT_EQ(h[2], "Instrumental broadening:\t .1");
    EXPECT_EQ(h[3], "Instrumental broadening type :\tGauss");
    EXPECT_EQ(h[4], "IW_AD\tIW_EG\tN\tS\tk\tNfd");
}

TEST(Treatment, TheWorkedExample) {
    const auto run = treat_text("Worked example\r\n1\r\n0\r\n0.5,0.4\r\n");
    ASSERT_TRUE(run.outcome) << run.outcome.error();
    EXPECT_EQ(run.written,
              "Worked example\r\n" + kMixtureHeader + " .5\t .4\t 24\t 4.88\t1.17\t 11\r\n");
    EXPECT_EQ(run.placed, (std::vector<std::pair<float, float>>{{0.5f, 0.4f}}));
    EXPECT_EQ(run.outcome->samples, 1);
    EXPECT_EQ(run.outcome->placed, 1);
    EXPECT_EQ(run.outcome->errors, 0);
}

TEST(Treatment, OutsideSamplesWriteErrorAndTheRestGoesOn) {
    // Above the diagonal, inside, below the k = 3 row, inside again.
    const auto run = treat_text("Mixed\n4\n0\n0.5,0.6\n0.5,0.4\n0.5,0.1\n0.6,0.45\n");
    ASSERT_TRUE(run.outcome) << run.outcome.error();
    EXPECT_EQ(run.written, "Mixed\r\n" + kMixtureHeader + "Error\r\n" + line_of(0.5f, 0.4f) +
                               "\r\nError\r\n" + line_of(0.6f, 0.45f) + "\r\n");
    EXPECT_EQ(run.placed, (std::vector<std::pair<float, float>>{{0.5f, 0.4f}, {0.6f, 0.45f}}));
    EXPECT_EQ(run.outcome->errors, 2);
    EXPECT_EQ(run.outcome->placed, 2);
}

TEST(Treatment, EqualWidthsTakeNfpFromThePercentage) {
    const auto run = treat_text("Equal\n1\n0\n0.5,0.5\n");
    ASSERT_TRUE(run.outcome) << run.outcome.error();
    Calibration cal = make_calibration(1);
    InterpRecord rec;
    float eg = 0.5f;
    ASSERT_EQ(find_k(rec, cal.coef_eg, 0.5f, eg, 1), kInside);
    const auto values = sample_values(cal, rec, 0.5f);
    const int file_nfp = *nfp_from_percent(values->fp_pct);
    ASSERT_NE(file_nfp, values->n_int); // the label's Nfp differs, the file's does not follow it
    EXPECT_EQ(run.written, "Equal\r\n" + kMixtureHeader + " .5\t .5\t " +
                               std::to_string(values->n_int) + "\t 0\t0.00\t " +
                               std::to_string(file_nfp) + "\r\n");
}

TEST(Treatment, ASampleWhoseValuesCannotBeComputedStopsTheTreatment) {
    // A point inside the model at a tiny width: N is beyond 16 bits.
    const auto run = treat_text("Tiny\n3\n0\n0.5,0.4\n0.000001,0.0000009\n0.6,0.45\n");
    ASSERT_FALSE(run.outcome);
    EXPECT_EQ(run.outcome.error(), "Sample 2 of the file: Arithmetic failure: N cannot be "
                                   "computed.");
    // What was written and placed before it stays.
    EXPECT_EQ(run.written, "Tiny\r\n" + kMixtureHeader + " .5\t .4\t 24\t 4.88\t1.17\t 11\r\n");
    EXPECT_EQ(run.placed, (std::vector<std::pair<float, float>>{{0.5f, 0.4f}}));
}

TEST(Treatment, AResultFileThatCannotBeCreated) {
    ScratchFolder folder;
    WidthFile file;
    file.title = "T";
    file.count = 1;
    file.ad = {0.5f};
    file.eg = {0.4f};
    Calibration cal = make_calibration(1);
    int placed = 0;
    const auto count = [&](float, float) { ++placed; };
    const auto nowhere = folder.file("no such folder/out.IWO");
    const auto outcome = treat_widths(file, cal, "Gauss", nowhere, count);
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error(),
              "The file \"" + nowhere + "\" cannot be created: No such file or directory.");
    const auto on_folder = treat_widths(file, cal, "Gauss", folder.path().string(), count);
    ASSERT_FALSE(on_folder);
    EXPECT_NE(on_folder.error().find("cannot be created"), std::string::npos);
    EXPECT_EQ(placed, 0);
}

TEST(Treatment, AResultFileThatCannotBeWritten) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    WidthFile file;
    file.title = "T";
    file.count = 1;
    file.ad = {0.5f};
    file.eg = {0.4f};
    Calibration cal = make_calibration(1);
    const auto outcome = treat_widths(file, cal, "Gauss", "/dev/full", nullptr);
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error(), "The file \"/dev/full\" cannot be written: No space left on "
                               "device.");
}

TEST(Treatment, TheWholeWayFromAFileOnDisk) {
    ScratchFolder folder;
    const auto in = folder.write("in.IW", "Disk\r\n2\r\n0\r\n0.5,0.4\r\n0.5,0.6\r\n");
    auto widths = read_width_file(in);
    ASSERT_TRUE(widths) << widths.error();
    correct_widths(widths.value(), kRuleMixture, {});
    Calibration cal = make_calibration(1);
    const auto out = folder.file("out.IWO");
    // An existing result file is overwritten.
    folder.write("out.IWO", std::string(5000, 'x'));
    const auto outcome = treat_widths(*widths, cal, rule_name(kRuleMixture), out, nullptr);
    ASSERT_TRUE(outcome) << outcome.error();
    EXPECT_EQ(ScratchFolder::read(out),
              "Disk\r\n" + kMixtureHeader + " .5\t .4\t 24\t 4.88\t1.17\t 11\r\nError\r\n");
}

TEST(Treatment, The32767SamplesOfAFullFile) {
    std::string text = "Full\r\n32767\r\n0.1\r\n";
    for (int i = 0; i < 32767; ++i) {
        text += i % 7 == 0 ? "0.5,0.6\r\n" : "0." + std::to_string(400 + i % 500) + ",0.4\r\n";
    }
    const auto start = std::chrono::steady_clock::now();
    const auto run = treat_text(text);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(run.outcome) << run.outcome.error();
    EXPECT_EQ(run.outcome->samples, 32767);
    EXPECT_EQ(run.outcome->placed + run.outcome->errors, 32767);
    EXPECT_EQ(static_cast<int>(run.placed.size()), run.outcome->placed);
    std::size_t lines = 0;
    for (char c : run.written) {
        lines += c == '\n';
    }
    EXPECT_EQ(lines, 5u + 32767u);
    // Well under a second in an optimised build; generous for sanitizer builds.
    EXPECT_LT(took, std::chrono::seconds(30));
    std::cout << "32767 samples read, corrected and treated in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
}

} // namespace
} // namespace teravine
