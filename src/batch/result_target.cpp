// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_target.h"

#include <filesystem>
#include <system_error>

namespace teravine {

std::optional<std::string> result_replaces_input(const std::string& result_path,
                                                 const std::string& input_path,
                                                 const std::string& what) {
    std::error_code ec;
    if (!std::filesystem::equivalent(result_path, input_path, ec) || ec) {
        return std::nullopt;
    }
    return "The result file \"" + result_path + "\" is the " + what + " \"" + input_path +
           "\" just read; writing it would destroy that file. Nothing was written: choose "
           "another name for the result file.";
}

} // namespace teravine
