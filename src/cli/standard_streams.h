// SPDX-License-Identifier: GPL-3.0-or-later
// "-" on the command line, as Unix tools read it: standard input where a file is read,
// standard output where a file is written. Every command that takes a file goes
// through these, so "-" means the same everywhere.
#pragma once

#include "text/outcome.h"
#include "text/text_file.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace teravine::cli {

inline bool is_standard_stream(const std::string& path) {
    return path == "-";
}

// The whole text of the file, or of standard input for "-".
Outcome<std::string> read_input_text(const std::string& path);

// Opens the writer on the file, to be written whole (LineWriter::open_whole), or on
// standard output for "-"; the failure text if any.
std::optional<std::string> open_output_whole(LineWriter& out, const std::string& path);

// Writes the lines `write` gives to the file, or to standard output for "-", whole: a file
// is written beside its place under another name and takes it only once every line is
// written, so a failed write leaves no part of a file and whatever was there before. The
// failure text, naming the file, if any.
std::optional<std::string> write_output_whole(const std::string& path, std::string_view line_end,
                                              const std::function<void(LineWriter&)>& write);

// Writes the bytes to the file whole (write_file_whole), or to standard output for "-".
// The failure text, naming the file, if any.
std::optional<std::string> write_bytes_output(const std::string& path, std::string_view bytes);

// A command's result written as write_bytes_output writes it, after what standard output
// holds already: the stream for what the command then says of it, standard output, or
// standard error when the result took standard output. Nothing when the write failed, its
// failure said on standard error.
std::ostream* write_result_bytes(const std::string& path, std::string_view bytes);

// An output of a command and the option that names it ("-o", "--csv").
using NamedOutput = std::pair<std::string, std::string_view>;

// The refusal to show when two of the outputs of one command name the same file (the same
// path, a link to it, or two spellings of one path not yet written); nothing otherwise.
// Standard output and outputs not asked for are skipped.
std::optional<std::string> same_output(const std::vector<NamedOutput>& outputs);

// How messages name an output: its path, or "standard output".
std::string output_name(const std::string& path);

} // namespace teravine::cli
