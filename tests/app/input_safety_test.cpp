// SPDX-License-Identifier: GPL-3.0-or-later
// Treat File on inputs that would lose the user's data or give wrong
// numbers without a word.
#include "support/session.h"

namespace teravine {
namespace {

using InputSafety = AppTest;

// The result is refused whenever it is the width file itself, however the path is spelt.
TEST_F(InputSafety, TreatFileNeverWritesOverTheWidthFileJustRead) {
    const std::string widths = "t\n1, 0\n0.5, 0.4\n";
    const auto in = folder.write("s.IW", widths);
    std::filesystem::create_hard_link(in, folder.path() / "hard.IW");
    for (const std::string& out : {in, (folder.path() / "." / "s.IW").string(), folder.file("hard.IW")}) {
        services.messages.clear();
        services.open_answers = {ScriptedServices::chosen(in)};
        services.save_answers = {ScriptedServices::chosen(out)};
        terav.Tr_fi_Click();
        ASSERT_EQ(services.messages.size(), 1u) << out;
        EXPECT_NE(services.messages[0].find("is the width file \"" + in + "\" just read"),
                  std::string::npos)
            << services.messages[0];
        EXPECT_EQ(ScratchFolder::read(in), widths);
        EXPECT_TRUE(state().samples.empty());
    }
}

// Decimal commas: the result as the rules read the file, then the message about the rest.
TEST_F(InputSafety, NumbersLeftAfterTheSamplesAreToldOnceTheResultIsWritten) {
    const auto in = folder.write("comma.IW", "x\n1\n0,1\n0,5 0,4\n");
    const auto out = folder.file("comma.IWO");
    services.open_answers = {ScriptedServices::chosen(in)};
    services.save_answers = {ScriptedServices::chosen(out)};
    terav.Tr_fi_Click();
    EXPECT_NE(ScratchFolder::read(out).find("Instrumental broadening:\t 0\r\n"), std::string::npos);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].rfind("The width file holds 3 numbers after the 1 sample it "
                                         "announces; they were not used. A decimal comma",
                                         0),
              0u)
        << services.messages[0];
}

} // namespace
} // namespace teravine
