// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the thickness analysis of illite's 001 on any two-column pattern the
// text reader accepts, alone and with itself as the standard.
//
// Whatever the counts, the analysis either refuses with a reason or gives a mean of at
// least one layer and a distribution of shares that are not negative and sum to one.
#include "formats/pattern_formats.h"
#include "fuzz_support.h"
#include "thickness/thickness_analysis.h"

#include <cmath>
#include <string>

namespace {

using namespace teravine;
using teravine::fuzz::require;

constexpr std::size_t kMostPoints = 1500;

void check_analysis(const Pattern& sample, const Pattern* standard) {
    const auto result = analyse_thickness(sample, standard, PeakRange{});
    if (!result) {
        require(!result.error().empty(), "a refusal gives its reason");
        return;
    }
    require(std::isfinite(result->mean_layers) && result->mean_layers >= 1,
            "the mean is at least one layer");
    require(!(result->u_mean_layers < 0), "u is not negative");
    double sum = 0;
    for (double share : result->distribution.fraction) {
        require(std::isfinite(share) && share >= 0, "no share is negative");
        sum += share;
    }
    require(result->distribution.fraction.empty() || std::abs(sum - 1) < 1e-6,
            "the shares sum to one");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::string path = "fuzz/pattern.xy";
    const PatternFormat* format = format_of(content, ".xy");
    if (format == nullptr) {
        return 0;
    }
    auto read = format->read(content, path);
    if (!read || read->scans.empty()) {
        return 0;
    }
    const Pattern& sample = read->scans.front();
    // The work grows with the points; a scan of a few thousand points is the benchmark's
    // concern, and would only slow the search here.
    if (sample.two_theta.size() > kMostPoints) {
        return 0;
    }
    check_analysis(sample, nullptr);
    check_analysis(sample, &sample);
    return 0;
}
