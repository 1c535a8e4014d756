// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace teravine {
namespace {

// The temporary files of the whole writes under way, for a stop by signal to remove: a
// few slots, each a path or null, read by the handler without locks.
std::array<std::atomic<const char*>, 16> pending_temporaries{};

extern "C" void remove_temporaries_and_stop(int signal) {
    for (auto& slot : pending_temporaries) {
        if (const char* path = slot.load()) {
            ::unlink(path);
        }
    }
    struct sigaction usual {};
    usual.sa_handler = SIG_DFL;
    ::sigaction(signal, &usual, nullptr);
    ::raise(signal);
}

// SIGINT, SIGTERM and SIGHUP, where nothing else handles or ignores them, first remove the
// temporary files; then the program stops as it would have.
void handle_stops_once() {
    static const bool installed = [] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
                struct sigaction cleanup {};
                cleanup.sa_handler = remove_temporaries_and_stop;
                sigemptyset(&cleanup.sa_mask);
                ::sigaction(signal, &cleanup, nullptr);
            }
        }
        return true;
    }();
    static_cast<void>(installed);
}

// The slot now holding `path`, or -1 when all are taken (the file is then only removed
// on failures and normal exits, as before).
int track_temporary(const char* path) {
    handle_stops_once();
    for (std::size_t i = 0; i < pending_temporaries.size(); ++i) {
        const char* empty = nullptr;
        if (pending_temporaries[i].compare_exchange_strong(empty, path)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void untrack_temporary(int slot) {
    if (slot >= 0) {
        pending_temporaries[static_cast<std::size_t>(slot)].store(nullptr);
    }
}

std::string file_subject(const std::string& path) {
    return "The file \"" + path + "\"";
}

std::optional<std::string> text_size_refusal(const std::string& subject, std::uintmax_t bytes) {
    if (bytes <= kMaxTextFileBytes) {
        return std::nullopt;
    }
    return subject + " is larger than 64 MiB, far too large for a width or correction file.";
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

std::optional<std::string> text_file_size_refusal(const std::string& path, std::uintmax_t bytes) {
    return text_size_refusal(file_subject(path), bytes);
}

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
            if (auto refusal = text_size_refusal(subject, content.size() + got)) {
                return Failure{std::move(*refusal)};
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
    drop_temporary();
}

void LineWriter::drop_temporary() {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
    untrack_temporary(tracked_);
    tracked_ = -1;
    temporary_.clear();
    target_.clear();
}

void LineWriter::start_over(const std::string& path) {
    if (file_ != nullptr && owned_) {
        std::fclose(file_);
    }
    file_ = nullptr;
    drop_temporary();
    owned_ = true;
    subject_ = file_subject(path);
    failure_.reset();
    reason_.clear();
}

std::optional<std::string> LineWriter::open(const std::string& path) {
    start_over(path);
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        fail("cannot be created", errno);
        return failure_;
    }
    std::setvbuf(file_, nullptr, _IOFBF, std::size_t{1} << 16);
    return std::nullopt;
}

std::optional<std::string> LineWriter::open_whole(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return open(path);
    }
    fs::path target = path;
    if (fs::exists(status)) {
        const auto resolved = fs::canonical(path, ec);
        target = ec ? target : resolved;
    }
    start_over(path);

    // A name of its own for each write, in the target's folder so that the rename stays
    // on one file system; hidden, so that a file manager does not show it meanwhile.
    static std::atomic<unsigned> written{0};
    const fs::path folder = target.parent_path();
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                               "-" + std::to_string(written++) + ".part"))
                        .string();
        errno = 0;
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        fail("cannot be created", errno);
        return failure_;
    }
    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    if (fs::exists(status) && ::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        fail("cannot be created", error);
        return failure_;
    }
    temporary_ = temporary;
    tracked_ = track_temporary(temporary_.c_str());
    target_ = target.string();
    std::setvbuf(file_, nullptr, _IOFBF, std::size_t{1} << 16);
    return std::nullopt;
}

void LineWriter::open_standard_output() {
    if (file_ != nullptr && owned_) {
        std::fclose(file_);
    }
    drop_temporary();
    file_ = stdout;
    owned_ = false;
    subject_ = "Standard output";
    failure_.reset();
    reason_.clear();
}

void LineWriter::fail(const char* doing, int error) {
    if (!failure_) {
        failure_ = describe(subject_, doing, error);
        reason_ = error != 0 ? std::strerror(error) : doing;
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

void LineWriter::abandon() {
    if (temporary_.empty()) {
        close();
        return;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    drop_temporary();
}

std::optional<std::string> LineWriter::close() {
    if (file_ != nullptr) {
        errno = 0;
        bool flushed = std::fflush(file_) == 0;
        int flush_error = errno;
        // A whole write is on the disk before it takes the target's place.
        if (flushed && !temporary_.empty() && ::fsync(::fileno(file_)) != 0) {
            flushed = false;
            flush_error = errno;
        }
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
    if (!temporary_.empty() && !failure_) {
        errno = 0;
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            fail("cannot be written", errno);
        } else {
            untrack_temporary(tracked_);
            tracked_ = -1;
            temporary_.clear();
        }
    }
    drop_temporary(); // after a failure the old file stays and the temporary one goes
    return failure_;
}

std::optional<std::string> write_file_whole(const std::string& path, std::string_view bytes) {
    LineWriter out("");
    if (auto failure = out.open_whole(path)) {
        return failure;
    }
    out.line(bytes);
    return out.close();
}

} // namespace teravine
