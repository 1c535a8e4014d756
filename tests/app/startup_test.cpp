// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace teravine {
namespace {

using StartUp = AppTest;

TEST_F(StartUp, CaptionChecksAndRule) {
    EXPECT_EQ(services.window_caption, "Teravine: R0");
    EXPECT_TRUE(services.checks[MenuItem::R_0]);
    EXPECT_FALSE(services.checks[MenuItem::R_1]);
    EXPECT_FALSE(services.checks[MenuItem::R_3]);
    EXPECT_TRUE(services.checks[MenuItem::C_k]);
    for (MenuItem item : {MenuItem::C_N, MenuItem::C_perc, MenuItem::c_inf, MenuItem::Id_k,
                          MenuItem::Id_n, MenuItem::Id_s, MenuItem::Id_inf}) {
        EXPECT_FALSE(services.checks[item]);
    }
    EXPECT_EQ(services.option, BroadeningOption::Mixture);
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(services.startup_displays, 1);
    EXPECT_TRUE(state().samples.empty());
}

TEST_F(StartUp, ASmallWindowIsEnlargedBeforeDrawing) {
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

TEST_F(StartUp, QuitAsksAndNoKeepsEverything) {
    terav.Form_Resize();
    type_and_draw("", "0.5", "0.4");
    services.yes_no_answers = {false};
    terav.close_form_Click();
    EXPECT_FALSE(services.closed);
    ASSERT_EQ(services.questions.size(), 1u);
    EXPECT_EQ(services.questions[0], "Message: Are you sure you want to quit!");
    EXPECT_EQ(state().samples.size(), 1u);

    services.yes_no_answers = {true};
    terav.close_form_Click();
    EXPECT_TRUE(services.closed);
}

TEST_F(StartUp, PrintDrawsTheSameDiagramWithCaptionsAsText) {
    type_and_draw("", "0.5", "0.4");
    const PlotWindow screen = state().plot;
    terav.Pr_Click();
    EXPECT_EQ(services.pages_printed, 1);
    const auto texts = services.page.texts();
    for (const char* t : {"IW2w (\u00B0CuKalpha)", "IW2g", " k .5", "N: 24,S: 4.88%,k:1.17,Nfp: 11"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
    }
    EXPECT_TRUE(services.page.of(OpKind::clear).empty());
    EXPECT_TRUE(services.page.of(OpKind::set_user_scale).empty());
    // The pointer keeps reading the screen's layout.
    EXPECT_EQ(state().plot.left, screen.left);
    EXPECT_EQ(state().plot.bottom, screen.bottom);
}

TEST_F(StartUp, ClearAllResetsGridsClearPointsKeepsThem) {
    type_and_draw("", "0.5", "0.4");
    terav.C_N_Click();
    terav.C_k_Click();
    terav.Cl_p_Click();
    EXPECT_TRUE(state().samples.empty());
    EXPECT_TRUE(state().grids_on.n);
    EXPECT_FALSE(state().grids_on.k);

    type_and_draw("", "0.5", "0.4");
    terav.Id_n_Click();
    terav.netoye_Click();
    EXPECT_TRUE(state().samples.empty());
    EXPECT_TRUE(state().grids_on.k);
    EXPECT_FALSE(state().grids_on.n);
    EXPECT_TRUE(services.checks[MenuItem::C_k]);
    EXPECT_FALSE(services.checks[MenuItem::C_N]);
    EXPECT_TRUE(state().identical_on.n); // the Draw switches stay as they are
    EXPECT_EQ(shown_count("N: 24,S: 4.88%,k:1.17,Nfp: 11"), 0u);
}

} // namespace
} // namespace teravine
