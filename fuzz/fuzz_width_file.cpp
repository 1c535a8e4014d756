// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the width file (.IW) reader on arbitrary bytes, then what "Treat File"
// does with a file it accepts: the broadening correction, the result file (.IWO) written
// into a temporary folder, and every accepted sample identified again as the window
// places it. Byte 0 picks the Reichweite, byte 1 the broadening rule; the rest is the file.
#include "batch/result_file.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "fuzz_support.h"
#include "identify/identify_point.h"
#include "model/calibration.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace teravine::fuzz {
namespace {

// One folder per fuzzing process, removed when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "teravine-fuzz-XXXXXX");
        require(::mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The example instrument: corrected widths 0.05 .. 1.05 of a Gaussian profile of 0.1.
const CorrectionTable& example_table() {
    static const CorrectionTable table = [] {
        CorrectionTable t;
        t.cor_step = 0.05f;
        t.cor_start = 0.05f;
        for (int i = 0; i < 21; ++i) {
            const double w = 0.05 * (i + 1);
            t.measured[static_cast<std::size_t>(i)] = static_cast<float>(std::sqrt(w * w + 0.01));
            t.corrected[static_cast<std::size_t>(i)] =
                static_cast<float>(static_cast<double>(i) * 0.05f + 0.05f);
        }
        t.cor_count = 21;
        return t;
    }();
    return table;
}

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const auto end = text.find("\r\n", from);
        require(end != std::string::npos, "every line of the result file ends in CR LF");
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

void check_sample_line(const std::string& line) {
    if (line == kErrorLine) {
        return;
    }
    int tabs = 0;
    for (char c : line) {
        tabs += c == '\t';
    }
    require(tabs == 5, "a sample line has six columns");
    require(line.find("NaN") == std::string::npos && line.find("Inf") == std::string::npos,
            "a sample line holds finite numbers only");
}

// An accepted sample as the treatment placed it: a click there accepts it too, and its
// values and lines are finite.
void check_placed(const Calibration& cal, const TreatedPair& pair) {
    require(std::isfinite(pair.ad) && std::isfinite(pair.eg),
            "an accepted sample has finite widths");
    require(identify_point(cal, pair.ad, pair.eg).placed.has_value(),
            "a sample the treatment accepts is accepted by a click");
    const auto& placed = pair.found.placed;
    const SampleRecord& r = placed->record;
    require(std::isfinite(r.n) && std::isfinite(r.s_pct) && std::isfinite(r.fp_pct),
            "a placed sample has finite N, %S and Nfp");
    for (const Line* line : {&placed->line_k, &placed->line_n, &placed->line_s, &placed->line_fp}) {
        require(line->count >= 0 && static_cast<std::size_t>(line->count) <= line->points.size(),
                "a line counts only the points it holds");
        for (const LinePoint& p : line->points) {
            require(std::isfinite(p.ad) && std::isfinite(p.eg), "line points are finite");
        }
    }
}

// A click builds the sample's four lines again, which costs far more than a result line;
// the first few samples of a file are enough to cover it.
constexpr int kSamplesIdentified = 8;

} // namespace
} // namespace teravine::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace teravine;
    using namespace teravine::fuzz;
    static ScratchFolder folder;

    FuzzBytes in(data, size);
    const auto reich = static_cast<std::int16_t>(1 + in.byte() % 3);
    // Code 4 is outside the four rules: every width then becomes 0.
    const auto rule = static_cast<std::int16_t>(in.byte() % 5);
    const std::string_view text = in.rest();

    auto read = read_width_text(text);
    if (!read) {
        require(!read.error().empty(), "a refused file is described");
        return 0;
    }
    WidthFile& widths = read.value();
    require(widths.count >= 0 && static_cast<std::size_t>(widths.count) == widths.ad.size() &&
                widths.ad.size() == widths.eg.size(),
            "the file holds the samples it announces");
    require(std::isfinite(widths.broadening), "the broadening read is finite");
    require(widths.title.find_first_of("\r\n") == std::string::npos,
            "the title is one line without its line end");

    correct_widths(widths, rule, example_table());
    const Calibration cal = make_calibration(reich);
    const std::string out = folder.file("result.IWO");
    LineWriter writer;
    require(!writer.open(out), "the scratch result file can be created");
    const Treatment treated =
        treat_widths(widths, cal, make_line_tables(cal), rule_name(rule), writer);
    int identified = 0;
    for (const TreatedPair& pair : treated.pairs) {
        if (pair.accepted() && identified++ < kSamplesIdentified) {
            check_placed(cal, pair);
        }
    }

    std::ifstream file(out, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    const auto lines = crlf_lines(written);
    require(lines.size() >= 5, "the header is written first");
    require(lines[0] == widths.title, "line 1 is the title");
    for (std::size_t i = 5; i < lines.size(); ++i) {
        check_sample_line(lines[i]);
    }
    if (!treated.failure) {
        require(treated.samples == widths.count, "every sample gets a line");
        require(treated.placed + treated.errors == treated.samples,
                "a sample is either placed or an Error");
        require(lines.size() == 5 + static_cast<std::size_t>(widths.count),
                "one line per sample after the header");
    } else {
        require(treated.failure->rfind("Sample ", 0) == 0,
                "a treatment stops only on a sample whose values cannot be computed");
        require(lines.size() < 5 + static_cast<std::size_t>(widths.count),
                "a stopped treatment has not written every sample");
    }
    return 0;
}
