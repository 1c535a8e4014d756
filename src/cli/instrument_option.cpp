// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/instrument_option.h"

namespace teravine::cli {

CLI::Option* add_instrument_option(CLI::App& command, std::string& path) {
    auto* option = command.add_option(
        "--instrument", path,
        "instrument profile (JSON, written by teravine-cli instrument): b and its u from it");
    if (auto* broadening = command.get_option_no_throw("--broadening")) {
        option->excludes(broadening);
    }
    return option;
}

Outcome<std::optional<InstrumentProfile>> chosen_instrument(const std::string& path) {
    if (path.empty()) {
        return std::optional<InstrumentProfile>();
    }
    auto profile = read_instrument_profile(path);
    if (!profile) {
        return Failure{profile.error()};
    }
    return std::optional<InstrumentProfile>(std::move(profile.value()));
}

void take_instrument_sigma(std::optional<WidthSigmas>& sigmas,
                           const std::optional<InstrumentProfile>& profile,
                           const CLI::App& command) {
    const auto* given = command.get_option_no_throw("--sigma-broadening");
    if (sigmas && profile && (given == nullptr || given->count() == 0)) {
        sigmas->broadening = static_cast<float>(profile->u_b);
    }
}

} // namespace teravine::cli
