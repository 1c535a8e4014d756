// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"


#include <sys/stat.h>

namespace teravine {
namespace {

using Files = AppTest;

constexpr const char* kCrLf = "\r\n";

TEST_F(Files, TreatFileWritesResultsAndPlacesAcceptedSamples) {
    const auto in = folder.write("s.IW", "Three samples\n3, 0\n0.5, 0.4\n0.5, 0.6\n0.7, 0.5\n");
    const auto out = folder.file("s.IWO");
    services.open_answers = {ScriptedServices::chosen(in)};
    services.save_answers = {ScriptedServices::chosen(out)};
    terav.Tr_fi_Click();
    EXPECT_TRUE(services.messages.empty());
    const std::string text = ScratchFolder::read(out);
    EXPECT_EQ(text.rfind("Three samples\r\nReichweite:\tR0\r\n", 0), 0u) << text;
    EXPECT_NE(text.find(std::string(" .5\t .4\t 24\t 4.88\t1.17\t 11") + kCrLf), std::string::npos);
    EXPECT_NE(text.find(std::string("Error") + kCrLf), std::string::npos);
    ASSERT_EQ(state().samples.size(), 2u);
    EXPECT_EQ(state().samples[0].record.iw_ad, 0.5f);
    EXPECT_EQ(state().samples[1].record.iw_ad, 0.7f);
    EXPECT_EQ(services.open_filters[0], "File S.W (*.IW)|*.IW;*.iw|all (*.*)|*.*|");
    EXPECT_EQ(services.save_filters[0], "File S.W. out (*.IWO)|*.IWO;*.iwo|all (*.*)|*.*|");
    EXPECT_EQ(shown_count("N: 24,S: 4.88%,k:1.17,Nfp: 11"), 1u);
}

// The committed results were written by teravine-cli treat: the window writes the same bytes.
TEST_F(Files, TreatFileWritesWhatTheHeadlessToolWrites) {
    const std::string examples = std::string(TERAVINE_SOURCE_DIR) + "/examples/";
    const auto out = folder.file("mixture.IWO");
    services.open_answers = {ScriptedServices::chosen(examples + "samples.IW")};
    services.save_answers = {ScriptedServices::chosen(out)};
    terav.Tr_fi_Click();
    EXPECT_EQ(ScratchFolder::read(out), ScratchFolder::read(examples + "samples.IWO"));
    EXPECT_EQ(state().samples.size(), 6u);

    services.open_answers = {ScriptedServices::chosen(examples + "instrument.cor"),
                             ScriptedServices::chosen(examples + "samples.IW")};
    const auto table_out = folder.file("table.IWO");
    services.save_answers = {ScriptedServices::chosen(table_out)};
    terav.file_option_Click();
    terav.Tr_fi_Click();
    EXPECT_EQ(ScratchFolder::read(table_out), ScratchFolder::read(examples + "samples-table.IWO"));
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Files, ABadWidthFileIsReportedAndNothingIsLost) {
    type_and_draw("", "0.5", "0.4");
    const auto in = folder.write("bad.IW", "t\n5, 0\n0.5, 0.4\n0.6, 0.5\n");
    services.open_answers = {ScriptedServices::chosen(in)};
    terav.Tr_fi_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].find("2 of 5"), std::string::npos) << services.messages[0];
    EXPECT_EQ(state().samples.size(), 1u);
    EXPECT_TRUE(services.save_filters.empty()); // the result dialog is never shown
}

TEST_F(Files, APipeOrAFolderIsRefusedInsteadOfBlocking) {
    const auto fifo = folder.file("pipe.IW");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    services.open_answers = {ScriptedServices::chosen(fifo)};
    terav.Tr_fi_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].find("not a regular file"), std::string::npos);

    services.open_answers = {ScriptedServices::chosen(folder.path().string())};
    terav.file_option_Click();
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);
}

TEST_F(Files, ExportWritesTheCheckedFamilies) {
    terav.C_N_Click();
    const auto out = folder.file("n.IWL");
    services.save_answers = {ScriptedServices::chosen(out)};
    terav.exp_li_Click();
    const std::string text = ScratchFolder::read(out);
    EXPECT_EQ(text.rfind("Constante propreties lines\r\nReichweite:   R0\r\nN= 7  SA\tGly\t", 0),
              0u)
        << text.substr(0, 80);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 114);
}

TEST_F(Files, CorrectionTableLoadsAndIsUsed) {
    const auto cor = folder.write("t.cor", "Table\n0.05 0.1\n0.2\n0.24\n0.3\n");
    services.open_answers = {ScriptedServices::chosen(cor)};
    terav.file_option_Click();
    EXPECT_EQ(state().broadening.broad_rule, kRuleTable);
    EXPECT_EQ(services.captions[Caption::label_file], "Used File: " + cor);
    EXPECT_EQ(state().broadening.cor.cor_count, 3);
    // An empty broadening box still goes through the table.
    type_and_draw("", "0.25", "0.22");
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_FLOAT_EQ(state().samples[0].record.iw_eg, 0.125f);
}

TEST_F(Files, CorrectionFailuresFallBackToMixture) {
    const auto good = folder.write("good.cor", "Table\n0.05 0.1\n0.2\n0.24\n0.3\n");
    services.open_answers = {ScriptedServices::chosen(good)};
    terav.file_option_Click();
    const std::string label = services.captions[Caption::label_file];

    const auto title_only = folder.write("t.cor", "Only a title\n");
    services.open_answers = {ScriptedServices::chosen(title_only)};
    terav.file_option_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(services.option, BroadeningOption::Mixture);
    EXPECT_EQ(services.captions[Caption::label_file], label);

    std::string many = "Many\n0.01 0\n";
    for (int i = 1; i <= 502; ++i) {
        many += std::to_string(i) + "\n";
    }
    services.open_answers = {ScriptedServices::chosen(folder.write("m.cor", many))};
    terav.file_option_Click();
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(state().broadening.cor.cor_count, 501);
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);

    terav.prof_option_Click(kRuleGauss);
    terav.file_option_Click(); // cancelled chooser
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(services.captions[Caption::label_file], label);
    EXPECT_EQ(services.messages.size(), 2u);
}

} // namespace
} // namespace teravine
