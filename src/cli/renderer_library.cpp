// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/renderer_library.h"

#include "teravine_version.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace teravine::cli {
namespace {

std::string cannot_draw(const std::string& reason) {
    return "Cannot draw figures: " + reason;
}

} // namespace

std::string renderer_path() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::path(".") : program.parent_path();
    return (folder / TERAVINE_RENDERER_FROM_BIN / kFigureRendererFile).lexically_normal().string();
}

Outcome<const FigureRenderer*> open_figure_renderer(const std::string& path) {
    // Kept open until the process ends: Qt's objects outlive any one figure.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        return Failure{cannot_draw(why != nullptr ? why : path + " did not load")};
    }
    using Entry = const FigureRenderer* (*)();
    auto* entry = reinterpret_cast<Entry>(dlsym(library, kFigureRendererSymbol));
    const FigureRenderer* table = entry != nullptr ? entry() : nullptr;
    if (table == nullptr || table->version == nullptr ||
        std::strcmp(table->version, kVersion) != 0 || table->layout != figure_renderer_layout()) {
        dlclose(library);
        return Failure{cannot_draw(path + " belongs to another build of Teravine")};
    }
    return table;
}

Outcome<const FigureRenderer*> figure_renderer() {
    static const Outcome<const FigureRenderer*> opened = open_figure_renderer(renderer_path());
    return opened;
}

} // namespace teravine::cli
