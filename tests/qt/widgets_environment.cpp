// SPDX-License-Identifier: GPL-3.0-or-later
// A widget application for the whole run: offscreen on a laptop's screen of 1366 × 768
// unless another platform was asked for (under Xvfb, its screen), with settings of its own.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetsEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        // The test presets ask for plain "offscreen", whose screen is 800 × 800.
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (platform.isEmpty() || platform == "offscreen") {
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TERAVINE_TEST_SCREEN);
        }
        // What the dialogs remember stays with this run, never in the user's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_qt";
    char* argv_[2] = {name_, nullptr};
    QTemporaryDir settings_;
    std::unique_ptr<QApplication> app_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

} // namespace
