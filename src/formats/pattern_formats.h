// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern formats Teravine reads: each one's name, suffixes, the signature that tells
// its content under any name, and its reader.
#pragma once

#include "formats/pattern_file.h"

#include <string_view>
#include <vector>

namespace teravine {

struct PatternFormat {
    std::string_view name;                  // as `pattern --info` prints it
    std::vector<std::string_view> suffixes; // lower case, with the dot
    // Whether the bytes are surely of this format whatever the file's name (a magic
    // number, a root element); null when the format has no such signature.
    bool (*recognises)(std::string_view bytes);
    ScanReader read;
    std::string_view description; // what the guide's table of formats says of it
};

// Every format, those with the surest signatures first.
const std::vector<PatternFormat>& pattern_formats();

// Every suffix of every format, in the table's order.
std::vector<std::string_view> pattern_suffixes();

// The format that reads the file: the first whose signature the bytes carry, else the one
// whose suffix the file has (lower-cased); null when neither.
const PatternFormat* format_of(std::string_view bytes, std::string_view lower_suffix);

} // namespace teravine
