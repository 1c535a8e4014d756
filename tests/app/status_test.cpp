// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar says what each action did; the message boxes stay as they were.
#include "support/session.h"

#include <filesystem>

namespace teravine {
namespace {

using StatusLine = AppTest;

// Draw's status line, and the measuring dialog's preview of the same widths (which
// places nothing and shows nothing).
TEST_F(StatusLine, SaysWhatATypedPairDidOrWillDo) {
    const struct {
        const char* ad;
        const char* eg;
        const char* status;
        const char* preview;
    } cases[] = {
        {"0.5", "0.4", "Sample 1 placed: N 24, %S 4.88", "k 1.17, N 24, %S 4.88, Nfp 11"},
        {"0.70", "0.25", "0.70, 0.25 not placed: below the k = 3 curve", nullptr},
        {"0.705", "0.25", "0.705, 0.25 not placed: below the k = 3 curve", nullptr},
    };
    for (const auto& c : cases) {
        services.boxes[TextBox::Broad] = "0";
        const std::size_t shown = services.statuses.size();
        EXPECT_EQ(terav.preview_entry(c.ad, c.eg), c.preview ? c.preview : c.status);
        EXPECT_EQ(services.statuses.size(), shown);
        type_and_draw("0", c.ad, c.eg);
        EXPECT_EQ(services.statuses.back(), c.status);
    }
    click_at(0.4f, 0.5f); // a pointer's widths show to two decimals
    EXPECT_EQ(services.statuses.back(), "0.40, 0.50 not placed: above the diagonal");
    services.boxes[TextBox::Broad] = "0.6";
    EXPECT_EQ(terav.preview_entry("0.5", "0.4"), "Incorect inrumental broadening!");
    EXPECT_EQ(state().samples.size(), 1U);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(StatusLine, SaysWhatTreatFileDidAndWhenTheResultWasNotWritten) {
    const std::string widths =
        folder.write("s.IW", "t\r\n3\r\n0\r\n0.5,0.4\r\n0.4,0.5\r\n0.5,0.4\r\n");
    treat(widths);
    EXPECT_EQ(services.statuses.back(), "Treat File: 3 samples, 2 placed, 1 not placed");
    EXPECT_TRUE(services.messages.empty());
    // A result file that cannot be made: the message box as before, and the status says so.
    treat(widths, "no/such/r.IWO");
    ASSERT_EQ(services.messages.size(), 1U);
    EXPECT_EQ(services.statuses.back(),
              "Treat File: 3 samples, 0 placed, 3 not placed; the result file was not written");
    EXPECT_FALSE(std::filesystem::exists(folder.file("no")));
}

} // namespace
} // namespace teravine
