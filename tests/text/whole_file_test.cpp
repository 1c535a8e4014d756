// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_file.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace teravine {
namespace {

namespace fs = std::filesystem;

// Each way a whole write ends, written straight or through a link: the target holds the
// new text only after a close without failure, keeps its permissions, the link stays a
// link, and nothing else is left in the folder.
TEST(WholeFile, ReplacesTheTargetOnlyWhenComplete) {
    enum class End { close, drop, reopen };
    const struct {
        End end;
        bool through_link;
        const char* target_after;
    } cases[] = {{End::close, false, "new\r\n"},
                 {End::close, true, "new\r\n"},
                 {End::drop, false, "old"},
                 {End::reopen, true, "old"}};
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

} // namespace
} // namespace teravine
