// SPDX-License-Identifier: GPL-3.0-or-later
// Many samples placed at once (a treated file, a change of Reichweite) end exactly as the
// same points identified one click after another: same samples, same order, same lines.
#include "batch/width_file.h"
#include "identify/identify_point.h"
#include "support/fingerprint.h"
#include "support/session.h"

#include <cstdio>

namespace teravine {
namespace {

using BatchPlacing = AppTest;

// The samples as clicks would place them one by one, the last located record with them.
std::vector<Fingerprint> one_by_one(std::int16_t reich, const std::vector<float>& ad,
                                    const std::vector<float>& eg) {
    const Calibration cal = make_calibration(reich);
    InterpRecord interp;
    std::vector<Fingerprint> out;
    for (std::size_t i = 0; i < ad.size(); ++i) {
        const Identification found = identify_point(cal, ad[i], eg[i]);
        if (found.place.inside()) {
            interp = found.place.rec;
        }
        if (found.placed) {
            out.push_back(fingerprint(found.placed));
        }
    }
    out.push_back(fingerprint(interp));
    return out;
}

std::vector<Fingerprint> placed(const TeravState& state) {
    std::vector<Fingerprint> out;
    for (const PlacedSample& s : state.samples) {
        out.push_back(fingerprint(s));
    }
    out.push_back(fingerprint(state.interp));
    return out;
}

// `count` samples over the whole frame, some twice, some outside the model.
std::string many_samples(int count) {
    std::string text = "Many\r\n" + std::to_string(count) + ", 0\r\n";
    for (int i = 0; i < count; ++i) {
        char line[64];
        const double x = i % 50 == 7 ? 0.5 : 0.02 + 1.06 * ((i * 37) % 600) / 600.0;
        const double y = i % 50 == 7 ? 0.4 : x * (0.5 + 0.55 * ((i * 11) % 100) / 100.0);
        std::snprintf(line, sizeof line, "%.5f, %.5f\r\n", x, y);
        text += line;
    }
    return text;
}

TEST_F(BatchPlacing, ATreatedFileAndAChangeOfReichweitePlaceAsClicksWould) {
    const std::string text = many_samples(600);
    treat(folder.write("many.IW", text));
    ASSERT_TRUE(services.messages.empty());
    const auto widths = read_width_text(text).value();
    const auto want = one_by_one(1, widths.ad, widths.eg);
    ASSERT_GT(want.size(), 300U);
    ASSERT_LT(want.size(), 600U); // some were refused
    EXPECT_EQ(placed(state()), want);
    // Each placed sample printed its label once, in file order.
    std::vector<std::string> labels, want_labels;
    for (const std::string& shown : shown_texts()) {
        if (shown.rfind("N:", 0) == 0) {
            labels.push_back(shown);
        }
    }
    for (const PlacedSample& s : state().samples) {
        want_labels.push_back(s.record.label);
    }
    EXPECT_EQ(labels, want_labels);

    std::vector<float> placed_ad, placed_eg;
    for (const PlacedSample& s : state().samples) {
        placed_ad.push_back(s.record.iw_ad);
        placed_eg.push_back(s.record.iw_eg);
    }
    terav.R_3_Click();
    const auto r3 = one_by_one(3, placed_ad, placed_eg);
    ASSERT_LT(r3.size(), placed_ad.size()); // the R3 axes end at 0.9: some samples drop out
    EXPECT_EQ(placed(state()), r3);
}

// Long steps show the busy pointer and always take it away again; short ones leave it.
TEST(BusyPointer, ShowsOverManySamplesOnly) {
    for (const auto& [count, shown] : {std::pair{600, false}, std::pair{4000, true}}) {
        Session<RecordingSurface> session;
        session.treat(session.folder.write("many.IW", many_samples(count)));
        ASSERT_GT(session.state().samples.size(), static_cast<std::size_t>(count) / 2);
        EXPECT_EQ(session.services.busy_steps, shown ? 1 : 0) << count << " treated";
        session.terav.R_3_Click(); // re-identified and drawn
        EXPECT_EQ(session.services.busy_steps, shown ? 2 : 0) << count << " switched";
        EXPECT_EQ(session.services.busy_depth, 0);
    }
}

} // namespace
} // namespace teravine
