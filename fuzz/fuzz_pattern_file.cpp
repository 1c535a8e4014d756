// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the two-column text and the XRDML pattern readers on arbitrary
// bytes (XRDML when the bytes look like it, as the program chooses), then the peak width
// of every pattern they accept.
#include "fuzz_support.h"
#include "patterns/peak_width.h"
#include "patterns/text_pattern.h"
#include "patterns/xrdml_pattern.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using namespace teravine::fuzz;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::string path = "fuzz/pattern";
    const auto read = looks_like_xrdml(content) ? read_xrdml_pattern(content, path)
                                                : read_text_pattern(content, path);
    if (!read) {
        require(read.error().rfind("The file \"fuzz/pattern\" ", 0) == 0,
                "a refused pattern names its file");
        return 0;
    }
    const Pattern& p = *read;
    require(p.two_theta.size() == p.counts.size(), "one count per angle");
    require(p.two_theta.size() >= kMinPatternPoints, "an accepted pattern has enough points");
    for (std::size_t i = 0; i < p.two_theta.size(); ++i) {
        require(std::isfinite(p.two_theta[i]) && std::isfinite(p.counts[i]), "finite points");
        require(i == 0 || p.two_theta[i] > p.two_theta[i - 1], "2θ increases");
    }
    require(!p.wavelength || (std::isfinite(*p.wavelength) && *p.wavelength > 0),
            "a stated wavelength is a positive number");

    const auto width = measure_peak(p);
    if (!width) {
        require(width.error().rfind("pattern: ", 0) == 0, "no peak is told with the name");
        return 0;
    }
    require(width->fwhm > 0 && std::isfinite(width->fwhm), "a measured FWHM is positive");
    require(width->height > 0 && width->left < width->right, "the crossings enclose the top");
    require(!std::isnan(width->u_fwhm) && !std::isnan(width->breadth), "no NaN is measured");
    return 0;
}
