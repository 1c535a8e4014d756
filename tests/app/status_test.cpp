// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar says what each action did, and the message boxes stay as they were.
#include "support/session.h"

#include <filesystem>

namespace teravine {
namespace {

using StatusLine = AppTest;

TEST_F(StatusLine, SaysWhatAClickOrATypedPairDid) {
    const struct {
        const char* ad;
        const char* eg;
        const char* status;
    } cases[] = {
        {"0.5", "0.4", "Sample 1 placed: N 24, %S 4.88"},
        {"0.70", "0.25", "0.70, 0.25 not placed: below the k = 3 curve"},
        {"0.705", "0.25", "0.705, 0.25 not placed: below the k = 3 curve"},
    };
    for (const auto& c : cases) {
        type_and_draw("0", c.ad, c.eg);
        ASSERT_FALSE(services.statuses.empty());
        EXPECT_EQ(services.statuses.back(), c.status);
    }
    EXPECT_TRUE(services.messages.empty());
    click_at(0.5f, 0.4f);
    EXPECT_EQ(services.statuses.back(), "Sample 2 placed: N 24, %S 4.88");
    click_at(0.4f, 0.5f); // a pointer's widths show to two decimals
    EXPECT_EQ(services.statuses.back(), "0.40, 0.50 not placed: above the diagonal");
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

// The measuring dialog's line: what Draw would give, with nothing placed.
TEST_F(StatusLine, PreviewsAPairWithoutPlacingIt) {
    services.boxes[TextBox::Broad] = "0";
    EXPECT_EQ(terav.preview_entry("0.5", "0.4"), "k 1.17, N 24, %S 4.88, Nfp 11");
    EXPECT_EQ(terav.preview_entry("0.7000", "0.2500"),
              "0.70, 0.25 not placed: below the k = 3 curve");
    services.boxes[TextBox::Broad] = "0.6";
    EXPECT_EQ(terav.preview_entry("0.5", "0.4"), "Incorect inrumental broadening!");
    EXPECT_TRUE(state().samples.empty());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(services.statuses.empty());
}

} // namespace
} // namespace teravine
