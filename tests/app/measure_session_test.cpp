// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog's state: the range typed, dragged and reset, the widths handed
// to the boxes, a pattern that cannot be used, files read on another thread and taken
// back in the order the user opened them, the scan and the anode chosen, and the widths held
// against the window's instrument profile and CIS calibration.
#include "app/measure_session.h"
#include "formats/anode.h"
#include "formats/synthetic_pattern.h"
#include "standards/calibration_method.h"
#include "support/scratch_folder.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <future>

namespace teravine {
namespace {

class MeasureSessionTest : public ::testing::Test {
protected:
    std::string pattern_file(const std::string& name, double fwhm, const char* extra = "") {
        synthetic::PeakShape shape;
        shape.fwhm = fwhm;
        shape.background = synthetic::Background::Sloping;
        const std::string path = folder.file(name);
        std::ofstream(path) << extra
                            << synthetic::file_text(synthetic::make_pattern(shape),
                                                    synthetic::Format::Xy);
        return path;
    }
    ScratchFolder folder;
    ScriptedServices services;
    MeasureSession session{services};
};

TEST_F(MeasureSessionTest, RangesTypedAndDragged) {
    session.open(PatternSide::AirDried, pattern_file("ad.xy", 0.45));
    struct Case {
        const char* what;
        std::function<bool(MeasureSession&)> change;
        double lo, hi;
    };
    const Case cases[] = {
        {"typed",
         [](MeasureSession& s) {
             return s.set_range({7, 11});
         },
         7, 11},
        {"reversed is refused",
         [](MeasureSession& s) {
             return !s.set_range({11, 7});
         },
         7, 11},
        {"too narrow is refused",
         [](MeasureSession& s) {
             return !s.set_range({8, 8.05});
         },
         7, 11},
        {"beyond 180 is refused",
         [](MeasureSession& s) {
             return !s.set_range({8, 181});
         },
         7, 11},
        {"low end dragged, to hundredths",
         [](MeasureSession& s) {
             s.move_range_end(PatternSide::AirDried, RangeEnd::Low, 6.8349);
             return true;
         },
         6.83, 11},
        {"high end stops short of the low one",
         [](MeasureSession& s) {
             s.move_range_end(PatternSide::AirDried, RangeEnd::High, 2);
             return true;
         },
         6.83, 6.93},
        {"reset",
         [](MeasureSession& s) {
             s.reset_range();
             return true;
         },
         6.5, 11.5},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.change(session)) << c.what;
        EXPECT_NEAR(session.range().lo, c.lo, 1e-9) << c.what;
        EXPECT_NEAR(session.range().hi, c.hi, 1e-9) << c.what;
        // Every change measures again, in the range now in force.
        const auto again =
            measure_peak(*session.half(PatternSide::AirDried).pattern(), session.range());
        EXPECT_EQ(again.ok(), session.half(PatternSide::AirDried).width.has_value()) << c.what;
    }
}

TEST_F(MeasureSessionTest, WidthsGoToTheBoxesOnlyWhenBothAreMeasured) {
    services.boxes[TextBox::Xls] = "0.9";
    session.open(PatternSide::AirDried, pattern_file("ad.xy", 0.45));
    session.open(PatternSide::Glycolated, folder.file("missing.xy"));
    EXPECT_FALSE(session.use_widths());
    EXPECT_EQ(services.boxes[TextBox::Xls], "0.9");
    EXPECT_NE(session.half(PatternSide::Glycolated).problem.find("missing.xy"), std::string::npos);
    EXPECT_TRUE(session.panel(PatternSide::Glycolated).pattern == nullptr);

    session.open(PatternSide::Glycolated, pattern_file("eg.xy", 0.3));
    ASSERT_TRUE(session.use_widths());
    const double ad = session.half(PatternSide::AirDried).width->fwhm;
    EXPECT_EQ(services.boxes[TextBox::Xls], width_text(ad));
    EXPECT_NEAR(std::stod(services.boxes[TextBox::Yls]), 0.3, 0.005);
    EXPECT_TRUE(services.messages.empty());

    // A range beside the peak: the measurer's message, no widths to use.
    ASSERT_TRUE(session.set_range({11.5, 13.5}));
    EXPECT_FALSE(session.widths_ready());
    EXPECT_FALSE(session.half(PatternSide::AirDried).problem.empty());
    EXPECT_FALSE(session.panel(PatternSide::AirDried).problem.empty());
}

TEST_F(MeasureSessionTest, ReadsOnAnotherThreadAndKeepsOnlyTheLatestFile) {
    const std::string first = pattern_file("first.xy", 0.45);
    const std::string second = pattern_file("second.xy", 0.3);
    const ReadRequest superseded = session.request_open(PatternSide::AirDried, first);
    const ReadRequest latest = session.request_open(PatternSide::AirDried, second);
    EXPECT_TRUE(session.reading());
    EXPECT_TRUE(session.half(PatternSide::AirDried).reading);
    EXPECT_EQ(session.half(PatternSide::AirDried).pattern(), nullptr);
    // The range changes while both are read: what comes back is measured in the new one.
    ASSERT_TRUE(session.set_range({7, 11}));
    auto later = std::async(std::launch::async, MeasureSession::read_and_measure, latest);
    auto earlier = std::async(std::launch::async, MeasureSession::read_and_measure, superseded);
    EXPECT_TRUE(session.take_result(later.get()));
    EXPECT_FALSE(session.take_result(earlier.get())); // answers an older request
    EXPECT_FALSE(session.reading());
    const MeasuredHalf& half = session.half(PatternSide::AirDried);
    EXPECT_EQ(half.path, second);
    ASSERT_NE(half.pattern(), nullptr);
    ASSERT_TRUE(half.width.has_value()) << half.problem;
    const auto in_range = measure_peak(*half.pattern(), {7, 11});
    ASSERT_TRUE(in_range.ok());
    EXPECT_EQ(half.width->range_lo, in_range->range_lo);
    EXPECT_EQ(half.width->fwhm, in_range->fwhm);
    EXPECT_NEAR(half.width->fwhm, 0.3, 0.005);

    // A file that cannot be read keeps its message through later changes of the range.
    session.open(PatternSide::Glycolated, folder.file("missing.xy"));
    ASSERT_TRUE(session.set_range({6.5, 11.5}));
    EXPECT_NE(session.half(PatternSide::Glycolated).problem.find("missing.xy"), std::string::npos);
}

// Measured away from the window's thread: a change leaves the half measuring with no widths
// to use, only the latest request of a side waits, and a result that a later change or file
// superseded is dropped.
TEST_F(MeasureSessionTest, MeasuresAwayAndKeepsOnlyTheLatestChange) {
    const auto ad = PatternSide::AirDried;
    session.open(ad, pattern_file("ad.xy", 0.45));
    session.open(PatternSide::Glycolated, pattern_file("eg.xy", 0.3));
    session.measure_away();
    ASSERT_TRUE(session.choose_scan(ad, 0));
    auto superseded = session.take_requests();
    ASSERT_EQ(superseded.size(), 1u);
    ASSERT_TRUE(session.set_range({7.5, 10.5}));
    ASSERT_TRUE(session.set_range({7.2, 10.8}));
    EXPECT_TRUE(session.half(ad).measuring);
    EXPECT_TRUE(session.reading());
    EXPECT_FALSE(session.use_widths());
    auto latest = session.take_requests();
    ASSERT_EQ(latest.size(), 2u); // one a side, in the range now in force
    auto newer = std::async(std::launch::async, MeasureSession::measure_request, latest[0]);
    auto older = std::async(std::launch::async, MeasureSession::measure_request, superseded[0]);
    EXPECT_TRUE(session.take_measured(newer.get()));
    EXPECT_FALSE(session.take_measured(older.get()));
    EXPECT_TRUE(session.take_measured(MeasureSession::measure_request(latest[1])));
    EXPECT_FALSE(session.reading());
    EXPECT_EQ(session.half(ad).width->fwhm,
              measure_peak(*session.half(ad).pattern(), {7.2, 10.8})->fwhm);
    EXPECT_TRUE(session.use_widths());

    session.reset_range();
    const auto stale = session.take_requests();
    session.open(ad, pattern_file("other.xy", 0.3));
    EXPECT_FALSE(session.take_measured(MeasureSession::measure_request(stale[0])));
    EXPECT_NEAR(session.half(ad).width->fwhm, 0.3, 0.005);
}

// A fit chosen while a file is read: what comes back is fitted; the panel carries the fit
// and its plot the fitted curve, one line per component and the residual.
TEST_F(MeasureSessionTest, FitsWhenAFitIsChosen) {
    const ReadRequest request =
        session.request_open(PatternSide::AirDried, pattern_file("fit.xy", 0.45));
    FitOptions two;
    two.components = 2;
    const WidthMethod fit = WidthMethod::fitted(two);
    session.set_method(fit);
    ASSERT_TRUE(session.take_result(MeasureSession::read_and_measure(request)));
    session.open(PatternSide::Glycolated, pattern_file("eg.xy", 0.35));
    for (const auto& [side, truth] :
         {std::pair{PatternSide::AirDried, 0.45}, std::pair{PatternSide::Glycolated, 0.35}}) {
        const MeasuredHalf& half = session.half(side);
        ASSERT_TRUE(half.fit.has_value()) << half.problem;
        EXPECT_EQ(half.fit->components.size(), 2u);
        EXPECT_NEAR(half.width->fwhm, truth, 0.05 * truth);
        const PeakPanel panel = session.panel(side);
        ASSERT_TRUE(panel.fit.has_value());
        const PeakPlot plot =
            lay_out_peak_plot(*panel.pattern, panel.width, panel.range_lo, panel.range_hi,
                              {6, 12, false}, {0, 0, 400, 300}, &*panel.fit);
        EXPECT_EQ(plot.components.size(), 2u);
        EXPECT_EQ(plot.fitted.size(), plot.residual.size());
        EXPECT_GT(plot.fitted.size(), 200u);
        // The residual keeps to its band at the plot's foot.
        for (const PlotPoint& r : plot.residual) {
            EXPECT_GE(r.y, 300 - 300.0 / 8 - 300.0 / 16 - 1e-9);
            EXPECT_LE(r.y, 300 - 300.0 / 8 + 300.0 / 16 + 1e-9);
        }
    }
    // Back to the half-height reading: no fit is kept.
    session.set_method({});
    EXPECT_FALSE(session.half(PatternSide::AirDried).fit.has_value());
    EXPECT_EQ(session.half(PatternSide::AirDried).width->fwhm,
              measure_peak(*session.half(PatternSide::AirDried).pattern())->fwhm);
}

// How a pair of a session was measured, taken up to measure the next one alike; a method
// this version does not know leaves the one chosen.
TEST_F(MeasureSessionTest, TakesUpHowAPairWasMeasured) {
    struct Case {
        const char* method;
        std::optional<double> ratio;
        const char* taken; // the method's name afterwards
    };
    session.set_method(WidthMethod::fitted());
    for (const Case& c : {Case{"fit:split-pearson7:1/2", 0.3, "fit:split-pearson7"},
                          Case{kMethodHalfHeight, std::nullopt, kMethodHalfHeight},
                          Case{"fit:guess", 0.0, kMethodHalfHeight}}) {
        Measurement m;
        m.range_lo = 7.25;
        m.range_hi = 10.5;
        m.method = c.method;
        m.alpha2_ratio = c.ratio;
        session.measure_like(m);
        EXPECT_EQ(session.method().name(), c.taken);
        EXPECT_EQ(session.alpha2_ratio(), c.ratio) << c.method;
        EXPECT_EQ(session.range().lo, 7.25);
        EXPECT_EQ(session.range().hi, 10.5);
    }
}

// The Kα2 ratio of a fit, the range that would hold a cut peak, and how scaled counts
// were taken, as measure gives them.
TEST_F(MeasureSessionTest, KAlpha2RatioEdgeAndCountsAreShown) {
    synthetic::PeakShape shape;
    shape.fwhm = 0.08;
    shape.doublet = true;
    Pattern scaled = synthetic::make_pattern(shape);
    for (double& c : scaled.counts) {
        c *= 0.37; // intensities that are not whole counts
    }
    const std::string path = folder.file("scaled.xy");
    std::ofstream(path) << synthetic::file_text(scaled, synthetic::Format::Xy);
    // A ratio chosen while the file is read still holds for it.
    const ReadRequest request = session.request_open(PatternSide::AirDried, path);
    session.set_method(WidthMethod::fitted());
    EXPECT_FALSE(session.set_alpha2_ratio(1.5));
    ASSERT_TRUE(session.set_alpha2_ratio(0.0));
    ASSERT_TRUE(session.take_result(MeasureSession::read_and_measure(request)));
    const MeasuredHalf& half = session.half(PatternSide::AirDried);
    ASSERT_TRUE(half.fit.has_value()) << half.problem;
    EXPECT_EQ(half.fit->alpha2_ratio, 0.0);
    const double without = half.width->fwhm;             // the doublet taken as one line: wider
    ASSERT_TRUE(session.set_alpha2_ratio(std::nullopt)); // the file states none: 0.5
    ASSERT_TRUE(half.fit.has_value()) << half.problem;
    EXPECT_EQ(half.fit->alpha2_ratio, kAssumedAlpha2Ratio);
    EXPECT_NEAR(half.width->fwhm, 0.08, 0.004);
    EXPECT_GT(without, half.width->fwhm + 0.003);
    EXPECT_NE(
        session.count_note(PatternSide::AirDried).find("Intensities that are not whole counts"),
        std::string::npos);
    EXPECT_EQ(session.count_note(PatternSide::Glycolated), "");
    // A range that cuts the peak names one that holds it.
    session.set_method({});
    ASSERT_TRUE(session.set_range({8.6, 11}));
    EXPECT_EQ(session.message(PatternSide::AirDried),
              "Doubtful (half-height): edge;flank: the peak reaches the flank of the range, where "
              "the background is taken; a range of 8.2:11 would hold it");
}

TEST_F(MeasureSessionTest, ScansAndAnodesChosen) {
    // Two scans of one file, as a reader of several hands them back.
    const ReadRequest request = session.request_open(PatternSide::AirDried, "two.ras");
    ReadResult result{request, MeasuredHalf{}};
    result.half.path = "two.ras";
    for (const double fwhm : {0.45, 0.3}) {
        synthetic::PeakShape shape;
        shape.fwhm = fwhm;
        result.half.file.scans.push_back(synthetic::make_pattern(shape));
    }
    result.half.file.scans[1].wavelength = kCuKAlpha1;
    result.half.file.scans[1].scan = "second";
    result.half.states_wavelength = {false, true};
    ASSERT_TRUE(session.take_result(std::move(result)));
    EXPECT_EQ(session.scan_names(PatternSide::AirDried),
              (std::vector<std::string>{"Scan 1: 4° to 14°, 1001 points",
                                        "Scan 2: 4° to 14°, 1001 points (second)"}));
    ASSERT_TRUE(session.set_range({6.5, 11.5}));
    const auto fwhm = [&] { return session.half(PatternSide::AirDried).width->fwhm; };
    EXPECT_NEAR(fwhm(), 0.45, 0.005);
    EXPECT_EQ(session.anode(PatternSide::AirDried), ""); // none stated, none told: Cu
    ASSERT_TRUE(session.choose_scan(PatternSide::AirDried, 1));
    EXPECT_NEAR(fwhm(), 0.3, 0.005);
    EXPECT_FALSE(session.choose_scan(PatternSide::AirDried, 2));
    EXPECT_EQ(session.half(PatternSide::AirDried).scan, 1u);

    // The anode told reaches the scans that state no wavelength, and only them; a scan
    // stating one is measured for the anode of its wavelength.
    EXPECT_FALSE(session.choose_anode(PatternSide::AirDried, "W"));
    ASSERT_TRUE(session.choose_anode(PatternSide::AirDried, "co"));
    EXPECT_NEAR(fwhm(), 0.3, 0.005);
    EXPECT_FALSE(session.half(PatternSide::AirDried).width->converted);
    EXPECT_EQ(session.anode(PatternSide::AirDried), "Cu");
    ASSERT_TRUE(session.choose_scan(PatternSide::AirDried, 0));
    EXPECT_EQ(session.anode(PatternSide::AirDried), "Co");
    Pattern cobalt = session.half(PatternSide::AirDried).file.scans[0];
    EXPECT_EQ(cobalt.wavelength, anode_lines("Co")->alpha1);
    EXPECT_TRUE(session.half(PatternSide::AirDried).width->converted);
    EXPECT_EQ(fwhm(), measure_peak(cobalt, session.range())->fwhm);
    ASSERT_TRUE(session.choose_anode(PatternSide::AirDried, "Cu"));
    EXPECT_FALSE(session.half(PatternSide::AirDried).width->converted);
    EXPECT_NEAR(fwhm(), 0.45, 0.005);
}

// A width measured otherwise than the profile's standard, or from a file stating another
// setup, is flagged as `measure --instrument` flags it; a CIS calibration of another method
// is named; the pair handed on says how it was measured.
TEST_F(MeasureSessionTest, WidthsAreHeldAgainstTheWindowsCalibration) {
    LabCalibration lab;
    MeasureSession held{services, &lab};
    held.open(PatternSide::AirDried, pattern_file("ad.xy", 0.45));
    held.open(PatternSide::Glycolated, pattern_file("eg.xy", 0.3));
    const std::string own = held.half(PatternSide::AirDried).width->quality;
    EXPECT_EQ(held.quality(PatternSide::AirDried), own); // no profile in use
    EXPECT_TRUE(held.calibration_note().empty());

    const WidthMethod fit = WidthMethod::fitted();
    struct Case {
        const char* profile_method;
        const char* anode; // told for the air-dried file, which states no wavelength
        bool fitted;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {"half-height", "Cu", false, {}},
        {"fit:pseudo-voigt", "Cu", false, {kInstrumentMethod}},
        {"half-height", "Co", false, {kInstrumentSetup}},
        {"fit:pseudo-voigt", "Co", false, {kInstrumentMethod, kInstrumentSetup}},
        {"fit:pseudo-voigt:1/2", "Cu", true, {}}, // a component's suffix is no other method
        {"half-height", "Cu", true, {kInstrumentMethod}},
        // A profile in full: the file states no Kα2 ratio, so the fit took 0.5.
        {"fit:pseudo-voigt components=1 background=linear kalpha2=fitted alpha2_ratio=0.5",
         "Cu",
         true,
         {}},
        {"fit:pseudo-voigt components=1 background=linear kalpha2=fitted alpha2_ratio=0",
         "Cu",
         true,
         {kInstrumentMethod}},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.profile_method) + " " + c.anode;
        InstrumentProfile profile;
        profile.method = c.profile_method;
        profile.setup.anode = "Cu";
        profile.setup.wavelength = kCuKAlpha1;
        lab.profile = profile;
        held.set_method(c.fitted ? fit : WidthMethod{});
        ASSERT_TRUE(held.choose_anode(PatternSide::AirDried, c.anode));
        const std::string width_quality = held.half(PatternSide::AirDried).width->quality;
        std::vector<std::string> expected = {width_quality};
        if (width_quality == "ok") {
            expected.clear();
        }
        expected.insert(expected.end(), c.reasons.begin(), c.reasons.end());
        EXPECT_EQ(held.quality(PatternSide::AirDried), quality_text(expected)) << what;
        // The glycolated file states nothing either, and is measured as the profile is or not.
        EXPECT_EQ(held.quality(PatternSide::Glycolated).find(kInstrumentSetup), std::string::npos)
            << what;
        // The pair handed on keeps each width's quality as shown, and the anode told.
        const auto measurement = held.measurement();
        ASSERT_TRUE(measurement.has_value()) << what;
        EXPECT_EQ(measurement->method, c.fitted ? fit.name() : kMethodHalfHeight) << what;
        EXPECT_EQ(measurement->ad.quality, quality_text(expected)) << what;
        EXPECT_EQ(measurement->eg.quality, held.quality(PatternSide::Glycolated)) << what;
        EXPECT_EQ(measurement->ad.anode, c.anode) << what;
        EXPECT_EQ(measurement->eg.anode, "") << what;
    }
    lab.profile.reset();
    EXPECT_EQ(held.quality(PatternSide::AirDried), held.half(PatternSide::AirDried).width->quality);

    // Fitted now: a calibration of half-height standards does not carry over; one of the
    // Árkai index converts no illite width and says nothing.
    lab.cis = CisCalibration{};
    lab.cis->method = "half-height";
    EXPECT_NE(held.calibration_note().find("does not carry over"), std::string::npos);
    lab.cis->method = "fit:pseudo-voigt";
    EXPECT_TRUE(held.calibration_note().empty());
    // A calibration that states its method in full is held to all of it: here its range.
    lab.cis->method = full_method_name(fit, held.range());
    EXPECT_TRUE(held.calibration_note().empty());
    lab.cis->method = full_method_name(fit, {held.range().lo + 0.5, held.range().hi});
    EXPECT_NE(held.calibration_note().find("(they differ in range)"), std::string::npos);
    lab.cis->method = "half-height";
    lab.cis->index = CisIndex::arkai;
    EXPECT_TRUE(held.calibration_note().empty());
}

} // namespace
} // namespace teravine
