// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_streams.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

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

std::optional<std::string> write_output_whole(const std::string& path, std::string_view line_end,
                                              const std::function<void(LineWriter&)>& write) {
    LineWriter out(line_end);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    // Standard output, a device or a pipe is written in place: there is nothing to replace.
    if (is_standard_stream(path) ||
        (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))) {
        if (const auto failure = open_output(out, path)) {
            return failure;
        }
        write(out);
        return out.close();
    }
    // A link is followed, so that the file it points to is replaced and the link kept.
    std::filesystem::path target = path;
    if (std::filesystem::exists(status)) {
        const auto resolved = std::filesystem::canonical(path, error);
        target = error ? target : resolved;
    }
    const std::string part = target.string() + ".part" + std::to_string(::getpid());
    auto failure = out.open(part);
    if (!failure) {
        write(out);
        failure = out.close();
    }
    if (!failure) {
        std::filesystem::rename(part, target, error);
        if (error) {
            failure = "The file \"" + path + "\" cannot be written: " + error.message() + ".";
        }
    }
    if (!failure) {
        return std::nullopt;
    }
    std::filesystem::remove(part, error);
    std::string message = *failure;
    for (auto at = message.find(part); at != std::string::npos; at = message.find(part)) {
        message.replace(at, part.size(), path);
    }
    return message;
}

std::string output_name(const std::string& path) {
    return is_standard_stream(path) ? "standard output" : path;
}

} // namespace teravine::cli
