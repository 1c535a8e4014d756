// SPDX-License-Identifier: GPL-3.0-or-later
// Two long sessions: a click on every point of a 200 x 200 grid over the picture in each
// Reichweite with every line switched on (nothing may crash or hang, every sample a click
// adds is made of finite numbers), and a short session of every kind of work, small
// enough to run under valgrind.
#include "support/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace teravine::hostile {
namespace {

constexpr int kGrid = 200;
constexpr float kPictureSide = 15; // user units

// What is wrong with a placed sample, or nothing.
std::string fault_of(const PlacedSample& sample) {
    const SampleRecord& r = sample.record;
    bool finite = std::isfinite(r.iw_ad) && std::isfinite(r.n) && std::isfinite(r.s_pct) &&
                  std::isfinite(r.fp_pct) && r.label.find("NaN") == std::string::npos &&
                  r.label.find("Inf") == std::string::npos;
    for (const Line* line : {&sample.line_k, &sample.line_n, &sample.line_s, &sample.line_fp}) {
        if (line->count < 0 || static_cast<std::size_t>(line->count) > line->points.size()) {
            return "a line counts points it does not hold: " + r.label;
        }
        for (const LinePoint& p : line->points) {
            finite = finite && std::isfinite(p.ad) && std::isfinite(p.eg);
        }
    }
    if (!finite) {
        return "a value is not finite: " + r.label;
    }
    return r.iw_ad > 0 && r.iw_eg <= r.iw_ad ? "" : "accepted outside the model: " + r.label;
}

TEST(ClickSweep, EveryPointOfThePictureInEveryReichweite) {
    Session<RecordingSurface> s;
    Terav& t = s.terav;
    s.switch_every_line_on();

    for (const auto reich : {&Terav::R_1_Click, &Terav::R_3_Click, &Terav::R_0_Click}) {
        t.Cl_p_Click();
        (t.*reich)();
        SCOPED_TRACE(s.state().cal.name());
        int accepted = 0;
        int faults = 0;
        std::string first_fault;
        for (int i = 0; i < kGrid; ++i) {
            const float x = kPictureSide * static_cast<float>(i) / (kGrid - 1);
            for (int j = 0; j < kGrid; ++j) {
                const float y = kPictureSide * static_cast<float>(j) / (kGrid - 1);
                const std::size_t before = s.state().samples.size();
                t.pct1_MouseMove(x, y);
                t.pct1_Click();
                const std::size_t after = s.state().samples.size();
                if (after == before) {
                    continue;
                }
                ++accepted;
                const std::string fault = after == before + 1 ? fault_of(s.state().samples.back())
                                                              : "one click added many samples";
                if (!fault.empty() && faults++ == 0) {
                    first_fault =
                        "at (" + std::to_string(x) + ", " + std::to_string(y) + "): " + fault;
                }
            }
            // A redraw of everything placed so far, which also keeps the list short.
            t.Cl_p_Click();
            EXPECT_FALSE(s.picture.of(OpKind::box).empty()); // the frame was drawn again
            s.picture.forget();
        }
        EXPECT_EQ(faults, 0) << first_fault;
        // About a tenth of the grid lies between the diagonal and the k = 3 row.
        EXPECT_GT(accepted, kGrid * kGrid / 20);
    }
    EXPECT_TRUE(s.services.messages.empty());
}

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
