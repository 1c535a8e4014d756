// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the window's session reader on arbitrary bytes. A refusal names the
// file; what it accepts writes out and reads back with the same samples.
#include "app/window_session.h"
#include "fuzz_support.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using teravine::fuzz::require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = read_session_text(text, "S");
    if (!read) {
        require(read.error().rfind("S ", 0) == 0, "a refusal names the session");
        return 0;
    }
    const auto again = read_session_text(session_json(*read), "S");
    require(again.ok(), "a session written by the program reads back");
    require(again->samples.size() == read->samples.size(), "with its samples");
    require(again->lab.profile.has_value() == read->lab.profile.has_value() &&
                again->lab.cis.has_value() == read->lab.cis.has_value(),
            "and its calibration");
    return 0;
}
