// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/same_file.h"

#include <filesystem>
#include <system_error>

namespace teravine {
namespace {

namespace fs = std::filesystem;

// Where a path leads: its links followed, also a last link to a file not made yet.
fs::path leads_to(const std::string& path, std::error_code& ec) {
    fs::path at = fs::absolute(path, ec);
    std::error_code missing; // a path not there yet is no failure here
    for (int hops = 0; hops < 40 && !ec && fs::is_symlink(fs::symlink_status(at, missing));
         ++hops) {
        const fs::path target = fs::read_symlink(at, ec);
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return ec ? fs::path() : fs::weakly_canonical(at, ec);
}

} // namespace

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        return fs::equivalent(a, b, ec) && !ec;
    }
    ec.clear();
    const fs::path left = leads_to(a, ec);
    if (ec) {
        return false;
    }
    const fs::path right = leads_to(b, ec);
    return !ec && left == right;
}

} // namespace teravine
