// SPDX-License-Identifier: GPL-3.0-or-later
// The sample table's handlers: the rows follow placing, removal, undo, clearing and a
// change of Reichweite; the selection marks the dots; the table as text; Save Picture.
#include "app/sample_table_text.h"
#include "batch/result_csv.h"
#include "identify/uncertainty_text.h"
#include "support/fingerprint.h"
#include "support/session.h"
#include "text/number_text.h"

namespace teravine {
namespace {

using Kind = SampleListChange::Kind;

class SampleTable : public AppTest {
protected:
    void SetUp() override {
        treat(std::string(TERAVINE_SOURCE_DIR) + "/examples/samples.IW");
        ASSERT_EQ(state().samples.size(), 6u);
        for (const PlacedSample& s : state().samples) {
            before.push_back(fingerprint(s));
        }
        services.sample_changes.clear();
    }
    std::vector<Fingerprint> now() const {
        std::vector<Fingerprint> out;
        for (const PlacedSample& s : state().samples) {
            out.push_back(fingerprint(s));
        }
        return out;
    }
    std::vector<Fingerprint> before;
};

TEST_F(SampleTable, RemovalAndUndoPutEverySampleBackWhereItStood) {
    terav.select_samples({4, 1, 9, 1}); // out of order, twice, and past the end
    EXPECT_EQ(state().selected, (std::vector<std::size_t>{1, 4}));
    ASSERT_EQ(services.marks.size(), 2u);
    const SampleRecord& second = state().samples[1].record;
    const PlotWindow& p = state().plot;
    EXPECT_EQ(services.marks[0].x, x_to_surface(second.iw_ad, p.xmin, p.xorig, p.xunit));
    EXPECT_EQ(services.marks[0].y, y_to_surface(second.iw_eg, p.ymin, p.yorig, p.yunit));

    terav.remove_selected_Click();
    EXPECT_EQ(state().samples.size(), 4u);
    EXPECT_EQ(now(), (std::vector<Fingerprint>{before[0], before[2], before[3], before[5]}));
    EXPECT_TRUE(state().selected.empty());
    EXPECT_TRUE(services.marks.empty()); // the redraw marks nothing
    ASSERT_FALSE(services.sample_changes.empty());
    EXPECT_EQ(services.sample_changes.front().kind, Kind::removed);
    EXPECT_EQ(services.sample_changes.front().rows, (std::vector<std::size_t>{1, 4}));

    click_at(0.5f, 0.4f); // placed after the removal: the first undo takes it back
    ASSERT_EQ(state().samples.size(), 5u);
    terav.undo_Click();
    EXPECT_EQ(services.sample_changes.back().kind, Kind::removed);
    EXPECT_EQ(services.sample_changes.back().rows, std::vector<std::size_t>{4});
    terav.undo_Click();
    EXPECT_EQ(now(), before);
    EXPECT_EQ(services.sample_changes.back().kind, Kind::inserted);
    EXPECT_EQ(services.sample_changes.back().rows, (std::vector<std::size_t>{1, 4}));

    // Then the treatment's samples, last first, one at a time, until nothing is left.
    for (std::size_t left = 5; left + 1 > 0; --left) {
        terav.undo_Click();
        ASSERT_EQ(state().samples.size(), left);
    }
    terav.undo_Click(); // nothing to undo: nothing happens
    EXPECT_TRUE(state().samples.empty());
}

TEST_F(SampleTable, ClearingAndAReichweiteLeaveNothingToUndo) {
    const struct {
        void (Terav::*handler)();
        std::size_t left;
    } cases[] = {{&Terav::R_1_Click, 6}, {&Terav::Cl_p_Click, 0}, {&Terav::netoye_Click, 0}};
    for (const auto& c : cases) {
        terav.select_samples({0});
        (terav.*c.handler)();
        EXPECT_EQ(services.sample_changes.back().kind, Kind::reset);
        EXPECT_TRUE(state().selected.empty());
        terav.undo_Click();
        EXPECT_EQ(state().samples.size(), c.left);
        terav.R_0_Click();
        click_at(0.6f, 0.5f);
        terav.undo_Click(); // what was placed since can still be taken back
        EXPECT_EQ(state().samples.size(), c.left);
        if (c.left == 0) {
            treat(std::string(TERAVINE_SOURCE_DIR) + "/examples/samples.IW");
        }
    }
}

// Each numeric column in one format whatever the value: widths to four decimals with their
// leading zero, N and Nfp whole, k to two decimals.
TEST_F(SampleTable, EachColumnHasOneNumberFormat) {
    PlacedSample sample;
    const struct {
        float ad, eg;
        std::int16_t n, nfp;
        float k;
        const char *ad_cell, *eg_cell, *n_cell, *k_cell, *nfp_cell;
    } cases[] = {{0.799f, 0.5438787f, 24, 31, 3.0f, "0.7990", "0.5439", "24", "3.00", "31"},
                 {1.1f, 0.05f, 2, 2, 12.456f, "1.1000", "0.0500", "2", "12.46", "2"},
                 {0.12345f, 0.1f, 100, 7, 0.5f, "0.1235", "0.1000", "100", "0.50", "7"}};
    for (const auto& c : cases) {
        sample.record.iw_ad = c.ad;
        sample.record.iw_eg = c.eg;
        sample.record.n_int = c.n;
        sample.record.nfp = c.nfp;
        sample.record.k = c.k;
        EXPECT_EQ(sample_cell(sample, 0, SampleColumn::ad), c.ad_cell);
        EXPECT_EQ(sample_cell(sample, 0, SampleColumn::eg), c.eg_cell);
        EXPECT_EQ(sample_cell(sample, 0, SampleColumn::n), c.n_cell);
        EXPECT_EQ(sample_cell(sample, 0, SampleColumn::k), c.k_cell);
        EXPECT_EQ(sample_cell(sample, 0, SampleColumn::nfp), c.nfp_cell);
        EXPECT_EQ(unplaced_cell(UnplacedSample{"x", c.ad, c.eg, "below", {}, {}, {}, {}},
                                SampleColumn::ad_measured),
                  c.ad_cell);
    }
}

TEST_F(SampleTable, RowsAsTextAndCsv) {
    // The widths to four decimals, the values as the label writes them.
    const PlacedSample& third = state().samples[2];
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::number), "3");
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::ad), format_fixed(third.record.iw_ad, 4));
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::k), format_fixed(third.record.k, 2));
    EXPECT_EQ(third.record.label, "N: " + sample_cell(third, 2, SampleColumn::n) +
                                      ",S: " + sample_cell(third, 2, SampleColumn::s) +
                                      "%,k:" + sample_cell(third, 2, SampleColumn::k) +
                                      ",Nfp: " + sample_cell(third, 2, SampleColumn::nfp));
    std::string row = "3";
    for (const SampleColumn c : sample_columns(false).subspan(1)) {
        row += "\t" + sample_cell(third, 2, c);
    }
    // Measured and corrected widths in columns of their own, placed or not; b last, the
    // file's for its samples, none for a click.
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::ad_measured), "0.8000");
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::broadening), "0.1000");
    EXPECT_EQ(sample_cell(PlacedSample{}, 0, SampleColumn::broadening), "");
    EXPECT_EQ(
        sample_rows_tsv(state().samples, state().unplaced, {2, 8}, false),
        "#\tName\tAD measured\tEG measured\tAD\tEG\tN\tN (profile)\t%S\tk\tNfp\tLabel\tb\n" + row +
            "\n\t\t0.0800\t0.0700\t\t\t\t\t\t\t\tnot placed: narrower than the instrument\t\n");
    EXPECT_EQ(unplaced_cell(state().unplaced[0], SampleColumn::ad_measured), "0.5000");
    EXPECT_EQ(unplaced_cell(state().unplaced[0], SampleColumn::ad),
              format_fixed(*state().unplaced[0].ad_corrected, 4));
    EXPECT_EQ(sample_cell(third, 2, SampleColumn::k_interval), ""); // no sigma yet

    const std::string csv_path = folder.file("table.csv");
    services.save_answers = {ScriptedServices::chosen(csv_path)};
    terav.export_table_Click();
    const std::string csv = ScratchFolder::read(csv_path);
    // The columns of treat --csv and n_profile, its first row as treat writes it (without N
    // (profile)), and the three samples not placed after the six placed, with their reasons.
    EXPECT_EQ(csv.substr(0, csv.find('\n')), result_csv_header() + ",n_profile");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 10);
    EXPECT_NE(csv.find("\n,1,0.6,0.5,0.5438787,0.44267276,ok,19.609049,20,4.83,0.94799805,10,R0,"
                       "Lorentz Gauss geometric mean,0.1,\n"),
              std::string::npos);
    // Their corrected widths too, as treat --csv writes them, where the rule gave them.
    EXPECT_NE(csv.find(",7,0.5,0.6," + csv_number(*state().unplaced[0].ad_corrected) + ',' +
                       csv_number(*state().unplaced[0].eg_corrected) + ",above the diagonal,"),
              std::string::npos);
    EXPECT_NE(csv.find(",9,0.08,0.07,,,narrower than the instrument,"), std::string::npos);

    services.save_answers = {ScriptedServices::chosen(folder.file("no/such/folder/t.csv"))};
    terav.export_table_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].find("cannot be created"), std::string::npos);
}

// The intervals start from the widths as measured, with the broadening that placed them
// (a treatment's file, a typed entry) or from the widths as clicked; they follow the
// sigma and a change of Reichweite, and their outlines are drawn when shown.
TEST_F(SampleTable, IntervalsStartFromTheMeasuredWidthsAndFollowTheSigma) {
    type_and_draw("0.1", "0.6", "0.5");
    click_at(0.6f, 0.5f);
    const WidthSigmas sigmas{0.01f, 0.01f};
    const BroadeningRemoval file_and_typed{0.1f, kRuleMixture, nullptr};
    const auto expect_interval = [&](std::size_t i, float ad, float eg,
                                     const BroadeningRemoval& removal) {
        Calibration cal = state().cal;
        const auto want = width_uncertainty(cal, ad, eg, removal, sigmas);
        const auto& got = state().samples[i].uncertainty;
        ASSERT_TRUE(want && got) << i;
        EXPECT_EQ(got->k.low, want->k.low) << i;
        EXPECT_EQ(got->s_pct.high, want->s_pct.high) << i;
        EXPECT_EQ(got->n.low, want->n.low) << i;
        EXPECT_EQ(got->outline.count, want->outline.count) << i;
    };
    for (const std::int16_t reich : {1, 2}) {
        if (reich == 1) {
            terav.set_sigma(0.01f);
            EXPECT_EQ(services.sample_changes.back().kind, Kind::reset);
        } else {
            terav.R_1_Click();
        }
        expect_interval(0, 0.6f, 0.5f, file_and_typed); // the file's first sample
        expect_interval(6, 0.6f, 0.5f, file_and_typed);
        expect_interval(7, 0.6f, 0.5f, {});
    }
    const PlacedSample& first = state().samples[0];
    EXPECT_EQ(sample_cell(first, 0, SampleColumn::n_interval),
              interval_text(*first.uncertainty, UncertainQuantity::n));
    const std::string tsv = sample_rows_tsv(state().samples, {}, {0}, true);
    EXPECT_EQ(tsv.substr(0, tsv.find('\n')),
              "#\tName\tAD measured\tEG measured\tAD\tEG\tN\tN (profile)\t%S\tk\tNfp\tN interval\t"
              "%S interval\tk interval\tNfp interval\tLabel\tb");

    // Shown: one outline a sample with an interval, in the samples' colour, under the dots.
    const auto outlines = [&] {
        std::size_t count = 0;
        for (const Piece& p : picture.pieces()) {
            count += p.pen_width == 1 && p.colour == kColourSample && p.vertices.size() > 8;
        }
        return count;
    };
    picture.ops.clear();
    terav.ellipses_Click();
    EXPECT_TRUE(services.checks[MenuItem::ellipses]);
    const auto with_interval =
        std::count_if(state().samples.begin(), state().samples.end(),
                      [](const PlacedSample& s) { return s.uncertainty.has_value(); });
    EXPECT_EQ(outlines(), static_cast<std::size_t>(with_interval));
    picture.ops.clear();
    click_at(0.7f, 0.55f);
    EXPECT_EQ(outlines(), 1u);

    terav.set_sigma(0); // off: no intervals, no outlines
    EXPECT_FALSE(state().samples[0].uncertainty.has_value());
    picture.ops.clear();
    terav.Form_Resize();
    EXPECT_EQ(outlines(), 0u);
}

TEST_F(SampleTable, SavePictureWritesTheWindowsSamplesOrSaysWhyNot) {
    terav.save_picture_Click(); // cancelled: nothing is written
    EXPECT_TRUE(services.pictures.empty());
    services.picture_answers = {PictureRequest{"/x/fig.png", FigureSize{1890, 1417, 300}}};
    services.picture_failure = "Cannot write /x/fig.png: No such file or directory";
    terav.save_picture_Click();
    ASSERT_EQ(services.pictures.size(), 1u);
    EXPECT_EQ(services.pictures[0].size.width, 1890);
    EXPECT_EQ(services.picture_samples[0], 6u);
    EXPECT_EQ(services.messages, std::vector<std::string>{*services.picture_failure});

    // The caption gives the b the file's samples were corrected with, not the box's now;
    // the ellipses of the table's sigma say so.
    services.boxes[TextBox::Broad] = "0.1486";
    terav.set_sigma(0.02f);
    terav.ellipses_Click();
    services.picture_answers = {PictureRequest{"/x/fig.png", FigureSize{1890, 1417, 300}, true}};
    terav.save_picture_Click();
    EXPECT_EQ(services.picture_captions.back(),
              "Reichweite R0, rule Lorentz Gauss geometric mean, broadening .1 °2θ, σ .02 °2θ|"
              "1σ region, σ .02 °2θ");
}

} // namespace
} // namespace teravine
