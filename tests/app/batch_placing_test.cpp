// SPDX-License-Identifier: GPL-3.0-or-later
// Many samples placed at once (a treated file, a change of Reichweite) end exactly as the
// same points identified one click after another: same samples, same order, same lines.
#include "support/session.h"
#include "batch/width_file.h"
#include "identify/identify_point.h"
#include "support/null_surface.h"

#include <bit>
#include <cstdio>

namespace teravine {
namespace {

using BatchPlacing = AppTest;

std::uint32_t bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

bool same_line(const Line& a, const Line& b) {
    if (a.count != b.count || a.points.size() != b.points.size()) {
        return false;
    }
    for (std::size_t j = 0; j < a.points.size(); ++j) {
        if (bits(a.points[j].ad) != bits(b.points[j].ad) ||
            bits(a.points[j].eg) != bits(b.points[j].eg)) {
            return false;
        }
    }
    return true;
}

void expect_same(const PlacedSample& got, const PlacedSample& want, std::size_t p) {
    EXPECT_EQ(bits(got.record.iw_ad), bits(want.record.iw_ad)) << "sample " << p;
    EXPECT_EQ(bits(got.record.iw_eg), bits(want.record.iw_eg)) << "sample " << p;
    EXPECT_EQ(bits(got.record.n), bits(want.record.n)) << "sample " << p;
    EXPECT_EQ(got.record.label, want.record.label) << "sample " << p;
    EXPECT_TRUE(same_line(got.line_k, want.line_k)) << "k line of sample " << p;
    EXPECT_TRUE(same_line(got.line_n, want.line_n)) << "N line of sample " << p;
    EXPECT_TRUE(same_line(got.line_s, want.line_s)) << "%S line of sample " << p;
    EXPECT_TRUE(same_line(got.line_fp, want.line_fp)) << "Nfp line of sample " << p;
}

// Identifies the pairs one by one with the plain builders, as clicks did before any
// tables existed; returns the samples and leaves the last located record in interp.
SampleList one_by_one(std::int16_t reich, const std::vector<float>& ad,
                      const std::vector<float>& eg, InterpRecord& interp) {
    Calibration cal = make_calibration(reich);
    SampleList out;
    for (std::size_t i = 0; i < ad.size(); ++i) {
        float y = eg[i];
        if (auto placed = identify_point(cal, interp, ad[i], y)) {
            out.push_back(std::move(*placed));
        }
    }
    return out;
}

// A file of `count` samples over the whole frame, some twice, some outside the model.
std::string many_samples(int count = 600) {
    std::string text = "Many\r\n" + std::to_string(count) + ", 0\r\n";
    char line[64];
    for (int i = 0; i < count; ++i) {
        const double ad = 0.02 + 1.06 * ((i * 37) % 600) / 600.0;
        const double eg = ad * (0.5 + 0.55 * ((i * 11) % 100) / 100.0);
        std::snprintf(line, sizeof line, "%.5f, %.5f\r\n", i % 50 == 7 ? 0.5 : ad,
                      i % 50 == 7 ? 0.4 : eg);
        text += line;
    }
    return text;
}

TEST_F(BatchPlacing, TreatedFileIsPlacedAsClicksWouldPlaceIt) {
    const auto in = folder.write("many.IW", many_samples());
    services.open_answers = {ScriptedServices::chosen(in)};
    services.save_answers = {ScriptedServices::chosen(folder.file("many.IWO"))};
    terav.Tr_fi_Click();
    ASSERT_TRUE(services.messages.empty());

    const auto widths = read_width_file(in);
    ASSERT_TRUE(widths);
    InterpRecord last;
    const SampleList want = one_by_one(1, widths->ad, widths->eg, last);
    ASSERT_GT(want.size(), 300U);
    ASSERT_LT(want.size(), 600U); // some were refused
    ASSERT_EQ(state().samples.size(), want.size());
    for (std::size_t p = 0; p < want.size(); ++p) {
        expect_same(state().samples[p], want[p], p + 1);
    }
    EXPECT_EQ(bits(state().interp.frac), bits(last.frac));
    EXPECT_EQ(bits(state().interp.k), bits(last.k));
    EXPECT_EQ(state().interp.row_lo, last.row_lo);

    // Each placed sample printed its label once, in file order.
    std::vector<std::string> labels;
    for (const std::string& text : shown_texts()) {
        if (text.rfind("N:", 0) == 0) {
            labels.push_back(text);
        }
    }
    ASSERT_EQ(labels.size(), want.size());
    for (std::size_t p = 0; p < want.size(); ++p) {
        EXPECT_EQ(labels[p], want[p].record.label) << "label " << p + 1;
    }
}

TEST_F(BatchPlacing, ChangeOfReichweiteIdentifiesEverySampleAfreshInItsOrder) {
    const auto in = folder.write("many.IW", many_samples());
    services.open_answers = {ScriptedServices::chosen(in)};
    services.save_answers = {ScriptedServices::chosen(folder.file("many.IWO"))};
    terav.Tr_fi_Click();
    std::vector<float> ad, eg;
    for (const PlacedSample& s : state().samples) {
        ad.push_back(s.record.iw_ad);
        eg.push_back(s.record.iw_eg);
    }

    terav.R_3_Click();
    InterpRecord last;
    const SampleList want = one_by_one(3, ad, eg, last);
    ASSERT_LT(want.size(), ad.size()); // the R3 axes end at 0.9: some samples drop out
    ASSERT_EQ(state().samples.size(), want.size());
    for (std::size_t p = 0; p < want.size(); ++p) {
        expect_same(state().samples[p], want[p], p + 1);
    }
    EXPECT_EQ(bits(state().interp.frac), bits(last.frac));
}

// Long steps show the busy pointer and always take it away again; short ones leave it.
TEST(BusyPointer, ShowsOverManySamplesOnly) {
    for (const auto& [count, shown] : {std::pair{600, false}, std::pair{4000, true}}) {
        Session<NullSurface> session;
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
