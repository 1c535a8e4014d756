// SPDX-License-Identifier: GPL-3.0-or-later
// A widget application, offscreen unless a platform was asked for, for the whole run.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetsEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_qt";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

} // namespace
