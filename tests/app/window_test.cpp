// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a user meets it: typed widths and their messages, the pointer, the
// menus' switches, printing and clearing. Start-up and quitting: tests/qt.
#include "support/session.h"

#include <map>

namespace teravine {
namespace {

using Window = AppTest;

// The label of the worked example in the README (R0, AD 0.5, EG 0.4).
const std::string kWorked = "N: 24,S: 4.88%,k:1.17,Nfp: 11";

TEST_F(Window, TypedWorkedExampleIsMarkedAndLabelled) {
    EXPECT_EQ(services.startup_displays, 1); // the start-up display ended the load
    const std::string font_before = picture.font;
    type_and_draw("", "0.5", "0.4");
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_EQ(state().samples[0].record.label, kWorked);
    EXPECT_TRUE(services.messages.empty());
    // The dot and the bold Arial 12 label at the point's surface position.
    const Op dot = picture.of(OpKind::point).back();
    const Op label = picture.of(OpKind::text).back();
    EXPECT_EQ(label.text, kWorked);
    EXPECT_EQ(label.font_name, "Arial");
    EXPECT_EQ(label.font_size, 12.0f);
    EXPECT_TRUE(label.bold);
    EXPECT_EQ(dot.pen_width, 5);
    EXPECT_EQ(label.x1, state().current.pos_x);
    EXPECT_EQ(label.y1, state().current.pos_y);
    EXPECT_EQ(picture.font, font_before); // the text settings are put back
    EXPECT_FALSE(picture.bold);
}

TEST_F(Window, EveryWidthEntryMessageInItsOrder) {
    const char* const cases[][4] = {
        {"abc", "x", "y", "Error in the instrumental broaddning input!"},
        {"", "", "0.4", "Error Sherrer width input!"},
        {"", "0.5", "0,4x", "Error Sherrer width input!"},
        {"0.1", "abc", "0.4", "Error Sherrer width input!"},
        {"", "nan", "0.4", "Error Sherrer width input!"},
        {"", "inf", "0.4", "Error Sherrer width input!"},
        {"0.5", "0.5", "0.4", "Incorect inrumental broadening!"},
        {"0.4", "0.5", "0.4", "Incorect inrumental broadening!"},
        {"", "0.5", "0.01", "Incorrect S.W. input!"},
        {"", "0.5", "0.6", "Incorrect S.W. input!"},
        {"", "1.1", "0.4", "Incorrect S.W. input!"},
    };
    for (const auto& c : cases) {
        services.messages.clear();
        type_and_draw(c[0], c[1], c[2]);
        EXPECT_EQ(services.messages, std::vector<std::string>{c[3]})
            << c[0] << "|" << c[1] << "|" << c[2];
        EXPECT_TRUE(state().samples.empty());
    }
    // Letters in the broadening box empty it; the width boxes keep their texts.
    type_and_draw("abc", "0.5", "0.4");
    EXPECT_EQ(services.boxes[TextBox::Broad], "");
    EXPECT_EQ(services.boxes[TextBox::Xls], "0.5");
}

TEST_F(Window, PointerReadOutTruncatesAndKeepsTheLastInsidePoint) {
    const PlotWindow& p = state().plot;
    const float y = y_to_surface(0.1806f, p.ymin, p.yorig, p.yunit);
    terav.pct1_MouseMove(x_to_surface(0.2509f, p.xmin, p.xorig, p.xunit), y);
    EXPECT_EQ(services.captions[Caption::XYpos], "AD IW: .250  EG IW: .180");
    EXPECT_EQ(services.pointer, PointerShape::Crosshair);
    terav.pct1_MouseMove(p.left, y); // on the edge: outside
    EXPECT_EQ(services.pointer, PointerShape::Arrow);
    EXPECT_EQ(services.captions[Caption::XYpos], "AD IW: .250  EG IW: .180");
    terav.pct1_MouseMove(14.9f, 0.1f);
    terav.pct1_Click(); // identifies the last point seen inside the frame
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_EQ(state().samples[0].record.iw_ad, 0.25f);
    EXPECT_EQ(state().samples[0].record.iw_eg, 0.18f);
}

TEST_F(Window, ANewSampleDrawsItsCheckedLinesAtOnce) {
    terav.Id_k_Click();
    terav.Id_s_Click();
    picture.forget();
    type_and_draw("", "0.5", "0.4");
    std::map<Colour, std::size_t> segments;
    for (const Op& op : picture.of(OpKind::line_to)) {
        ++segments[op.colour];
    }
    EXPECT_GT(segments[kColourK], 50u);
    EXPECT_GT(segments[kColourS], 5u);
    EXPECT_EQ(segments[kColourN], 0u);
    EXPECT_TRUE(picture.of(OpKind::clear).empty()); // no redraw
}

TEST_F(Window, ReichweiteSwitchDropsAndKeepsInOrder) {
    type_and_draw("", "0.5", "0.4");   // inside R0 and R3
    type_and_draw("", "0.1", "0.075"); // inside R0, below k = 3 of R3
    type_and_draw("", "0.3", "0.28");
    const std::string r0_first = state().samples[0].record.label;
    terav.C_N_Click();
    terav.R_3_Click();
    EXPECT_EQ(services.window_caption, "Teravine: R3");
    EXPECT_TRUE(services.checks[MenuItem::R_3]);
    EXPECT_FALSE(services.checks[MenuItem::R_0]);
    EXPECT_EQ(state().plot.xmax, 0.9f);
    ASSERT_EQ(state().samples.size(), 2u);
    EXPECT_EQ(state().samples[1].record.iw_ad, 0.3f);
    EXPECT_NE(state().samples[0].record.label, r0_first);
    EXPECT_TRUE(services.checks[MenuItem::C_N]); // still checked, recomputed for R3
    const auto updates = services.picture_updates;
    terav.R_3_Click(); // already checked: nothing
    EXPECT_EQ(services.picture_updates, updates);
    terav.R_0_Click();
    EXPECT_EQ(state().samples[0].record.label, r0_first);
}

TEST_F(Window, GridClicksRecomputeThenFlip) {
    terav.C_perc_Click();
    EXPECT_TRUE(services.checks[MenuItem::C_perc]);
    EXPECT_GT(state().grids.s[2].count, 1);
    EXPECT_EQ(state().grids.s[3].count, 0);
    terav.c_inf_Click();
    EXPECT_EQ(shown_count("%S=2.00"), 1u);
    terav.C_perc_Click();
    EXPECT_FALSE(services.checks[MenuItem::C_perc]);
    EXPECT_EQ(shown_count("%S=2.00"), 0u);
}

TEST_F(Window, ASmallWindowIsEnlargedBeforeDrawing) {
    services.inner = {5000, 9000};
    terav.Form_Resize();
    ASSERT_EQ(services.outer_sizes.size(), 1u);
    EXPECT_EQ(services.outer_sizes[0].width, 7700);
    EXPECT_EQ(services.outer_sizes[0].height, 6700);
    EXPECT_EQ(services.picture.width, services.inner.width - 20);
    services.inner = {5690, 6370}; // exactly ten centimetres of picture each way
    terav.Form_Resize();
    EXPECT_EQ(services.outer_sizes.size(), 1u);
}

TEST_F(Window, PrintDrawsTheSameDiagramWithCaptionsAsText) {
    type_and_draw("", "0.5", "0.4");
    const PlotWindow screen = state().plot;
    terav.Pr_Click();
    EXPECT_EQ(services.pages_printed, 1);
    const auto texts = services.page.texts();
    for (const std::string& t : {std::string("IW2w (\u00B0CuKalpha)"), std::string("IW2g"),
                                 std::string(" k .5"), kWorked}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
    }
    EXPECT_TRUE(services.page.of(OpKind::clear).empty());
    EXPECT_EQ(state().plot.left, screen.left); // the pointer keeps reading the screen's layout
}

TEST_F(Window, ClearAllResetsTheGridsClearPointsKeepsThem) {
    type_and_draw("", "0.5", "0.4");
    terav.C_N_Click();
    terav.C_k_Click();
    terav.Cl_p_Click();
    EXPECT_TRUE(state().samples.empty());
    EXPECT_TRUE(state().grids_on.n && !state().grids_on.k);
    type_and_draw("", "0.5", "0.4");
    terav.Id_n_Click();
    terav.netoye_Click();
    EXPECT_TRUE(state().samples.empty());
    EXPECT_TRUE(services.checks[MenuItem::C_k]);
    EXPECT_FALSE(services.checks[MenuItem::C_N]);
    EXPECT_TRUE(state().identical_on.n); // the Draw switches stay as they are
    EXPECT_EQ(shown_count(kWorked), 0u);
}

} // namespace
} // namespace teravine
