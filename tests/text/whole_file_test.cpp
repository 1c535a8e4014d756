// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_file.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace teravine {
namespace {

namespace fs = std::filesystem;

// Each way a whole write ends, written straight or through a link: the target holds the
// new text only after a close without failure, keeps its permissions, the link stays a
// link, and nothing else is left in the folder.
// A file's size judged before reading it gives the refusal reading it would give: none at
// the limit, the reader's own words one byte above it.
TEST(WholeFile, ASizeIsRefusedAsReadingRefusesIt) {
    ScratchFolder folder;
    const std::string path = folder.write("big.IW", "");
    for (const std::uintmax_t bytes : {std::uintmax_t{kMaxTextFileBytes}, kMaxTextFileBytes + 1}) {
        fs::resize_file(path, bytes); // sparse: no disk taken
        const auto read = read_text_file(path);
        const auto refusal = text_file_size_refusal(path, bytes);
        EXPECT_EQ(read.ok(), !refusal.has_value()) << bytes;
        if (refusal) {
            EXPECT_EQ(read.error(), *refusal);
        }
    }
}

TEST(WholeFile, ReplacesTheTargetOnlyWhenComplete) {
    enum class End { close, drop, reopen, abandon };
    const struct {
        End end;
        bool through_link;
        const char* target_after;
    } cases[] = {{End::close, false, "new\r\n"},
                 {End::close, true, "new\r\n"},
                 {End::drop, false, "old"},
                 {End::reopen, true, "old"},
                 {End::abandon, false, "old"}};
    for (const auto& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.write("r.IWO", "old");
        ::chmod(path.c_str(), 0640);
        const std::string named = c.through_link ? folder.file("link.IWO") : path;
        if (c.through_link) {
            fs::create_symlink(path, named);
        }
        {
            LineWriter out;
            ASSERT_FALSE(out.open_whole(named));
            out.line("new");
            EXPECT_EQ(ScratchFolder::read(path), "old") << "written in place";
            if (c.end == End::close) {
                EXPECT_FALSE(out.close());
            } else if (c.end == End::reopen) {
                out.open_standard_output();
            } else if (c.end == End::abandon) {
                out.abandon();
                EXPECT_EQ(ScratchFolder::read(path), "old") << "abandoned";
            }
        }
        EXPECT_EQ(ScratchFolder::read(path), c.target_after);
        EXPECT_EQ(fs::is_symlink(named), c.through_link);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()),
                  c.through_link ? 2 : 1);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    const std::string missing = "/nonexistent-folder/r.IWO";
    EXPECT_EQ(write_file_whole(missing, "x"),
              "The file \"" + missing + "\" cannot be created: No such file or directory.");
}

// A program stopped by a signal in the middle of a whole write leaves the target as it
// was and no temporary file beside it, and still ends by that signal.
TEST(WholeFile, AStopBySignalRemovesTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchFolder folder;
        const std::string path = folder.write("r.IWO", "old");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            LineWriter out;
            LineWriter other;
            if (out.open_whole(path) || other.open_whole(folder.file("s.csv"))) {
                ::_exit(2);
            }
            out.line("new");
            ::raise(signal);
            ::_exit(3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " " << status;
        EXPECT_EQ(ScratchFolder::read(path), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
            << signal;
    }
}

} // namespace
} // namespace teravine
