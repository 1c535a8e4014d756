// SPDX-License-Identifier: GPL-3.0-or-later
// A QGuiApplication for drawing without a window: fonts and paint devices need one.
// It is created on the offscreen platform unless the user asked for another one.
#pragma once

#include <memory>

class QGuiApplication;

namespace teravine {

class HeadlessGui {
public:
    // Uses the application that already runs, or starts one for this object's lifetime.
    HeadlessGui();
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

    bool started_here() const { return app_ != nullptr; }

private:
    int argc_ = 1;
    char name_[16] = "teravine";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace teravine
