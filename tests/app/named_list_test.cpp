// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Open Sample List…": the named samples placed as Treat File places them, their
// names in the table and beside the dots, a sample's own u giving its interval, and a
// list that cannot be read placing nothing.
#include "app/sample_table_text.h"
#include "support/session.h"

#include <fstream>

namespace teravine {
namespace {

class NamedList : public AppTest {
protected:
    std::string write_list(const std::string& text) {
        const std::string path = folder.file("list.csv");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void open_list(const std::string& path) {
        services.open_answers = {ScriptedServices::chosen(path)};
        terav.open_sample_list_Click();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < state().samples.size(); ++i) {
            out.push_back(sample_cell(state().samples[i], i, SampleColumn::name));
        }
        return out;
    }
};

TEST_F(NamedList, PlacesNamedSamplesAndWritesTheChosenLabels) {
    // The second lies below the k = 3 curve and is not placed; the third brings its u.
    open_list(write_list("name;ad;eg;u_ad;u_eg\r\n\"Smith; A\";0,5;0,4;;\r\n"
                         "low;0,7;0,25;;\r\nthird;0,6;0,5;0,01;0,02\r\n"));
    ASSERT_TRUE(services.messages.empty()) << services.messages.front();
    EXPECT_EQ(names(), (std::vector<std::string>{"Smith; A", "third"}));
    // The one not placed is listed with its reason, after the placed ones.
    ASSERT_EQ(state().unplaced.size(), 1u);
    EXPECT_EQ(unplaced_cell(state().unplaced[0], SampleColumn::name), "low");
    EXPECT_EQ(unplaced_cell(state().unplaced[0], SampleColumn::label),
              "not placed: below the k = 3 curve");
    EXPECT_EQ(services.sample_changes.back().kind, SampleListChange::Kind::reset);
    EXPECT_EQ(services.statuses.back(), "Open Sample List: 3 samples, 2 placed, 1 not placed");
    EXPECT_EQ(state().samples[0].record.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    // No sigma in the table: only the sample with its own u has an interval.
    EXPECT_FALSE(state().samples[0].uncertainty);
    ASSERT_TRUE(state().samples[1].uncertainty);

    const auto labels_shown = [&](SampleLabels labels) {
        terav.labels_Click(labels);
        std::vector<std::string> texts;
        for (const std::string& t : shown_texts()) {
            if (t.rfind("N: ", 0) == 0 || t == "Smith; A" || t == "third" || t == "1" || t == "2") {
                texts.push_back(t);
            }
        }
        return texts;
    };
    const std::string first_label = state().samples[0].record.label;
    EXPECT_EQ(labels_shown(SampleLabels::name), (std::vector<std::string>{"Smith; A", "third"}));
    EXPECT_EQ(labels_shown(SampleLabels::number), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(labels_shown(SampleLabels::none).empty());
    EXPECT_EQ(labels_shown(SampleLabels::label).front(), first_label);

    // A change of Reichweite keeps the names and the own u.
    terav.R_1_Click();
    terav.R_0_Click();
    EXPECT_EQ(names(), (std::vector<std::string>{"Smith; A", "third"}));
    EXPECT_TRUE(state().samples[1].uncertainty);
    EXPECT_FALSE(state().samples[0].uncertainty);
    EXPECT_EQ(state().unplaced.size(), 1u);
    terav.Cl_p_Click();
    EXPECT_TRUE(state().unplaced.empty());
}

TEST_F(NamedList, TreatFileListsTheSamplesItCouldNotPlaceWithTheirReasons) {
    treat(std::string(TERAVINE_SOURCE_DIR) + "/examples/samples.IW");
    ASSERT_EQ(state().samples.size(), 6u);
    std::vector<std::string> reasons;
    for (const UnplacedSample& u : state().unplaced) {
        reasons.push_back(u.reason);
    }
    EXPECT_EQ(reasons, (std::vector<std::string>{"above the diagonal", "below the k = 3 curve",
                                                 "narrower than the instrument"}));
}

// A name typed in the table is the sample's everywhere: beside its dot, in the export.
// The doubts a list states go with the widths, placed or not.
TEST_F(NamedList, NamesTypedInTheTableAndTheListsDoubtsGoWithTheSamples) {
    open_list(write_list("name,ad,eg,quality_ad,quality_eg\nA,0.5,0.4,weak,ok\n"
                         "low,0.7,0.25,ok,edge;flank\n"));
    terav.labels_Click(SampleLabels::name);
    terav.rename_sample(0, "Pit\tA");
    terav.rename_sample(1, "Pit L");
    terav.rename_sample(2, "nobody"); // no such row
    EXPECT_EQ(state().samples[0].origin.name, "Pit A");
    EXPECT_EQ(state().unplaced[0].name, "Pit L");
    EXPECT_EQ(shown_count("Pit A"), 1u);
    const std::string csv = sample_table_csv(state().samples, state().unplaced, "R0", false);
    EXPECT_NE(csv.find("\nPit A,1,"), std::string::npos);
    EXPECT_NE(csv.find("\nPit L,2,"), std::string::npos);
    EXPECT_EQ(sample_cell_doubt(state().samples[0], SampleColumn::ad), "Doubtful: weak");
    EXPECT_EQ(sample_cell_doubt(state().samples[0], SampleColumn::eg_measured), "");
    EXPECT_EQ(unplaced_cell_doubt(state().unplaced[0], SampleColumn::eg_measured),
              "Doubtful: edge;flank");
    EXPECT_EQ(unplaced_cell_doubt(state().unplaced[0], SampleColumn::ad), "");
}

// A listed pair beyond the axes is placed and said to lie outside the calibrated range, in
// the table and the status bar; its label is kept inside the frame, under R0 and R3.
TEST_F(NamedList, APairBeyondTheAxesIsSaidSoAndItsLabelStaysOnThePicture) {
    const std::string list = write_list("name,ad,eg\nfar,1.1853,1.0013\n");
    for (const bool r3 : {false, true}) {
        if (r3) {
            terav.R_3_Click();
        }
        terav.Cl_p_Click();
        open_list(list);
        ASSERT_EQ(state().samples.size(), 1u) << r3;
        const PlacedSample& far = state().samples[0];
        EXPECT_TRUE(far.beyond_range);
        EXPECT_EQ(sample_cell(far, 0, SampleColumn::label),
                  far.record.label + " (outside the calibrated range)");
        EXPECT_EQ(services.statuses.back(), "Open Sample List: 1 samples, 1 placed, 0 not placed, "
                                            "1 outside the calibrated range");
        for (const bool redrawn : {false, true}) {
            if (redrawn) {
                terav.Form_Resize();
            }
            const Op* label = nullptr;
            for (const Op& op : picture.ops) {
                label = op.kind == OpKind::clear                                 ? nullptr
                        : op.kind == OpKind::text && op.text == far.record.label ? &op
                                                                                 : label;
            }
            ASSERT_NE(label, nullptr) << r3 << redrawn;
            EXPECT_LE(label->x2, state().plot.right) << r3 << redrawn;
            EXPECT_GE(label->y1, state().plot.top) << r3 << redrawn;
        }
    }
}

TEST_F(NamedList, AListThatCannotBeReadPlacesNothing) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {{"name,ad,eg\nA,0.5,0.4\nB,0.5,x\n", "at line 3, column 3 (eg)"},
                 {"name,ad\nA,0.5\n", "no column \"eg\""},
                 {"", "is empty"}};
    for (const auto& c : cases) {
        services.messages.clear();
        open_list(write_list(c.text));
        EXPECT_TRUE(state().samples.empty()) << c.text;
        ASSERT_EQ(services.messages.size(), 1u) << c.text;
        EXPECT_EQ(services.messages[0].rfind("The list \"", 0), 0u) << services.messages[0];
        EXPECT_NE(services.messages[0].find(c.says), std::string::npos) << services.messages[0];
    }
}

} // namespace
} // namespace teravine
