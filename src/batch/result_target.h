// SPDX-License-Identifier: GPL-3.0-or-later
// A result file must never replace a file the treatment has just read: the widths (or
// the correction table) would be lost. The files themselves are compared, not the
// spellings of their paths, so "a.IW", "./a.IW", a symbolic or a hard link all count.
#pragma once

#include <optional>
#include <string>

namespace teravine {

// The message to show when result_path names the same file as input_path (`what`
// names the input: "width file", "correction table"); nothing when they differ or when
// either does not exist yet.
std::optional<std::string> result_replaces_input(const std::string& result_path,
                                                 const std::string& input_path,
                                                 const std::string& what);

} // namespace teravine
