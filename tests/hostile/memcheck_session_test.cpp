// SPDX-License-Identifier: GPL-3.0-or-later
// A short session that touches every kind of work the window does, small enough to run
// under valgrind: clicks, typed widths, a correction table, a treated file, a Reichweite
// switch with every line shown, an export and a clearing.
#include "support/session.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace teravine::hostile {
namespace {

TEST(MemcheckSession, ClickTypeTreatSwitchExport) {
    Session<RecordingSurface> s;
    Terav& t = s.terav;
    s.click_at(0.5f, 0.4f);
    s.click_at(0.8f, 0.6f);
    s.click_at(0.3f, 0.5f); // above the diagonal: nothing added
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

    s.switch_every_line_on();
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
