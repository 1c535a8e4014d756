// SPDX-License-Identifier: GPL-3.0-or-later
// The laboratory's calibration in the window: the table's KI (CIS) and Zone columns come
// and go with a CIS calibration and hold the values a least-squares line computed here
// gives; an instrument profile fills the broadening box until it is typed over; sessions
// keep both, and the zone limits, and those saved without them still open.
#include "app/sample_table_text.h"
#include "formats/synthetic_pattern.h"
#include "formats/text_writers.h"
#include "support/scratch_folder.h"
#include "support/session.h"
#include "text/number_text.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>

namespace teravine {
namespace {

// Five standards: two known by name (published Kübler values 0.653 and 0.455), three typed.
const std::vector<StandardRow> kRows{{"SW1-2012", "", "0.60", 0.004},
                                     {"SW2-2012", " ", "0.43", 0},
                                     {"lab A", "0.36", "0.33", 0},
                                     {"lab B", "0.30", "0.27", 0},
                                     {"lab C", "0.71", "0.66", 0}};
const double kX[] = {0.60, 0.43, 0.33, 0.27, 0.66};
const double kY[] = {0.653, 0.455, 0.36, 0.30, 0.71};

// The calibrated value and its u of a width x with u ux, by the textbook formulas.
std::pair<double, double> expected_cis(double x, double ux) {
    const double n = 5;
    double mx = 0, my = 0;
    for (int i = 0; i < 5; ++i) {
        mx += kX[i] / n;
        my += kY[i] / n;
    }
    double sxx = 0, sxy = 0;
    for (int i = 0; i < 5; ++i) {
        sxx += (kX[i] - mx) * (kX[i] - mx);
        sxy += (kX[i] - mx) * (kY[i] - my);
    }
    const double slope = sxy / sxx;
    const double intercept = my - slope * mx;
    double ss = 0;
    for (int i = 0; i < 5; ++i) {
        ss += std::pow(kY[i] - intercept - slope * kX[i], 2);
    }
    const double s2 = ss / (n - 2);
    const double u =
        std::sqrt(s2 * (1 + 1 / n + (x - mx) * (x - mx) / sxx) + slope * slope * ux * ux);
    return {intercept + slope * x, u};
}

class LabCalibrationTest : public AppTest {
protected:
    // A typed pair, a named list's sample with its own u, and a click.
    void place_three() {
        type_and_draw("0.05", "0.55", "0.45");
        const std::string list = folder.file("named.csv");
        std::ofstream(list) << "name,ad,eg,u_ad,u_eg\nPit B,0.42,0.35,0.01,0.02\n";
        services.open_answers = {ScriptedServices::chosen(list)};
        terav.open_sample_list_Click();
        click_at(0.5f, 0.4f);
        ASSERT_EQ(state().samples.size(), 3u);
    }
    std::string tsv() const {
        return sample_rows_tsv(state().samples, {}, {0, 1, 2}, false, &state().lab);
    }
    std::string cell(std::size_t row, SampleColumn column) const {
        return sample_cell(state().samples[row], row, column, &state().lab);
    }
};

TEST_F(LabCalibrationTest, TheTableShowsKiCisAndZoneWhileACalibrationIsLoaded) {
    place_three();
    EXPECT_EQ(tsv().find("KI (CIS)"), std::string::npos);
    ASSERT_TRUE(terav.fit_cis_calibration(kRows, CisIndex::kubler, "half-height"));
    ASSERT_TRUE(services.messages.empty()) << services.messages.front();
    EXPECT_EQ(
        tsv().substr(0, tsv().find('\n')),
        "#\tName\tAD measured\tEG measured\tAD\tEG\tN\tN (profile)\t%S\tk\tNfp\tKI (CIS)\tZone\t"
        "Near limit\tLabel\tb");

    const struct {
        std::size_t row;
        double raw_ad, u_ad; // the width as typed or listed, before the broadening left it
        const char* zone;
    } cases[] = {{0, 0.55, 0, "diagenetic"}, {1, 0.42, 0.01, "anchizone"}};
    for (const auto& c : cases) {
        const auto [ki, u] = expected_cis(c.raw_ad, c.u_ad);
        EXPECT_EQ(cell(c.row, SampleColumn::ki_cis),
                  format_fixed(ki, 3) + " ± " + format_fixed(u, 3));
        EXPECT_EQ(cell(c.row, SampleColumn::zone), c.zone);
        EXPECT_EQ(cell(c.row, SampleColumn::near_limit), "");
    }
    EXPECT_EQ(cell(2, SampleColumn::ki_cis), ""); // a click has no measured width
    EXPECT_EQ(cell(2, SampleColumn::zone), "");

    // The CSV carries the numbers whole and states the limits.
    const std::string csv =
        sample_table_csv(state().samples, state().unplaced, "R0", false, &state().lab);
    const std::string first = csv.substr(0, csv.find('\n'));
    EXPECT_EQ(first.substr(first.size() - 54),
              ",ki_cis,u_ki_cis,zone,zone_limits,near_limit,n_profile");
    const std::string row =
        csv.substr(first.size() + 1, csv.find('\n', first.size() + 1) - first.size() - 1);
    const auto [ki, u] = expected_cis(0.55, 0);
    EXPECT_NE(row.find(",diagenetic,anchizone 0.32–0.52 (2015),"), std::string::npos) << row;
    EXPECT_EQ(row.substr(row.size() - 2), ",,"); // near no limit, and no N (profile)
    const std::string numbers = row.substr(0, row.find(",diagenetic"));
    const auto comma = numbers.find_last_of(',');
    EXPECT_NEAR(std::stod(numbers.substr(numbers.find_last_of(',', comma - 1) + 1)), ki, 1e-6);
    EXPECT_NEAR(std::stod(numbers.substr(comma + 1)), u, 1e-6);

    // Own limits put the same sample in another zone; the columns go with the calibration.
    terav.set_zone_limits(*parse_zone_limits("0.3:0.7"));
    EXPECT_EQ(cell(0, SampleColumn::zone), "anchizone");
    // A limit within u of the value is named, in the table and in the CSV.
    terav.set_zone_limits(*parse_zone_limits(format_fixed(ki, 3) + ":0.9"));
    const std::string limit = cell(0, SampleColumn::near_limit);
    EXPECT_NEAR(std::stod(limit), ki, 5e-4);
    const std::string near = sample_table_csv(state().samples, {}, "R0", false, &state().lab);
    EXPECT_NE(near.find(")," + limit + ",\n"), std::string::npos) << near;
    // A calibration of the Árkai index (chlorite 7 Å) converts no illite width.
    std::vector<StandardRow> typed = kRows;
    typed[0].certified = "0.653";
    typed[1].certified = "0.455";
    for (const bool kubler : {false, true}) {
        ASSERT_TRUE(terav.fit_cis_calibration(typed, kubler ? CisIndex::kubler : CisIndex::arkai,
                                              "half-height"));
        EXPECT_EQ(tsv().find("KI (CIS)") != std::string::npos, kubler);
        EXPECT_EQ(cell(0, SampleColumn::ki_cis).empty(), !kubler);
        EXPECT_EQ(cis_state_text(terav.state().lab).rfind(kubler ? "KI (CIS)" : "AI (CIS)", 0), 0);
    }
    // The Kübler index's own schemes judge no Árkai value.
    terav.set_zone_limits(default_zone_limits());
    ASSERT_TRUE(terav.fit_cis_calibration(typed, CisIndex::arkai, "half-height"));
    EXPECT_NE(cis_state_text(terav.state().lab).find("; no zone limits"), std::string::npos);
    ASSERT_TRUE(terav.fit_cis_calibration(typed, CisIndex::kubler, "half-height"));
    terav.stop_cis_calibration();
    EXPECT_EQ(tsv().find("KI (CIS)"), std::string::npos);
    EXPECT_EQ(cell(0, SampleColumn::ki_cis), "");
}

TEST_F(LabCalibrationTest, StandardsThatGiveNoLineAreRefusedByName) {
    const auto with = [](std::size_t row, StandardRow changed) {
        std::vector<StandardRow> rows = kRows;
        rows[row] = std::move(changed);
        return rows;
    };
    const struct {
        std::vector<StandardRow> rows;
        const char* says;
    } cases[] = {
        {with(2, {"lab A", "0.36", "wide", 0}), "Standard 3 (lab A): the FWHM \"wide\""},
        {with(3, {"SW9", "", "0.27", 0}), "\"SW9\" is not a standard with a published value"},
        {with(4, {"lab C", "-0.7", "0.66", 0}), "the CIS value \"-0.7\""},
        {{kRows[0], kRows[1], {}, {}}, ""}, // two standards: no line
    };
    for (const auto& c : cases) {
        services.messages.clear();
        EXPECT_FALSE(terav.fit_cis_calibration(c.rows, CisIndex::kubler, "half-height"));
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(services.messages[0].find(c.says), std::string::npos) << services.messages[0];
        EXPECT_FALSE(state().lab.cis);
    }
}

// A measured figure is fitted in full while its cell shows it as measured, and as typed
// once typed over, so that the window, the page and `cis fit` fit the same numbers.
TEST(MeasuredCell, IsFittedInFullUntilTypedOver) {
    const double measured = 0.66198514803313911;
    const struct {
        std::string shown;
        std::string fitted;
    } cases[] = {{"0.6620", "0.6619851480331391"}, {"0.66", "0.66"}, {"wide", "wide"}};
    for (const auto& c : cases) {
        EXPECT_EQ(measured_cell_text(c.shown, measured), c.fitted) << c.shown;
    }
}

InstrumentProfile mica_profile() {
    InstrumentProfile p;
    p.b = 0.0712;
    p.u_b = 0.0015;
    p.angle = 8.86;
    p.standard = "mica.xy";
    p.sha256 = std::string(64, 'a');
    p.method = "half-height";
    return p;
}

TEST_F(LabCalibrationTest, AProfileFillsTheBroadeningBoxUntilItIsTypedOver) {
    const std::string path = folder.file("INSTRUMENT.json");
    std::ofstream(path) << instrument_profile_json(mica_profile());
    const std::string damaged = folder.file("damaged.json");
    std::ofstream(damaged) << "{\"format\": 1}";
    services.boxes[TextBox::Broad] = "0.1";
    services.open_answers = {ScriptedServices::chosen(damaged)};
    terav.open_instrument_profile_Click();
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_FALSE(state().lab.profile);
    EXPECT_EQ(services.boxes[TextBox::Broad], "0.1");

    services.open_answers = {ScriptedServices::chosen(path)};
    terav.open_instrument_profile_Click();
    ASSERT_TRUE(state().lab.profile);
    EXPECT_EQ(services.boxes[TextBox::Broad], "0.0712");
    EXPECT_NE(services.statuses.back().find("from the instrument profile of mica.xy"),
              std::string::npos);
    type_and_draw(services.boxes[TextBox::Broad], "0.55", "0.45");
    EXPECT_FLOAT_EQ(state().samples.back().origin.broadening, 0.0712f);

    services.boxes[TextBox::Broad] = "0.07";
    terav.Broad_Edited();
    EXPECT_FALSE(state().lab.profile);
    EXPECT_NE(services.statuses.back().find("typed by hand"), std::string::npos);
}

// Save Profile… and Save Calibration… write what Open reads back; a write that fails says
// so and changes nothing, and with nothing to save no dialog is asked.
TEST_F(LabCalibrationTest, ProfileAndCalibrationSavedOpenAgain) {
    terav.use_instrument_profile(mica_profile(), "/lab/INSTRUMENT.json");
    ASSERT_TRUE(terav.fit_cis_calibration(kRows, CisIndex::kubler, "half-height"));
    const LabCalibration saved = state().lab;
    struct Case {
        const char* what;
        void (Terav::*save)();
        void (Terav::*open)();
        bool (*same)(const LabCalibration&, const LabCalibration&);
    };
    const Case cases[] = {
        {"profile", &Terav::save_instrument_profile_Click, &Terav::open_instrument_profile_Click,
         [](const LabCalibration& a, const LabCalibration& b) { return a.profile == b.profile; }},
        {"calibration", &Terav::save_cis_calibration_Click, &Terav::open_cis_calibration_Click,
         [](const LabCalibration& a, const LabCalibration& b) {
             return a.cis && a.cis->standards == b.cis->standards && a.cis->slope == b.cis->slope;
         }},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        services.save_answers = {ScriptedServices::chosen(folder.file("none/x.json"))};
        (terav.*c.save)();
        ASSERT_EQ(services.messages.size(), 1u) << c.what;
        EXPECT_NE(services.statuses.back().find("was not written"), std::string::npos) << c.what;
        EXPECT_NE(state().lab.cis_source, folder.file("none/x.json")) << c.what;

        const std::string path = folder.file(std::string(c.what) + ".json");
        services.save_answers = {ScriptedServices::chosen(path)};
        (terav.*c.save)();
        EXPECT_NE(services.statuses.back().find("written to " + path), std::string::npos) << c.what;
        terav.stop_instrument_profile();
        terav.stop_cis_calibration();
        services.open_answers = {ScriptedServices::chosen(path)};
        (terav.*c.open)();
        EXPECT_EQ(services.messages.size(), 1u) << c.what;
        EXPECT_TRUE(c.same(state().lab, saved)) << c.what;
        services.save_answers = {ScriptedServices::chosen(path)};
        terav.stop_instrument_profile();
        terav.stop_cis_calibration();
        (terav.*c.save)(); // nothing to save: the dialog is not asked
        EXPECT_EQ(services.save_answers.size(), 1u) << c.what;
        terav.use_instrument_profile(mica_profile(), "/lab/INSTRUMENT.json");
        ASSERT_TRUE(terav.fit_cis_calibration(kRows, CisIndex::kubler, "half-height"));
    }
    EXPECT_EQ(state().lab.cis_source, "");
}

TEST_F(LabCalibrationTest, SessionsKeepTheCalibrationAndOldOnesOpenWithout) {
    place_three();
    terav.use_instrument_profile(mica_profile(), "/lab/INSTRUMENT.json");
    ASSERT_TRUE(terav.fit_cis_calibration(kRows, CisIndex::kubler, "half-height"));
    terav.set_zone_limits(*parse_zone_limits("1994"));
    const std::string path = folder.file("day.json");
    services.save_answers = {ScriptedServices::chosen(path)};
    terav.save_session_Click();

    Session<RecordingSurface> other;
    other.services.open_answers = {ScriptedServices::chosen(path)};
    other.terav.open_session_Click();
    ASSERT_TRUE(other.services.messages.empty()) << other.services.messages.front();
    const LabCalibration& lab = other.state().lab;
    ASSERT_TRUE(lab.profile && lab.cis);
    EXPECT_EQ(*lab.profile, mica_profile());
    EXPECT_EQ(lab.profile_source, "/lab/INSTRUMENT.json");
    EXPECT_EQ(lab.cis->standards, state().lab.cis->standards);
    EXPECT_EQ(lab.limits.scheme, "1994");
    EXPECT_EQ(other.services.boxes[TextBox::Broad], "0.0712");
    EXPECT_EQ(sample_rows_tsv(other.state().samples, {}, {0, 1, 2}, false, &lab), tsv());

    // Without the three parts, as sessions were saved before: no calibration, the 2015
    // limits. A damaged part refuses the whole file.
    nlohmann::json old = nlohmann::json::parse(ScratchFolder::read(path));
    nlohmann::json bad = old;
    bad["instrument_profile"]["profile"]["b"] = -1;
    for (const char* key : {"instrument_profile", "cis_calibration", "zone_limits"}) {
        old.erase(key);
    }
    const std::string old_path = folder.file("old.json");
    std::ofstream(old_path) << old.dump(1);
    other.services.open_answers = {ScriptedServices::chosen(old_path)};
    other.terav.open_session_Click();
    ASSERT_TRUE(other.services.messages.empty()) << other.services.messages.front();
    EXPECT_FALSE(other.state().lab.profile || other.state().lab.cis);
    EXPECT_EQ(other.state().lab.limits.scheme, "2015");
    EXPECT_EQ(other.state().samples.size(), 3u);

    const std::string bad_path = folder.file("bad.json");
    std::ofstream(bad_path) << bad.dump(1);
    other.services.open_answers = {ScriptedServices::chosen(bad_path)};
    other.terav.open_session_Click();
    ASSERT_EQ(other.services.messages.size(), 1u);
    EXPECT_NE(other.services.messages[0].find("instrument_profile"), std::string::npos)
        << other.services.messages[0];
    EXPECT_FALSE(other.state().lab.profile);
}

} // namespace
} // namespace teravine

namespace teravine {
namespace {

// A standard's file of several scans: the only one that covers the range is measured and
// named, as measure takes it; several covering it are refused in the window's terms (it
// has no scan box, and no --scan), with the list of scans.
TEST(StandardPattern, OfSeveralScansTakesTheOneCoveringTheRange) {
    ScratchFolder folder;
    synthetic::PeakShape far;
    far.from = 20;
    far.to = 40;
    far.position = 30;
    const Pattern scan = synthetic::make_pattern({});
    const struct {
        std::vector<Pattern> scans;
        const char* said; // in the scan note, or in the refusal
        bool measured;
    } cases[] = {
        {{synthetic::make_pattern(far), scan},
         "scan 2 of 2 used, the only one that covers the range",
         true},
        {{scan, scan},
         " holds 2 scans, 2 covering the range; choose a range that one scan alone covers:\n"
         "  scan 1: ",
         false},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("two.ras");
        std::ofstream(path, std::ios::binary) << writers::ras(c.scans, synthetic::kCuAlpha1);
        const auto width = measure_standard(path, {}, WidthMethod{});
        ASSERT_EQ(width.ok(), c.measured) << (width ? width->scan_note : width.error());
        EXPECT_NE((width ? width->scan_note : width.error()).find(c.said), std::string::npos)
            << (width ? width->scan_note : width.error());
    }
}

// A calibration fitted in the dialog states the Kα2 ratio its standards' fits took, as
// cis fit does; fits that took different ratios are refused.
TEST(StandardPattern, CalibrationKeepsTheKAlpha2RatioOfItsFits) {
    const PeakRange range{6.5, 11.5};
    const struct {
        std::optional<double> first, second;
        const char* method; // empty: refused
    } cases[] = {
        {std::nullopt, std::nullopt,
         "fit:split-pearson7 components=1 background=linear kalpha2=fitted range=6.5:11.5"},
        {0.4, std::nullopt,
         "fit:split-pearson7 components=1 background=linear kalpha2=fitted alpha2_ratio=0.4 "
         "range=6.5:11.5"},
        {0.5, 0.5,
         "fit:split-pearson7 components=1 background=linear kalpha2=fitted alpha2_ratio=0.5 "
         "range=6.5:11.5"},
        {0.5, 0.4, ""},
    };
    FitOptions options;
    options.shape = ProfileShape::split_pearson7;
    for (const auto& c : cases) {
        Session<RecordingSurface> w;
        std::vector<StandardRow> rows = kRows;
        rows[0].alpha2_ratio = c.first;
        rows[1].alpha2_ratio = c.second;
        const bool fitted = w.terav.fit_cis_calibration(rows, CisIndex::kubler,
                                                        WidthMethod::fitted(options), range);
        ASSERT_EQ(fitted, *c.method != '\0');
        if (fitted) {
            EXPECT_EQ(w.state().lab.cis->method, c.method);
        } else {
            ASSERT_EQ(w.services.messages.size(), 1u);
            EXPECT_NE(w.services.messages[0].find("different K-alpha2 ratios (0.5000 and 0.4000, "
                                                  "for SW2-2012)"),
                      std::string::npos)
                << w.services.messages[0];
        }
    }
}

} // namespace
} // namespace teravine
