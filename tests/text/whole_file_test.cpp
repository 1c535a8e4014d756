// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/same_file.h"
#include "text/text_file.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace teravine {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each way a whole write ends: the target holds the new text only after a close without
// failure, and the temporary file is gone in every case.
TEST(WholeFile, ReplacesTheTargetOnlyWhenComplete) {
    enum class End { close, drop, reopen };
    const struct {
        End end;
        const char* target_after;
    } cases[] = {{End::close, "new\r\n"}, {End::drop, "old"}, {End::reopen, "old"}};
    for (const auto& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.write("r.IWO", "old");
        ::chmod(path.c_str(), 0640);
        {
            LineWriter out;
            ASSERT_FALSE(out.open_whole(path));
            out.line("new");
            EXPECT_EQ(ScratchFolder::read(path), "old") << "written in place";
            if (c.end == End::close) {
                EXPECT_FALSE(out.close());
            } else if (c.end == End::reopen) {
                out.open_standard_output();
            }
        }
        EXPECT_EQ(ScratchFolder::read(path), c.target_after);
        EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"r.IWO"});
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
}

TEST(WholeFile, FollowsALinkAndNamesTheTargetInFailures) {
    ScratchFolder folder;
    const std::string real = folder.write("real.csv", "old");
    const std::string link = folder.file("link.csv");
    fs::create_symlink(real, link);
    ASSERT_FALSE(write_file_whole(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ScratchFolder::read(real), "new");

    const std::string missing = folder.file("no/such.csv");
    const auto failure = write_file_whole(missing, "x");
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure,
              "The file \"" + missing + "\" cannot be created: No such file or directory.");
    EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"link.csv", "real.csv"}));
}

TEST(SameFile, ComparesFilesAndPathsNotSpellings) {
    ScratchFolder folder;
    folder.write("a.IWO", "a");
    fs::create_directory(folder.path() / "sub");
    fs::create_symlink(folder.file("a.IWO"), folder.file("soft.csv"));
    fs::create_hard_link(folder.file("a.IWO"), folder.file("hard.csv"));
    fs::create_symlink(folder.file("later.IWO"), folder.file("ahead.csv")); // not there yet
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"a.IWO", "a.IWO", true},         {"a.IWO", "sub/../a.IWO", true},
        {"a.IWO", "soft.csv", true},      {"a.IWO", "hard.csv", true},
        {"later.IWO", "ahead.csv", true}, {"new.csv", "sub/../new.csv", true},
        {"a.IWO", "b.IWO", false},        {"new.csv", "sub/new.csv", false},
        {"later.IWO", "soft.csv", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(same_file(folder.file(c.a), folder.file(c.b)), c.same) << c.a << " " << c.b;
    }
}

} // namespace
} // namespace teravine
