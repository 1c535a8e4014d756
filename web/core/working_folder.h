// SPDX-License-Identifier: GPL-3.0-or-later
// A file the page hands over lives in a folder of the module's file system; it is opened by
// its name with that folder as the working folder, so that whatever records the file's
// path (a measurement, a profile) records its name, all a browser knows of it.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace teravine::web {

// Runs `work` within `folder`, and returns what it returns; the working folder is the one
// before afterwards.
template <class Work> auto in_folder(const std::string& folder, Work work) {
    char here[4096];
    const bool known = getcwd(here, sizeof here) != nullptr;
    const bool moved = chdir(folder.c_str()) == 0;
    auto result = work();
    if (moved && known) {
        (void)chdir(here);
    }
    return result;
}

// Where the page keeps every file handed to it, each input in a folder of its own.
inline constexpr const char* kPageFiles = "/in";

// The page's files of that name (the name alone, without a folder), in no set order; none
// for an empty name. A store is a few files a user handed over: the walk stops after
// kMostPageFiles entries all the same.
inline constexpr std::size_t kMostPageFiles = 10000;
inline std::vector<std::string> page_files_named(const std::string& name) {
    std::vector<std::string> found;
    const std::filesystem::path wanted = std::filesystem::path(name).filename();
    if (wanted.empty()) {
        return found;
    }
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(kPageFiles, error), end;
    for (std::size_t seen = 0; !error && walk != end && seen < kMostPageFiles;
         walk.increment(error), ++seen) {
        if (walk->path().filename() == wanted && walk->is_regular_file(error)) {
            found.push_back(walk->path().string());
        }
    }
    return found;
}

} // namespace teravine::web
