// SPDX-License-Identifier: GPL-3.0-or-later
// A short session that touches every kind of work the window does, small enough to run
// under valgrind: clicks, typed widths, a correction table, a treated file, a Reichweite
// switch with every line shown, an export and a clearing.
#include "support/session.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace teravine::hostile {
namespace {

TEST(MemcheckSession, ClickTypeTreatSwitchExport) {
    Session<RecordingSurface> s;
    Terav& t = s.terav;
    const auto click = [&](float ad, float eg) {
        const PlotWindow& p = s.state().plot;
        t.pct1_MouseMove(x_to_surface(ad, p.xmin, p.xorig, p.xunit) + 0.0001f,
                         y_to_surface(eg, p.ymin, p.yorig, p.yunit) - 0.0001f);
        t.pct1_Click();
    };
    click(0.5f, 0.4f);
    click(0.8f, 0.6f);
    click(0.3f, 0.5f); // above the diagonal: nothing added
    ASSERT_EQ(s.state().samples.size(), 2u);

    s.type_and_draw("0.1", "0.6", "0.5");
    s.type_and_draw("abc", "0.6", "0.5"); // refused with a message
    ASSERT_EQ(s.state().samples.size(), 3u);
    ASSERT_EQ(s.services.messages.size(), 1u);

    s.load_table(s.folder.write("i.cor", "Instrument\r\n0.05\r\n0.05\r\n0.1118\r\n0.1414\r\n"
                                         "0.1803\r\n0.2236\r\n0.2693\r\n0.3162\r\n0.3640\r\n"));
    ASSERT_EQ(s.state().broadening.broad_rule, kRuleTable);
    const auto result = s.treat(s.folder.write("s.IW", "Samples\r\n3\r\n0\r\n0.3,0.25\r\n"
                                                       "0.2,0.3\r\n0.35,0.3\r\n"));
    EXPECT_EQ(s.services.messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(result));
    EXPECT_EQ(s.state().samples.size(), 5u);

    t.C_N_Click();
    t.C_perc_Click();
    t.c_inf_Click();
    t.Id_k_Click();
    t.Id_n_Click();
    t.Id_s_Click();
    t.Id_inf_Click();
    t.R_1_Click();
    EXPECT_EQ(s.services.window_caption, "Teravine: R1");
    EXPECT_FALSE(s.state().samples.empty());

    const auto lines = s.folder.file("grid.IWL");
    s.services.save_answers = {ScriptedServices::chosen(lines)};
    t.exp_li_Click();
    EXPECT_GT(std::filesystem::file_size(lines), 1000u);

    t.netoye_Click();
    EXPECT_TRUE(s.state().samples.empty());
    EXPECT_EQ(s.services.messages.size(), 1u);
}

} // namespace
} // namespace teravine::hostile
