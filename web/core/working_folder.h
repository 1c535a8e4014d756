// SPDX-License-Identifier: GPL-3.0-or-later
// A file the page hands over lives in a folder of the module's file system; it is opened by
// its name with that folder as the working folder, so that whatever records the file's
// path (a measurement, a profile) records its name, all a browser knows of it.
#pragma once

#include <string>

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

} // namespace teravine::web
