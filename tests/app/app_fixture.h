// A started window with scripted services and a recording picture.
#pragma once

#include "app/terav.h"
#include "support/recording_surface.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace teravine {

class AppTest : public ::testing::Test {
protected:
    ScriptedServices services;
    RecordingSurface picture;
    Terav terav{services, picture};
    std::filesystem::path dir;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("teravine-app-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        terav.Form_Load();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

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

    std::string write_file(const std::string& name, const std::string& content) {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::string read_file(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

} // namespace teravine
