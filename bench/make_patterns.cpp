// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-bench-patterns COUNT FOLDER: writes COUNT pairs of synthetic patterns (.xy, a
// peak of 0.2 to 0.8° on a sloping background with counting noise, 4-14° 2θ in steps of
// 0.02°, some with an illite-smectite beside the illite) and their list FOLDER/pairs.csv,
// for timing teravine-cli measure --pairs.
#include "formats/synthetic_pattern.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    using namespace teravine::synthetic;
    if (argc != 3) {
        std::fprintf(stderr, "usage: teravine-bench-patterns COUNT FOLDER\n");
        return 1;
    }
    try {
        const int count = std::stoi(argv[1]);
        if (count < 1 || count > 32767) {
            std::fprintf(stderr, "teravine-bench-patterns: COUNT 1..32767\n");
            return 1;
        }
        const std::filesystem::path folder = argv[2];
        std::filesystem::create_directories(folder);
        std::ofstream list(folder / "pairs.csv", std::ios::binary);
        list << "name,ad,eg\n";
        for (int i = 0; i < count; ++i) {
            const std::string name = std::string("s").append(std::to_string(i + 1));
            list << name;
            for (const bool eg : {false, true}) {
                PeakShape shape;
                shape.fwhm = 0.2 + 0.6 * (i % 97) / 96.0 - (eg ? 0.05 : 0.0);
                shape.position = eg ? 8.85 : 8.8;
                shape.height = 1500 + 50 * (i % 31);
                shape.background = Background::Sloping;
                shape.step = 0.02;
                shape.doublet = true;
                shape.noise_seed = static_cast<unsigned>(2 * i + (eg ? 2 : 1));
                if (i % 3 == 0) {
                    shape.second_position = 9.5;
                    shape.second_fwhm = 0.9;
                    shape.second_height = 0.3 * shape.height;
                }
                std::string file = name;
                file += eg ? "-EG.xy" : "-AD.xy";
                std::ofstream(folder / file, std::ios::binary)
                    << file_text(make_pattern(shape), Format::Xy);
                list << ',' << file;
            }
            list << '\n';
        }
        if (!list.flush()) {
            std::fprintf(stderr, "teravine-bench-patterns: cannot write the list\n");
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "teravine-bench-patterns: %s\n", e.what());
        return 1;
    }
    return 0;
}
