// SPDX-License-Identifier: GPL-3.0-or-later
// write-pattern FILE FWHM POSITION [SEED [WAVELENGTH]]: a synthetic pattern with a peak of
// known FWHM on a sloping background, for the command-line tests. The format follows the
// suffix: .xy blanks, .csv ';' with decimal commas, .txt tabs with decimal commas,
// .dat commas, .xrdml, .uxd. SEED 0 (the default) gives exact counts.
#include "synthetic_pattern.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

int main(int argc, char** argv) {
    using namespace teravine::synthetic;
    if (argc < 4) {
        std::cerr << "usage: write-pattern FILE FWHM POSITION [SEED [WAVELENGTH]]\n";
        return 1;
    }
    const std::string file = argv[1];
    const std::map<std::string, Format> formats{{".xy", Format::Xy},
                                                {".csv", Format::SemicolonCsv},
                                                {".txt", Format::TabDecimalComma},
                                                {".dat", Format::CommaSeparated},
                                                {".xrdml", Format::XrdmlIntensities},
                                                {".uxd", Format::Uxd}};
    const auto format = formats.find(file.substr(file.rfind('.')));
    if (format == formats.end()) {
        std::cerr << "write-pattern: unknown suffix of " << file << "\n";
        return 1;
    }
    PeakShape shape;
    shape.fwhm = std::atof(argv[2]);
    shape.position = std::atof(argv[3]);
    shape.background = Background::Sloping;
    shape.step = 0.02;
    shape.noise_seed = argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 0;
    const double wavelength = argc > 5 ? std::atof(argv[5]) : 1.540598;
    std::ofstream out(file, std::ios::binary);
    if (format->second == Format::Xy) {
        out << "# synthetic: pseudo-Voigt of FWHM " << argv[2] << " deg at " << argv[3]
            << " deg 2theta, noise seed " << shape.noise_seed << " (write-pattern)\n";
    }
    out << file_text(make_pattern(shape), format->second, wavelength);
    return 0;
}
