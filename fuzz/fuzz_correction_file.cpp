// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the correction file (.cor) reader on arbitrary bytes, then the table
// it leaves (whole, or what was read before a failure) used on widths around its entries
// and on widths no table holds.
#include "fuzz_support.h"
#include "model/broadening.h"
#include "model/correction_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace teravine::fuzz {
namespace {

// Entries looked at around: the first ones and the last ones are where the search starts
// and ends; the middle of a long table adds nothing but time.
constexpr int kEntriesProbed = 24;

std::vector<float> probe_widths(const CorrectionTable& table) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    std::vector<float> widths{0.0f,
                              -0.0f,
                              -1.0f,
                              0.3f,
                              1e-45f,
                              -1e-45f,
                              std::numeric_limits<float>::min(),
                              std::numeric_limits<float>::max(),
                              inf,
                              -inf,
                              std::numeric_limits<float>::quiet_NaN()};
    const int n = table.cor_count;
    for (int i = 0; i < n; ++i) {
        if (i >= kEntriesProbed && i < n - kEntriesProbed) {
            continue;
        }
        const float m = table.measured[static_cast<std::size_t>(i)];
        widths.push_back(m);
        widths.push_back(std::nextafter(m, inf));
        widths.push_back(std::nextafter(m, -inf));
        if (i + 1 < n) {
            const float next = table.measured[static_cast<std::size_t>(i + 1)];
            widths.push_back(static_cast<float>((static_cast<double>(m) + next) / 2));
        }
    }
    return widths;
}

} // namespace
} // namespace teravine::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using namespace teravine::fuzz;

    FuzzBytes in(data, size);
    const CorrectionRead read = read_correction_text(in.rest());
    const CorrectionTable& table = read.table;
    require(table.cor_count >= 0 && table.cor_count <= kMaxCorEntries,
            "the table holds 0 to 501 entries");
    require(read.ok() || !read.error.empty(), "a failure is described");
    require(std::isfinite(table.cor_step) && std::isfinite(table.cor_start),
            "the grid is made of finite numbers");

    // Interpolation never leaves the span of the corrected widths (a small margin for
    // single-precision rounding of the grid).
    const auto first = table.corrected.begin();
    const auto last = first + table.cor_count;
    const double low = table.cor_count > 0 ? *std::min_element(first, last) : 0;
    const double high = table.cor_count > 0 ? *std::max_element(first, last) : 0;
    const double margin =
        1e-6 * (std::fabs(low) + std::fabs(high) + std::fabs(static_cast<double>(table.cor_step)));

    for (int i = 0; i < table.cor_count; ++i) {
        require(std::isfinite(table.measured[static_cast<std::size_t>(i)]),
                "measured widths are finite");
    }
    for (const float width : probe_widths(table)) {
        const float corrected = file_remove(width, table);
        if (corrected == -1.0f) {
            continue;
        }
        require(!std::isnan(corrected), "file_remove never gives NaN");
        require(table.cor_count >= 2, "a table of fewer than two entries corrects nothing");
        require(width > table.measured[0], "a width at or below the first entry is refused");
        if (std::isfinite(corrected) && std::isfinite(low) && std::isfinite(high)) {
            require(corrected >= low - margin && corrected <= high + margin,
                    "a corrected width lies within the table's corrected widths");
        }
        // Under the table rule with no instrumental width, remove_inst is the table.
        const float by_rule = remove_inst(width, 0, kRuleTable, table);
        require(width < 0 || by_rule == corrected, "remove_inst uses the table as it is");
    }
    return 0;
}
