// SPDX-License-Identifier: GPL-3.0-or-later
// Whole text files in, CR LF lines out, with failures described in plain English.
#pragma once

#include "text/outcome.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

// Input files are read whole; nothing the program reads comes near this size
// (32767 samples make well under a megabyte), so a bigger file is refused
// rather than read without bound (a device such as /dev/zero never ends).
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{64} << 20;

// The refusal read_text_file gives the file at path when it holds this many bytes, or
// nothing when the size is allowed: for whoever knows a file's size before reading it.
std::optional<std::string> text_file_size_refusal(const std::string& path, std::uintmax_t bytes);

// The bytes of the file, unchanged. Failures: 'The file "x" cannot be opened: ...',
// '... cannot be read: ...', '... is larger than 64 MiB ...'.
Outcome<std::string> read_text_file(const std::string& path);
// The same from a stream that is open already (standard input), read to its end; the
// failures begin with `subject` ("Standard input") instead of 'The file "x"'.
// expected_bytes, when known, is room made for the content beforehand.
Outcome<std::string> read_text_stream(std::FILE* stream, const std::string& subject,
                                      std::size_t expected_bytes = 0);

// Writes lines ending in CR LF (or the given line end), buffered. The first failure is kept and
// every later write does nothing; close() reports it. The file is created (or emptied) by open();
// open_whole() writes it whole instead: the lines go to a temporary file beside the target, and
// close() puts it in the target's place only once every line is written, flushed and synced to
// the disk. A failure (or a writer dropped without close) keeps the old file as it was and
// removes the temporary one.
class LineWriter {
public:
    LineWriter() = default;
    explicit LineWriter(std::string_view line_end) : line_end_(line_end) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter(); // closes without reporting

    // 'The file "x" cannot be created: ...' on failure.
    std::optional<std::string> open(const std::string& path);
    // The same, written whole. A link is followed, so the file it names is replaced and the
    // link kept; a device or a pipe is written in place, as there is nothing to replace.
    std::optional<std::string> open_whole(const std::string& path);
    // Writes to standard output instead; close() flushes it and leaves it open.
    void open_standard_output();
    void line(std::string_view text);
    // Flushes and closes; the first failure of open, line or close, if any.
    std::optional<std::string> close();
    // Gives up a whole write: the file it would replace stays as it was. Any other output
    // is closed as close() closes it.
    void abandon();
    bool failed() const { return failure_.has_value(); }
    // The system's own words for the first failure ("No space left on device"), if any.
    const std::string& reason() const { return reason_; }

private:
    void fail(const char* doing, int error);
    void drop_temporary();
    // Closes what was open and forgets its failure, to write `path` next.
    void start_over(const std::string& path);

    std::string target_;    // the file a whole write replaces; empty otherwise
    std::string temporary_; // where a whole write goes until close()
    int tracked_ = -1;      // its slot among the files a stop by signal removes

    std::FILE* file_ = nullptr;
    bool owned_ = true;   // false for standard output
    std::string subject_; // 'The file "x"' or "Standard output"
    std::optional<std::string> failure_;
    std::string reason_;
    std::string line_end_ = "\r\n";
};

// Writes `bytes` to `path` whole, as LineWriter::open_whole does. The failure text, naming
// the file, if any.
std::optional<std::string> write_file_whole(const std::string& path, std::string_view bytes);

} // namespace teravine
