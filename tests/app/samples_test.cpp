// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace teravine {
namespace {

constexpr const char* kWorkedLabel = "N: 24,S: 4.88%,k:1.17,Nfp: 11";

using Samples = AppTest;

TEST_F(Samples, TypedWorkedExample) {
    const std::string font_before = picture.font;
    type_and_draw("", "0.5", "0.4");
    ASSERT_EQ(state().samples.size(), 1u);
    const SampleRecord& r = state().samples[0].record;
    EXPECT_EQ(r.n_int, 24);
    EXPECT_EQ(r.s_pct, 4.88f);
    EXPECT_EQ(r.label, kWorkedLabel);
    EXPECT_TRUE(services.messages.empty());

    // The dot and the bold Arial 12 label at the point's surface position.
    const Op dot = picture.of(OpKind::point).back();
    const auto texts = picture.of(OpKind::text);
    const Op label = texts.back();
    EXPECT_EQ(label.text, kWorkedLabel);
    EXPECT_EQ(label.font_name, "Arial");
    EXPECT_EQ(label.font_size, 12.0f);
    EXPECT_TRUE(label.bold);
    EXPECT_EQ(dot.pen_width, 5);
    EXPECT_EQ(dot.colour, kColourSample);
    EXPECT_EQ(label.x1, state().current.pos_x);
    EXPECT_EQ(label.y1, state().current.pos_y);
    EXPECT_EQ(picture.font, font_before); // the text settings are put back
    EXPECT_FALSE(picture.bold);
}

TEST_F(Samples, EveryWidthEntryMessageInItsOrder) {
    struct Case {
        const char* broad;
        const char* ad;
        const char* eg;
        const char* message;
    };
    const Case cases[] = {
        {"abc", "x", "y", "Error in the instrumental broaddning input!"},
        {"", "", "0.4", "Error Sherrer width input!"},
        {"", "0.5", "0,4x", "Error Sherrer width input!"},
        {"0.1", "abc", "0.4", "Error Sherrer width input!"},
        {"0.5", "0.5", "0.4", "Incorect inrumental broadening!"},
        {"0.4", "0.5", "0.4", "Incorect inrumental broadening!"},
        {"", "0.5", "0.01", "Incorrect S.W. input!"},
        {"", "0.5", "0.6", "Incorrect S.W. input!"},
        {"", "1.1", "0.4", "Incorrect S.W. input!"},
        {"", "nan", "0.4", "Error Sherrer width input!"},
        {"", "inf", "0.4", "Error Sherrer width input!"},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        type_and_draw(c.broad, c.ad, c.eg);
        ASSERT_EQ(services.messages.size(), 1u) << c.broad << "|" << c.ad << "|" << c.eg;
        EXPECT_EQ(services.messages[0], c.message);
        EXPECT_TRUE(state().samples.empty());
    }
    // Letters in the broadening box empty it; the width boxes keep their texts.
    type_and_draw("abc", "0.5", "0.4");
    EXPECT_EQ(services.boxes[TextBox::Broad], "");
    EXPECT_EQ(services.boxes[TextBox::Xls], "0.5");
}

TEST_F(Samples, PointerReadOutTruncatesAndKeepsTheLastInsidePoint) {
    const PlotWindow& p = state().plot;
    const float x = x_to_surface(0.2509f, p.xmin, p.xorig, p.xunit);
    const float y = y_to_surface(0.1806f, p.ymin, p.yorig, p.yunit);
    terav.pct1_MouseMove(x, y);
    EXPECT_EQ(services.captions[Caption::XYpos], "AD IW: .250  EG IW: .180");
    EXPECT_EQ(services.pointer, PointerShape::Crosshair);
    EXPECT_EQ(state().current.pos_x, x);

    terav.pct1_MouseMove(p.left, y); // on the edge: outside
    EXPECT_EQ(services.pointer, PointerShape::Arrow);
    EXPECT_EQ(services.captions[Caption::XYpos], "AD IW: .250  EG IW: .180");
    terav.pct1_MouseMove(14.9f, 0.1f);
    terav.pct1_Click(); // identifies the last point seen inside the frame
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_EQ(state().samples[0].record.iw_ad, 0.25f);
    EXPECT_EQ(state().samples[0].record.iw_eg, 0.18f);
}

TEST_F(Samples, NewSampleDrawsItsCheckedLinesAtOnce) {
    terav.Id_k_Click();
    terav.Id_s_Click();
    picture.forget();
    type_and_draw("", "0.5", "0.4");
    std::size_t k_segments = 0, s_segments = 0, n_segments = 0;
    for (const Op& op : picture.of(OpKind::line_to)) {
        k_segments += op.colour == kColourK;
        s_segments += op.colour == kColourS;
        n_segments += op.colour == kColourN;
    }
    EXPECT_GT(k_segments, 50u);
    EXPECT_GT(s_segments, 5u);
    EXPECT_EQ(n_segments, 0u);
    EXPECT_EQ(picture.of(OpKind::clear).size(), 0u); // no redraw
}

TEST_F(Samples, ReichweiteSwitchDropsAndKeepsInOrder) {
    type_and_draw("", "0.5", "0.4");  // inside R0 and R3
    type_and_draw("", "0.1", "0.075"); // inside R0, below k = 3 of R3
    type_and_draw("", "0.3", "0.28");
    ASSERT_EQ(state().samples.size(), 3u);
    const std::string r0_first = state().samples[0].record.label;

    terav.C_N_Click();
    terav.R_3_Click();
    EXPECT_EQ(services.window_caption, "Teravine: R3");
    EXPECT_TRUE(services.checks[MenuItem::R_3]);
    EXPECT_FALSE(services.checks[MenuItem::R_0]);
    EXPECT_EQ(state().plot.xmax, 0.9f);
    ASSERT_EQ(state().samples.size(), 2u);
    EXPECT_EQ(state().samples[0].record.iw_ad, 0.5f);
    EXPECT_EQ(state().samples[1].record.iw_ad, 0.3f);
    EXPECT_NE(state().samples[0].record.label, r0_first);
    EXPECT_TRUE(state().grids_on.n); // still checked, recomputed for R3
    EXPECT_TRUE(services.checks[MenuItem::C_N]);

    const auto updates = services.picture_updates;
    terav.R_3_Click(); // already checked: nothing
    EXPECT_EQ(services.picture_updates, updates);

    terav.R_0_Click();
    ASSERT_EQ(state().samples.size(), 2u);
    EXPECT_EQ(state().samples[0].record.label, r0_first);
    EXPECT_EQ(state().plot.xmax, 1.1f);
}

TEST_F(Samples, GridClicksRecomputeThenFlip) {
    terav.C_perc_Click();
    EXPECT_TRUE(services.checks[MenuItem::C_perc]);
    EXPECT_GT(state().grids.s[2].count, 1);
    EXPECT_EQ(state().grids.s[3].count, 0);
    terav.c_inf_Click();
    EXPECT_EQ(shown_count("%S=2.00"), 1u);
    terav.C_perc_Click();
    EXPECT_FALSE(services.checks[MenuItem::C_perc]);
    EXPECT_EQ(shown_count("%S=2.00"), 0u);
    EXPECT_GT(state().grids.s[2].count, 1); // still computed
}

} // namespace
} // namespace teravine
