// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the two zip containers, Bruker BRML and Rigaku RASX, on arbitrary
// bytes (the first byte chooses the reader). Run with a memory cap, so that an archive
// that unpacks or parses into more than its limits allow counts as a finding.
#include "formats/bruker_brml.h"
#include "formats/rigaku_rasx.h"
#include "fuzz_support.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using teravine::fuzz::require;
    teravine::fuzz::FuzzBytes in(data, size);
    const bool brml = (in.byte() & 1) == 0;
    const std::string_view bytes = in.rest();
    const auto read = brml ? read_brml_scans(bytes, "a.brml") : read_rasx_scans(bytes, "a.rasx");
    if (!read) {
        require(read.error().find("a.") != std::string::npos, "a refusal names the file");
        return 0;
    }
    for (const Pattern& scan : read->scans) {
        require(scan.two_theta.size() == scan.counts.size(), "a count for every angle");
        for (std::size_t i = 0; i < scan.counts.size(); ++i) {
            require(std::isfinite(scan.two_theta[i]) && std::isfinite(scan.counts[i]),
                    "finite angles and counts");
        }
    }
    return 0;
}
