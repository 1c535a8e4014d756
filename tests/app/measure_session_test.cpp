// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog's state: the range typed, dragged and reset, the widths handed
// to the boxes, and a pattern that cannot be used.
#include "app/measure_session.h"
#include "patterns/synthetic_pattern.h"
#include "support/scratch_folder.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

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
            measure_peak(*session.half(PatternSide::AirDried).pattern, session.range());
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

} // namespace
} // namespace teravine
