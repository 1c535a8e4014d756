// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the named sample list reader on arbitrary bytes. A list it accepts
// holds finite widths, no negative broadening or u, at most 32767 samples, and reads
// back the same, qualities included, when written as the program writes lists.
#include "batch/sample_list_file.h"
#include "fuzz_support.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using namespace teravine::fuzz;
    FuzzBytes in(data, size);
    const std::string_view text = in.rest();
    const auto list = read_sample_list_text(text, "L");
    if (!list) {
        require(list.error().rfind("L ", 0) == 0, "a refusal names the list");
        return 0;
    }
    require(list->samples.size() <= kMaxListSamples, "at most 32767 samples");
    std::string written = sample_list_header(true, true) + "\r\n";
    for (const ListedSample& s : list->samples) {
        require(std::isfinite(s.ad) && std::isfinite(s.eg), "the widths are finite");
        require(s.broadening >= 0 && std::isfinite(s.broadening), "the broadening is finite");
        require(!s.u_ad || *s.u_ad >= 0, "u_ad is not negative");
        require(!s.u_eg || *s.u_eg >= 0, "u_eg is not negative");
        written += sample_list_line(s, true, true) + "\r\n";
    }
    const auto again = read_sample_list_text(written, "L");
    require(again.ok(), "a list written by the program reads back");
    require(again->samples.size() == list->samples.size(), "with every sample");
    for (std::size_t i = 0; i < list->samples.size(); ++i) {
        const ListedSample& a = list->samples[i];
        const ListedSample& b = again->samples[i];
        require(a.name == b.name && a.ad == b.ad && a.eg == b.eg && a.u_ad == b.u_ad &&
                    a.u_eg == b.u_eg && a.quality_ad == b.quality_ad &&
                    a.quality_eg == b.quality_eg,
                "and the same names, numbers and qualities");
    }
    const WidthFile widths = widths_of_list(*list, "T");
    require(widths.ad.size() == list->samples.size(), "the treatment takes every sample");
    return 0;
}
