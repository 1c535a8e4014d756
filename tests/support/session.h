// SPDX-License-Identifier: GPL-3.0-or-later
// A started window on scripted services with a picture of the test's choosing and a
// scratch folder for its files: the one session of the app and hostile tests.
#pragma once

#include "app/terav.h"
#include "support/recording_surface.h"
#include "support/scratch_folder.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace teravine {

template <class Picture> class Session {
public:
    ScriptedServices services;
    Picture picture;
    Terav terav{services, picture};
    ScratchFolder folder;

    Session() { terav.Form_Load(); }

    const TeravState& state() const { return terav.state(); }

    void type_and_draw(const std::string& broad, const std::string& ad, const std::string& eg) {
        services.boxes[TextBox::Broad] = broad;
        services.boxes[TextBox::Xls] = ad;
        services.boxes[TextBox::Yls] = eg;
        terav.Command1_Click();
    }

    // Moves the pointer onto the surface position of the widths and clicks.
    void click_at(float ad, float eg) {
        const PlotWindow& p = state().plot;
        terav.pct1_MouseMove(x_to_surface(ad, p.xmin, p.xorig, p.xunit) + 0.0001f,
                             y_to_surface(eg, p.ymin, p.yorig, p.yunit) - 0.0001f);
        terav.pct1_Click();
    }

    // "Treat File" on the given width file; the result goes to result.IWO.
    std::string treat(const std::string& in_path, const std::string& name = "result.IWO") {
        const auto out = folder.file(name);
        services.open_answers = {ScriptedServices::chosen(in_path)};
        services.save_answers = {ScriptedServices::chosen(out)};
        terav.Tr_fi_Click();
        return out;
    }

    // Every grid family and every identical line of the menus checked.
    void switch_every_line_on() {
        for (auto click :
             {&Terav::C_N_Click, &Terav::C_perc_Click, &Terav::c_inf_Click, &Terav::Id_k_Click,
              &Terav::Id_n_Click, &Terav::Id_s_Click, &Terav::Id_inf_Click}) {
            (terav.*click)();
        }
    }

    // "File table" on the given correction file.
    void load_table(const std::string& path) {
        services.open_answers = {ScriptedServices::chosen(path)};
        terav.file_option_Click();
    }
};

// A window session on a recording picture, as a test fixture.
class AppTest : public ::testing::Test, public Session<RecordingSurface> {
protected:
    // What the picture shows: the texts printed since it was last cleared.
    std::vector<std::string> shown_texts() const {
        std::vector<std::string> out;
        for (const Op& op : picture.ops) {
            if (op.kind == OpKind::clear) {
                out.clear();
            } else if (op.kind == OpKind::text) {
                out.push_back(op.text);
            }
        }
        return out;
    }
    std::size_t shown_count(const std::string& text) const {
        const auto texts = shown_texts();
        return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
    }
};

} // namespace teravine
