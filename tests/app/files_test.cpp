// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of the window: treatment, correction table and export. Files that
// are not what they should be are the hostile set's (tests/hostile).
#include "app/dropped_files.h"
#include "app/folder_pairs.h"
#include "support/session.h"

#include <filesystem>

namespace teravine {
namespace {

using Files = AppTest;

// The label and the result line of the worked example in the README (R0, AD 0.5, EG 0.4).
const std::string kWorked = "N: 24,S: 4.88%,k:1.17,Nfp: 11";

TEST_F(Files, TreatFileWritesResultsAndPlacesAcceptedSamples) {
    const auto out =
        treat(folder.write("s.IW", "Three samples\n3, 0\n0.5, 0.4\n0.5, 0.6\n0.7, 0.5\n"), "s.IWO");
    EXPECT_TRUE(services.messages.empty());
    const std::string text = ScratchFolder::read(out);
    EXPECT_EQ(text.rfind("Three samples\r\nReichweite:\tR0\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n .5\t .4\t 24\t 4.88\t1.17\t 11\r\nError\r\n"), std::string::npos);
    ASSERT_EQ(state().samples.size(), 2u);
    EXPECT_EQ(state().samples[1].record.iw_ad, 0.7f);
    EXPECT_EQ(services.open_filters[0], "File S.W (*.IW)|*.IW;*.iw|all (*.*)|*.*|");
    EXPECT_EQ(services.save_filters[0], "File S.W. out (*.IWO)|*.IWO;*.iwo|all (*.*)|*.*|");
    EXPECT_EQ(shown_count(kWorked), 1u);
}

// The committed results were written by teravine-cli treat: the window writes the same bytes.
TEST_F(Files, TreatFileWritesWhatTheHeadlessToolWrites) {
    const std::string examples = std::string(TERAVINE_SOURCE_DIR) + "/examples/";
    const auto mixture = treat(examples + "samples.IW", "mixture.IWO");
    EXPECT_EQ(ScratchFolder::read(mixture), ScratchFolder::read(examples + "samples.IWO"));
    EXPECT_EQ(state().samples.size(), 6u);
    load_table(examples + "instrument.cor");
    const auto table = treat(examples + "samples.IW", "table.IWO");
    EXPECT_EQ(ScratchFolder::read(table), ScratchFolder::read(examples + "samples-table.IWO"));
    EXPECT_TRUE(services.messages.empty());
}

// The result is refused whenever it is the width file itself, however the path is spelt.
TEST_F(Files, TreatFileNeverWritesOverTheWidthFileJustRead) {
    const std::string widths = "t\n1, 0\n0.5, 0.4\n";
    const auto in = folder.write("s.IW", widths);
    std::filesystem::create_hard_link(in, folder.path() / "hard.IW");
    for (const std::string& out : {in, folder.file("./s.IW"), folder.file("hard.IW")}) {
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
TEST_F(Files, NumbersLeftAfterTheSamplesAreToldOnceTheResultIsWritten) {
    const auto out = treat(folder.write("comma.IW", "x\n1\n0,1\n0,5 0,4\n"));
    EXPECT_NE(ScratchFolder::read(out).find("Instrumental broadening:\t 0\r\n"), std::string::npos);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].rfind("The width file holds 3 numbers after the 1 sample it "
                                         "announces; they were not used. A decimal comma",
                                         0),
              0u)
        << services.messages[0];
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

TEST_F(Files, CorrectionTableIsUsedEvenWithAnEmptyBroadeningBoxAndKeptOnACancel) {
    const auto cor = folder.write("t.cor", "Table\n0.05 0.1\n0.2\n0.24\n0.3\n");
    load_table(cor);
    EXPECT_EQ(state().broadening.broad_rule, kRuleTable);
    EXPECT_EQ(services.captions[Caption::label_file], "Used File: " + cor);
    type_and_draw("", "0.25", "0.22");
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_FLOAT_EQ(state().samples[0].record.iw_eg, 0.125f); // 0.22: half way from 0.1 to 0.15

    terav.prof_option_Click(kRuleGauss);
    terav.file_option_Click(); // a cancelled chooser: back to Mixture, the label kept
    EXPECT_EQ(state().broadening.broad_rule, kRuleMixture);
    EXPECT_EQ(services.captions[Caption::label_file], "Used File: " + cor);
    EXPECT_TRUE(services.messages.empty());
}

// What a drop onto the window opens, from the files' suffixes.
TEST(DroppedFiles, OpenAsTheirKindAndAPairWithItsGlycolatedFileSecond) {
    using Kind = DroppedFiles::Kind;
    const struct {
        std::vector<std::string> dropped;
        Kind kind;
        std::vector<std::string> opened;
    } cases[] = {
        {{"/d/run.JSON"}, Kind::session, {"/d/run.JSON"}},
        {{"/d/list.csv"}, Kind::sample_list, {"/d/list.csv"}},
        {{"/d/samples.IW"}, Kind::width_file, {"/d/samples.IW"}},
        {{"/d/a.xrdml"}, Kind::patterns, {"/d/a.xrdml"}},
        {{"/d/s1_EG.raw", "/d/s1_AD.raw"}, Kind::patterns, {"/d/s1_AD.raw", "/d/s1_EG.raw"}},
        {{"/d/s1-gly.xy", "/d/s1.xy"}, Kind::patterns, {"/d/s1.xy", "/d/s1-gly.xy"}},
        {{"/d/one.xy", "/d/two.xy"}, Kind::patterns, {"/d/one.xy", "/d/two.xy"}},
        {{"/d/notes.pdf"}, Kind::refused, {}},
        {{"/d/a.xy", "/d/b.xy", "/d/c.xy"}, Kind::refused, {}},
        {{"/d/run.json", "/d/a.xy"}, Kind::refused, {}},
    };
    for (const auto& c : cases) {
        const DroppedFiles dropped = classify_dropped(c.dropped);
        EXPECT_EQ(dropped.kind, c.kind) << c.dropped.front();
        EXPECT_EQ(dropped.paths, c.opened) << c.dropped.front();
        EXPECT_EQ(dropped.refusal.empty(), c.kind != Kind::refused) << c.dropped.front();
    }
}

// A folder's patterns paired by their stems, in any case, by the lab's suffixes or two
// globs; every other pattern named with the reason, files of no pattern format passed over.
TEST(FolderPairs, PairByTheStemAndNameWhatIsLeft) {
    const struct {
        std::vector<std::string> files;
        PairingRule rule;
        std::vector<std::string> pairs;    // name=ad+eg
        std::vector<std::string> unpaired; // file: reason
    } cases[] = {
        {{"s10eg.xrdml", "S10AD.xrdml", "pit 3_AD.raw", "PIT 3_EG.RAW", "S9.ad.xy", "s9-GLY.xy",
          "p2-ad.xy", "P2 eg.csv", "notes.docx"},
         {},
         {"p2=p2-ad.xy+P2 eg.csv", "pit 3=pit 3_AD.raw+PIT 3_EG.RAW", "S9=S9.ad.xy+s9-GLY.xy",
          "S10=S10AD.xrdml+s10eg.xrdml"},
         {}},
        {{"a_AD.raw", "b_EG.raw", "c_AD.raw", "c_EG.raw", "c-gly.raw", "mica.raw", "AD.raw",
          "EG.raw"},
         {},
         {"AD=AD.raw+EG.raw"},
         {"a_AD.raw: no EG partner", "b_EG.raw: no AD partner",
          "c-gly.raw: more than one partner: 1 AD and 2 EG files share the stem \"c\"",
          "c_AD.raw: more than one partner: 1 AD and 2 EG files share the stem \"c\"",
          "c_EG.raw: more than one partner: 1 AD and 2 EG files share the stem \"c\"",
          "mica.raw: its name ends in neither AD nor EG (or gly)"}},
        {{"x_1.RAW", "x_2.raw", "y_1.raw", "z_3.raw", "x_1.txt", "w1.raw", "w2.raw", "1_2.raw"},
         {"*_1.r?w", "*_2.raw"},
         {"x=x_1.RAW+x_2.raw"},
         {"1_2.raw: no AD partner", "w1.raw: it matches neither the AD nor the EG pattern",
          "w2.raw: it matches neither the AD nor the EG pattern",
          "x_1.txt: it matches neither the AD nor the EG pattern", "y_1.raw: no EG partner",
          "z_3.raw: it matches neither the AD nor the EG pattern"}},
    };
    const auto name = [](const std::string& path) {
        return std::filesystem::path(path).filename().string();
    };
    for (const auto& c : cases) {
        const FolderPairing found = pair_files("/d", c.files, c.rule);
        std::vector<std::string> pairs;
        for (const PatternPair& p : found.pairs) {
            pairs.push_back(p.name + "=" + name(p.ad) + "+" + name(p.eg));
        }
        std::vector<std::string> unpaired;
        for (const UnpairedFile& u : found.unpaired) {
            unpaired.push_back(name(u.path) + ": " + u.reason);
        }
        EXPECT_EQ(pairs, c.pairs) << c.files.front();
        EXPECT_EQ(unpaired, c.unpaired) << c.files.front();
    }
    const struct {
        PairingRule rule;
        bool usable;
    } rules[] = {{{"*_1.raw", "*_2.raw"}, true}, {{}, true},
                 {{"x.raw", "*_2.raw"}, false},  {{"*_1.raw", ""}, false},
                 {{"*a*", "*b"}, false},         {{"*.raw", "*.RAW"}, false}};
    for (const auto& r : rules) {
        EXPECT_EQ(!pairing_rule_problem(r.rule, "--ad", "--eg"), r.usable)
            << r.rule.ad << r.rule.eg;
    }
    EXPECT_NE(pair_folder("/no/such/folder").error().find("cannot be read"), std::string::npos);
}

} // namespace
} // namespace teravine
