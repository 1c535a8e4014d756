// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_streams.h"

#include "text/same_file.h"

#include <cstdio>
#include <iostream>

namespace teravine::cli {

Outcome<std::string> read_input_text(const std::string& path) {
    if (is_standard_stream(path)) {
        return read_text_stream(stdin, "Standard input");
    }
    return read_text_file(path);
}

std::optional<std::string> open_output_whole(LineWriter& out, const std::string& path) {
    if (is_standard_stream(path)) {
        out.open_standard_output();
        return std::nullopt;
    }
    return out.open_whole(path);
}

std::optional<std::string> write_output_whole(const std::string& path, std::string_view line_end,
                                              const std::function<void(LineWriter&)>& write) {
    LineWriter out(line_end);
    if (auto failure = open_output_whole(out, path)) {
        return failure;
    }
    write(out);
    return out.close();
}

std::optional<std::string> write_bytes_output(const std::string& path, std::string_view bytes) {
    if (!is_standard_stream(path)) {
        return write_file_whole(path, bytes);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return std::string("Standard output cannot be written.");
    }
    return std::nullopt;
}

std::ostream* write_result_bytes(const std::string& path, std::string_view bytes) {
    std::cout.flush();
    if (const auto failure = write_bytes_output(path, bytes)) {
        std::cerr << *failure << "\n";
        return nullptr;
    }
    return is_standard_stream(path) ? &std::cerr : &std::cout;
}

std::optional<std::string> same_output(const std::vector<NamedOutput>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const auto& [a, a_name] = outputs[i];
            const auto& [b, b_name] = outputs[j];
            if (a.empty() || b.empty() || is_standard_stream(a) || is_standard_stream(b) ||
                !same_file(a, b)) {
                continue;
            }
            return std::string(a_name) + " \"" + a + "\" and " + std::string(b_name) + " \"" + b +
                   "\" name the same file; one would overwrite the other. Nothing was written: "
                   "give each output a name of its own.";
        }
    }
    return std::nullopt;
}

std::string output_name(const std::string& path) {
    return is_standard_stream(path) ? "standard output" : path;
}

} // namespace teravine::cli
