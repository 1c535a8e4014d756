// SPDX-License-Identifier: GPL-3.0-or-later
// Writers of the binary and zipped pattern formats, for the tests: each lays out its
// ranges as the instrument's software does, so that the readers can be checked against
// what was written, and damaged copies made of it.
#pragma once

#include <zip.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace teravine::binary {

struct Range {
    double start = 4;
    double step = 0.015625; // exact in a float, so that 2θ reads back exactly
    std::vector<double> counts;
    double time = 1; // seconds per step
};

struct Radiation {
    double alpha1 = 0; // 0: not stated
    double alpha2 = 0;
    double ratio = 0;
    std::string anode;
};

inline void put_unsigned(std::string& bytes, std::size_t at, std::uint64_t value,
                         std::size_t width) {
    if (bytes.size() < at + width) {
        bytes.resize(at + width, '\0');
    }
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}
inline void put_u16(std::string& b, std::size_t at, std::uint16_t v) {
    put_unsigned(b, at, v, 2);
}
inline void put_u32(std::string& b, std::size_t at, std::uint32_t v) {
    put_unsigned(b, at, v, 4);
}
inline void put_f32(std::string& b, std::size_t at, double v) {
    put_unsigned(b, at, std::bit_cast<std::uint32_t>(static_cast<float>(v)), 4);
}
inline void put_f64(std::string& b, std::size_t at, double v) {
    put_unsigned(b, at, std::bit_cast<std::uint64_t>(v), 8);
}
inline void put_text(std::string& b, std::size_t at, const std::string& text) {
    if (b.size() < at + text.size()) {
        b.resize(at + text.size(), '\0');
    }
    b.replace(at, text.size(), text);
}

inline void put_counts(std::string& b, const Range& range, std::size_t datum = 4) {
    const std::size_t at = b.size();
    for (std::size_t i = 0; i < range.counts.size(); ++i) {
        put_f32(b, at + i * datum, range.counts[i]);
        if (datum == 8) {
            put_u32(b, at + i * datum + 4, 1);
        }
    }
}

inline std::string raw_v1(const std::vector<Range>& ranges, const Radiation& radiation) {
    std::string b = "RAW ";
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const Range& range = ranges[r];
        const std::size_t at = b.size();
        b.resize(at + 152, '\0');
        put_u32(b, at, static_cast<std::uint32_t>(range.counts.size()));
        put_f32(b, at + 4, range.time);
        put_f32(b, at + 8, range.step);
        put_f32(b, at + 20, range.start);
        put_f32(b, at + 24, -1e6);
        put_f32(b, at + 68, radiation.alpha1);
        put_f32(b, at + 72, radiation.alpha2);
        put_u32(b, at + 148, r + 1 < ranges.size() ? 1 : 0);
        put_counts(b, range);
        if (r + 1 < ranges.size() && r % 2 == 0) {
            b += "RAW "; // as some later ranges repeat the magic
        }
    }
    return b;
}

inline std::string raw_v2(const std::vector<Range>& ranges, const Radiation& radiation) {
    std::string b = "RAW2";
    b.resize(256, '\0');
    put_u16(b, 4, static_cast<std::uint16_t>(ranges.size()));
    put_text(b, 188, radiation.anode.substr(0, 2));
    put_f32(b, 190, radiation.alpha1);
    put_f32(b, 194, radiation.alpha2);
    put_f32(b, 198, radiation.ratio);
    for (const Range& range : ranges) {
        const std::size_t at = b.size();
        b.resize(at + 64, '\0'); // a header longer than the 48 bytes read
        put_u16(b, at, 64);
        put_u16(b, at + 2, static_cast<std::uint16_t>(range.counts.size()));
        put_f32(b, at + 8, range.time);
        put_f32(b, at + 12, range.step);
        put_f32(b, at + 16, range.start);
        put_counts(b, range);
    }
    return b;
}

inline std::string raw_v3(const std::vector<Range>& ranges, const Radiation& radiation) {
    std::string b = "RAW1.01";
    b.resize(712, '\0');
    put_u32(b, 8, 1);
    put_u32(b, 12, static_cast<std::uint32_t>(ranges.size()));
    put_text(b, 608, radiation.anode.substr(0, 4));
    put_f64(b, 616, (2 * radiation.alpha1 + radiation.alpha2) / 3);
    put_f64(b, 624, radiation.alpha1);
    put_f64(b, 632, radiation.alpha2);
    put_f64(b, 648, radiation.ratio);
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const Range& range = ranges[r];
        const std::size_t at = b.size();
        const std::uint32_t supplementary = r % 2 == 0 ? 40 : 0;
        b.resize(at + 304 + supplementary, '\0');
        put_u32(b, at, 304);
        put_u32(b, at + 4, static_cast<std::uint32_t>(range.counts.size()));
        put_f64(b, at + 8, range.start / 2);
        put_f64(b, at + 16, range.start);
        put_f64(b, at + 176, range.step);
        put_f32(b, at + 192, range.time);
        put_u32(b, at + 256, supplementary);
        put_counts(b, range);
    }
    return b;
}

// Version 4 with its header segments, one range of another axis than 2θ among those
// given when `with_rocking_curve`, and `datum` bytes a step.
inline std::string raw_v4(const std::vector<Range>& ranges, const Radiation& radiation,
                          std::size_t datum = 4, bool with_rocking_curve = false) {
    std::string b = "RAW4.00";
    b.resize(61, '\0');
    put_text(b, 12, "12/07/2026");
    std::size_t at = b.size();
    put_u32(b, at, 10); // a text segment
    put_u32(b, at + 4, 48);
    put_text(b, at + 12, "SAMPLEID");
    put_text(b, at + 36, "illite");
    at = 61 + 48;
    put_u32(b, at, 30); // the tube
    put_u32(b, at + 4, 136);
    put_f64(b, at + 72, (2 * radiation.alpha1 + radiation.alpha2) / 3);
    put_f64(b, at + 80, radiation.alpha1);
    put_f64(b, at + 88, radiation.alpha2);
    put_f64(b, at + 104, radiation.ratio);
    put_text(b, at + 116, radiation.anode);
    b.resize(at + 136, '\0');
    const auto put_range = [&](const Range& range, const std::string& type) {
        const std::size_t r = b.size();
        constexpr std::uint32_t extra = 92;
        b.resize(r + 160 + extra, '\0');
        put_u32(b, r, 0);
        put_u32(b, r + 4, 160);
        put_text(b, r + 32, type);
        put_f64(b, r + 72, range.start);
        put_f64(b, r + 80, range.step);
        put_u32(b, r + 88, static_cast<std::uint32_t>(range.counts.size()));
        put_f32(b, r + 92, range.time);
        put_f64(b, r + 112, radiation.alpha1);
        put_u32(b, r + 136, static_cast<std::uint32_t>(datum));
        put_u32(b, r + 140, extra);
        put_u32(b, r + 160, 50);
        put_u32(b, r + 164, extra);
        put_text(b, r + 172, "2Theta");
        put_counts(b, range, datum);
    };
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (with_rocking_curve && i == 1) {
            put_range(ranges[0], "Rocking Curve");
        }
        put_range(ranges[i], "Locked Coupled");
    }
    return b;
}

// A Philips RD scan of version 3 or 5, the anode by its number; each count is stored as
// the u16 p with ⌊p²/100⌋ = count, so counts must be such squares' hundredths.
inline std::string philips_rd(const Range& range, int version, unsigned char anode) {
    std::string b = version == 3 ? "V3RD" : "V5RD";
    const std::size_t data_at = version == 3 ? 250 : 810;
    b.resize(data_at, '\0');
    b[85] = static_cast<char>(anode);
    put_f64(b, 214, range.step);
    put_f64(b, 222, range.start);
    put_f64(b, 230, range.start + range.step * static_cast<double>(range.counts.size() - 1));
    for (std::size_t i = 0; i < range.counts.size(); ++i) {
        put_u16(b, data_at + 2 * i,
                static_cast<std::uint16_t>(std::ceil(std::sqrt(range.counts[i] * 100))));
    }
    return b;
}

// A zip archive of the entries, deflated, written by libzip into memory.
inline std::string zip_of(const std::vector<std::pair<std::string, std::string>>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(target);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("zip_open_from_source failed");
    }
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        if (source == nullptr || zip_file_add(archive, name.c_str(), source, 0) < 0) {
            throw std::runtime_error("zip_file_add failed");
        }
    }
    if (zip_close(archive) < 0) {
        throw std::runtime_error("zip_close failed");
    }
    std::string bytes;
    if (zip_source_open(target) == 0) {
        char piece[1 << 16];
        zip_int64_t got = 0;
        while ((got = zip_source_read(target, piece, sizeof piece)) > 0) {
            bytes.append(piece, static_cast<std::size_t>(got));
        }
        zip_source_close(target);
    }
    zip_source_free(target);
    zip_error_fini(&error);
    return bytes;
}

inline std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// One RawData*.xml: its columns are time, counts, 2θ, θ, absorber, temperature, laid out
// as its <DataViews> say (not in the order older files have); the absorber's factor is 2
// on every fifth row, its count halved.
inline std::string brml_raw_data(const Range& range, const Radiation& radiation) {
    std::string xml = "<?xml version=\"1.0\"?>\n<RawData><DataRoutes>"
                      "<DataRoute RouteFlag=\"Measured\"><ScanInformation VisibleName=\"Coupled "
                      "TwoTheta/Theta\"><TimePerStep>" +
                      number(range.time) +
                      "</TimePerStep><ScanAxes><ScanAxisInfo AxisId=\"TwoTheta\"/><ScanAxisInfo "
                      "AxisId=\"Theta\"/></ScanAxes></ScanInformation><DataViews>"
                      "<RawDataView Start=\"0\" Length=\"1\" LogicName=\"MeasuredTime\"/>"
                      "<RawDataView Start=\"1\" Length=\"1\"><Recording Category=\"Count\"/>"
                      "</RawDataView><RawDataView Start=\"2\" Length=\"2\"><Varying>"
                      "<FieldDefinitions FieldName=\"TwoTheta\" AxisId=\"TwoTheta\"/>"
                      "<FieldDefinitions FieldName=\"Theta\" AxisId=\"Theta\"/></Varying>"
                      "</RawDataView><RawDataView Start=\"4\" Length=\"1\" "
                      "LogicName=\"AbsorptionFactor\"/></DataViews>\n";
    for (std::size_t i = 0; i < range.counts.size(); ++i) {
        const double two_theta = range.start + range.step * static_cast<double>(i);
        const bool absorbed = i % 5 == 0;
        xml += "<Datum>" + number(range.time) + "," +
               number(absorbed ? range.counts[i] / 2 : range.counts[i]) + "," + number(two_theta) +
               "," + number(two_theta / 2) + "," + (absorbed ? "2" : "1") + ",25.5</Datum>\n";
    }
    xml += "</DataRoute></DataRoutes><FixedInformation><Instrument><Tube>";
    if (radiation.alpha1 > 0) {
        xml += "<WaveLengthAlpha1 Unit=\"A\" Value=\"" + number(radiation.alpha1) +
               "\"/><WaveLengthAlpha2 Unit=\"A\" Value=\"" + number(radiation.alpha2) +
               "\"/><WaveLengthRatio Value=\"" + number(radiation.ratio) + "\"/>";
    }
    xml += "<TubeMaterial>" + radiation.anode +
           "</TubeMaterial></Tube></Instrument>"
           "</FixedInformation></RawData>\n";
    return xml;
}

inline std::string brml(const std::vector<Range>& ranges, const Radiation& radiation) {
    std::vector<std::pair<std::string, std::string>> entries = {
        {"experimentCollection.xml", "<ExperimentCollection/>"},
        {"Experiment0/DataContainer.xml", "<DataContainer/>"}};
    // Numbered past 9, so that RawData10 must follow RawData2.
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const std::size_t number = r < 2 ? r : r + 8;
        entries.emplace_back("Experiment0/RawData" + std::to_string(number) + ".xml",
                             brml_raw_data(ranges[r], radiation));
    }
    return zip_of(entries);
}

// A profile's rows: 2θ, counts divided by the attenuator's factor (10 on every fourth
// row), the factor.
inline std::string rasx_profile(const Range& range) {
    std::string text = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < range.counts.size(); ++i) {
        const bool attenuated = i % 4 == 0;
        text += number(range.start + range.step * static_cast<double>(i)) + "\t" +
                number(attenuated ? range.counts[i] / 10 : range.counts[i]) + "\t" +
                (attenuated ? "10" : "1") + "\r\n";
    }
    return text;
}

inline std::string rasx_conditions(const Range& range, const Radiation& radiation,
                                   const std::string& intensity_unit = "counts") {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<MeasurementConditions>"
           "<HWConfigurations><XrayGenerator><TargetName>" +
           radiation.anode + "</TargetName>" +
           (radiation.alpha1 > 0 ? "<WavelengthKalpha1>" + number(radiation.alpha1) +
                                       "</WavelengthKalpha1><WavelengthKalpha2>" +
                                       number(radiation.alpha2) + "</WavelengthKalpha2>"
                                 : std::string()) +
           "</XrayGenerator></HWConfigurations><ScanInformation><AxisName>TwoTheta</AxisName>"
           "<Mode>CONTINUOUS</Mode><Step>" +
           number(range.step) + "</Step><Speed>" + number(range.step * 60 / range.time) +
           "</Speed><SpeedUnit>deg/min</SpeedUnit><IntensityUnit>" + intensity_unit +
           "</IntensityUnit></ScanInformation></MeasurementConditions>\n";
}

inline std::string rasx(const std::vector<Range>& ranges, const Radiation& radiation,
                        const std::string& intensity_unit = "counts") {
    std::vector<std::pair<std::string, std::string>> entries = {{"root.xml", "<Root/>"}};
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const std::string n = std::to_string(r);
        entries.emplace_back("Data" + n + "/Profile" + n + ".txt", rasx_profile(ranges[r]));
        entries.emplace_back("Data" + n + "/MesurementConditions" + n + ".xml",
                             rasx_conditions(ranges[r], radiation, intensity_unit));
    }
    return zip_of(entries);
}

} // namespace teravine::binary
