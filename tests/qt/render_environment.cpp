// SPDX-License-Identifier: GPL-3.0-or-later
// A GUI application for the whole test run: fonts and paint devices need one.
#include "qt/render/headless_gui.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class RenderEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { gui_ = std::make_unique<teravine::HeadlessGui>(); }
    void TearDown() override { gui_.reset(); }

private:
    std::unique_ptr<teravine::HeadlessGui> gui_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new RenderEnvironment);

} // namespace
