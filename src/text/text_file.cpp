// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace teravine {
namespace {

std::string file_subject(const std::string& path) {
    return "The file \"" + path + "\"";
}

std::string describe(const std::string& subject, const char* doing, int error) {
    std::string text = subject + " " + doing;
    if (error != 0) {
        text += ": ";
        text += std::strerror(error);
    }
    return text + ".";
}

struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

Outcome<std::string> read_text_file(const std::string& path) {
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return Failure{describe(file_subject(path), "cannot be opened", errno)};
    }
    // Room for the whole file at once: a string grown by appending may hold twice its size.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return read_text_stream(
        file.get(), file_subject(path),
        error ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxTextFileBytes)));
}

Outcome<std::string> read_text_stream(std::FILE* stream, const std::string& subject,
                                      std::size_t expected_bytes) {
    std::string content;
    content.reserve(expected_bytes + 1);
    char buffer[1 << 16];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        if (got > 0) {
            if (content.size() + got > kMaxTextFileBytes) {
                return Failure{subject + " is larger than 64 MiB, far too large for a width or "
                                         "correction file."};
            }
            content.append(buffer, got);
        }
        if (got < sizeof buffer) {
            if (std::ferror(stream)) {
                return Failure{describe(subject, "cannot be read", errno)};
            }
            break;
        }
    }
    return content;
}

LineWriter::~LineWriter() {
    if (file_ != nullptr && owned_) {
        std::fclose(file_);
    }
}

std::optional<std::string> LineWriter::open(const std::string& path) {
    if (file_ != nullptr && owned_) {
        std::fclose(file_);
    }
    owned_ = true;
    subject_ = file_subject(path);
    failure_.reset();
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        fail("cannot be created", errno);
        return failure_;
    }
    std::setvbuf(file_, nullptr, _IOFBF, std::size_t{1} << 16);
    return std::nullopt;
}

void LineWriter::open_standard_output() {
    if (file_ != nullptr && owned_) {
        std::fclose(file_);
    }
    file_ = stdout;
    owned_ = false;
    subject_ = "Standard output";
    failure_.reset();
}

void LineWriter::fail(const char* doing, int error) {
    if (!failure_) {
        failure_ = describe(subject_, doing, error);
    }
}

void LineWriter::line(std::string_view text) {
    if (file_ == nullptr || failure_) {
        return;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fwrite(line_end_.data(), 1, line_end_.size(), file_) != line_end_.size()) {
        fail("cannot be written", errno);
    }
}

std::optional<std::string> LineWriter::close() {
    if (file_ != nullptr) {
        errno = 0;
        const bool flushed = std::fflush(file_) == 0;
        const int flush_error = errno;
        errno = 0;
        // Standard output stays open for whatever the program writes after the file.
        const bool closed = owned_ ? std::fclose(file_) == 0 : std::ferror(file_) == 0;
        const int close_error = errno;
        file_ = nullptr;
        if (!flushed) {
            fail("cannot be written", flush_error);
        } else if (!closed) {
            fail("cannot be written", close_error);
        }
    }
    return failure_;
}

} // namespace teravine
