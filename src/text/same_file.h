// SPDX-License-Identifier: GPL-3.0-or-later
// Whether two paths name one file, however they are spelled.
#pragma once

#include <string>

namespace teravine {

// When both exist the files themselves are compared, so a symbolic or a hard link and
// "./a" all count; otherwise the paths as they would resolve (links followed as far as
// they exist), so two outputs not yet written are told apart before either is made.
bool same_file(const std::string& a, const std::string& b);

} // namespace teravine
