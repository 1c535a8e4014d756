// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_streams.h"

#include <cstdio>

namespace teravine::cli {

Outcome<std::string> read_input_text(const std::string& path) {
    if (is_standard_stream(path)) {
        return read_text_stream(stdin, "Standard input");
    }
    return read_text_file(path);
}

std::optional<std::string> open_output(LineWriter& out, const std::string& path) {
    if (is_standard_stream(path)) {
        out.open_standard_output();
        return std::nullopt;
    }
    return out.open(path);
}

std::string output_name(const std::string& path) {
    return is_standard_stream(path) ? "standard output" : path;
}

} // namespace teravine::cli
