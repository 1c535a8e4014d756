// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_support.h"

#include "model/polynomial.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace teravine::bench {

void BenchServices::set_picture_size(WindowSize size) {
    if (on_picture_size) {
        on_picture_size(size.width / kTwipsPerPixel, size.height / kTwipsPerPixel);
    }
}

FileChoice BenchServices::chosen(const std::string& path) {
    FileChoice c;
    c.outcome = path.empty() ? FileChoice::Outcome::Cancelled : FileChoice::Outcome::Chosen;
    c.path = path;
    c.title = std::filesystem::path(path).filename().string();
    return c;
}

std::vector<LinePoint> spread_points(const Calibration& cal, int n) {
    // The plastic-number sequence covers the unit square evenly for any n.
    constexpr double kA1 = 0.7548776662466927;
    constexpr double kA2 = 0.5698402909980532;
    const double low = 0.05;
    const double high = cal.range();
    std::vector<LinePoint> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        const double u = std::fmod(0.5 + kA1 * i, 1.0);
        const double t = std::fmod(0.5 + kA2 * i, 1.0);
        const auto ad = static_cast<float>(low + (high - low) * u);
        const double lowest = Pol5_0(cal.coef_eg, cal.reich, 5, ad);
        const auto eg = static_cast<float>(lowest + (0.02 + 0.96 * t) * (ad - lowest));
        out.push_back({ad, eg});
    }
    return out;
}

void write_width_file(const std::filesystem::path& path, const std::vector<LinePoint>& pairs,
                      float broadening) {
    std::ofstream out(path, std::ios::binary);
    out << "Benchmark widths\r\n" << pairs.size() << "\r\n";
    char text[64];
    std::snprintf(text, sizeof text, "%.4f\r\n", static_cast<double>(broadening));
    out << text;
    for (const LinePoint& p : pairs) {
        std::snprintf(text, sizeof text, "%.6f,%.6f\r\n", static_cast<double>(p.ad),
                      static_cast<double>(p.eg));
        out << text;
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

ScratchFolder::ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "teravine-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace teravine::bench
