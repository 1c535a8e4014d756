// SPDX-License-Identifier: GPL-3.0-or-later
// Instrument text files written from patterns made in code, so that the readers can be
// checked point for point: Rigaku .ras and .asc, UXD of several ranges, XRDML of several
// measurements, Philips .udf, Sietronics .cpi and GSAS banks.
#pragma once

#include "synthetic_pattern.h"

#include <string>
#include <vector>

namespace teravine::writers {

using synthetic::number;

inline double step_of(const Pattern& p) {
    return p.two_theta[1] - p.two_theta[0];
}

// Every line of counts gets `per_line` values joined by `separator`.
inline std::string count_lines(const Pattern& p, std::size_t per_line, const char* separator,
                               const char* format = "%.0f") {
    std::string out;
    const std::size_t n = p.counts.size();
    for (std::size_t i = 0; i < n; ++i) {
        out += number(format, p.counts[i]);
        out += (i % per_line == per_line - 1 || i + 1 == n) ? "\n" : separator;
    }
    return out;
}

// One block a scan; the counts are written halved with an attenuator factor of 2 on every
// other row, so that they read back whole only when the factor is applied.
inline std::string ras(const std::vector<Pattern>& scans, double wavelength) {
    std::string out = "*RAS_DATA_START\r\n";
    for (const auto& p : scans) {
        out += "*RAS_HEADER_START\r\n*FILE_SAMPLE \"clay\"\r\n*HW_XG_TARGET_NAME \"Co\"\r\n"
               "*HW_XG_WAVE_LENGTH_ALPHA1 \"" +
               number("%.6f", wavelength) +
               "\"\r\n*HW_XG_WAVE_LENGTH_ALPHA2 \"1.792850\"\r\n"
               "*MEAS_SCAN_AXIS_X \"TwoThetaOmega\"\r\n*MEAS_SCAN_MODE \"CONTINUOUS\"\r\n"
               "*MEAS_SCAN_SPEED \"1.2\"\r\n*MEAS_SCAN_SPEED_UNIT \"deg/min\"\r\n"
               "*MEAS_SCAN_STEP \"" +
               number("%.4f", step_of(p)) +
               "\"\r\n*MEAS_SCAN_UNIT_Y \"counts\"\r\n*RAS_HEADER_END\r\n*RAS_INT_START\r\n";
        for (std::size_t i = 0; i < p.counts.size(); ++i) {
            const double factor = i % 2 == 0 ? 1 : 2;
            out += number("%.4f", p.two_theta[i]) + " " + number("%.1f", p.counts[i] / factor) +
                   " " + number("%.4f", factor) + "\r\n";
        }
        out += "*RAS_INT_END\r\n";
    }
    return out + "*RAS_DATA_END\r\n";
}

inline std::string asc(const std::vector<Pattern>& scans, double wavelength) {
    std::string out = "*TYPE\t\t=  Raw\n*SCAN_AXIS\t=  2theta/theta\n*TARGET\t\t=  27\n"
                      "*WAVE_LENGTH1\t=  " +
                      number("%.5f", wavelength) +
                      "\n*WAVE_LENGTH2\t=  1.79285\n*SPEED_DIM\t=  sec./step\n*YUNIT\t\t=  cps\n"
                      "*GROUP_COUNT\t=  " +
                      std::to_string(scans.size()) + "\n";
    for (std::size_t g = 0; g < scans.size(); ++g) {
        const Pattern& p = scans[g];
        out += "*BEGIN\n*GROUP\t\t=  " + std::to_string(g) +
               "\n*START\t\t=  " + number("%.4f", p.two_theta.front()) +
               "\n*STOP\t\t=  " + number("%.4f", p.two_theta.back()) +
               "\n*STEP\t\t=  " + number("%.4f", step_of(p)) +
               "\n*SPEED\t\t=  2.5\n*COUNT\t\t=  " + std::to_string(p.counts.size()) + "\n" +
               count_lines(p, 4, ", ") + "*END\n";
    }
    return out + "*EOF\n";
}

// Two ranges under one _DRIVE line; the second states counts per second.
inline std::string uxd(const std::vector<Pattern>& scans, double wavelength) {
    std::string out = "; two ranges\n_FILEVERSION=1\n_WL1=" + number("%.6f", wavelength) +
                      "\n_WL2=1.792850\n_WLRATIO=0.5\n_ANODE='Co'\n_DRIVE='COUPLED'\n";
    for (std::size_t r = 0; r < scans.size(); ++r) {
        const Pattern& p = scans[r];
        out += "; (Data for Range number " + std::to_string(r + 1) +
               ")\n_STEPTIME=2.0\n_STEPSIZE=" + number("%.6f", step_of(p)) +
               "\n_2THETA=" + number("%.6f", p.two_theta.front()) +
               (r == 0 ? "\n_COUNTS\n" : "\n_CPS\n") + count_lines(p, 8, " ");
    }
    return out;
}

// The first measurement holds one scan, the second two; the second measurement's scans
// have attenuation factors of 2 (the counts written halved), per-point counting times
// and counts per second.
inline std::string xrdml(const std::vector<Pattern>& scans, double wavelength) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xrdMeasurements xmlns="
                      "\"http://www.xrdml.com/XRDMeasurement/2.1\">\n";
    const auto measurement_head = "<xrdMeasurement measurementType=\"Scan\"><usedWavelength>"
                                  "<kAlpha1 unit=\"Angstrom\">" +
                                  number("%.7f", wavelength) +
                                  "</kAlpha1><kAlpha2 unit=\"Angstrom\">1.7928500</kAlpha2>"
                                  "<ratioKAlpha2KAlpha1>0.5</ratioKAlpha2KAlpha1>"
                                  "</usedWavelength><incidentBeamPath><xRayTube>"
                                  "<anodeMaterial>Co</anodeMaterial></xRayTube>"
                                  "</incidentBeamPath>\n";
    for (std::size_t s = 0; s < scans.size(); ++s) {
        const Pattern& p = scans[s];
        const bool second = s > 0;
        if (s < 2) {
            out += (s == 1 ? "</xrdMeasurement>\n" : "") + measurement_head;
        }
        out += "<scan scanAxis=\"Gonio\"><dataPoints><positions axis=\"2Theta\" unit=\"deg\">"
               "<startPosition>" +
               number("%.6f", p.two_theta.front()) + "</startPosition><endPosition>" +
               number("%.6f", p.two_theta.back()) + "</endPosition></positions>\n";
        std::string counts, factors, times;
        for (std::size_t i = 0; i < p.counts.size(); ++i) {
            counts += (i ? " " : "") + number("%.1f", second ? p.counts[i] / 2 : p.counts[i]);
            factors += i ? " 2" : "2";
            times += i ? " 0.5" : "0.5";
        }
        if (second) {
            out += "<beamAttenuationFactors>" + factors +
                   "</beamAttenuationFactors>\n"
                   "<countingTimes unit=\"seconds\">" +
                   times +
                   "</countingTimes>\n"
                   "<intensities unit=\"cps\">" +
                   counts + "</intensities>";
        } else {
            out += "<commonCountingTime unit=\"seconds\">1.5</commonCountingTime>\n"
                   "<counts unit=\"counts\">" +
                   counts + "</counts>";
        }
        out += "</dataPoints></scan>\n";
    }
    return out + "</xrdMeasurement>\n</xrdMeasurements>\n";
}

inline std::string udf(const Pattern& p, double wavelength) {
    return "SampleIdent,clay ,/\nTitle1\nAnode,Co,/\nLabdaAlpha1, " + number("%.5f", wavelength) +
           ",/\nLabdaAlpha2, 1.79285,/\nRatioAlpha21, 0.50000,/\nDataAngleRange, " +
           number("%.4f", p.two_theta.front()) + ", " + number("%.4f", p.two_theta.back()) +
           ",/\nScanStepSize, " + number("%.4f", step_of(p)) +
           ",/\nScanType,STEP,/\nScanStepTime,    5.00,/\nRawScan\n" + count_lines(p, 8, ", ") +
           "/\n";
}

inline std::string cpi(const Pattern& p, double wavelength) {
    return "SIETRONICS XRD SCAN\n" + number("%.4f", p.two_theta.front()) + "\n" +
           number("%.4f", p.two_theta.back()) + "\n" + number("%.4f", step_of(p)) + "\nCo\n" +
           number("%.5f", wavelength) + "\n1-1-1999\n1.0\nclay\nSCANDATA\n" + count_lines(p, 1, "");
}

enum class GsasLayout { Std, Esd, Fxye };

// Each scan a constant-step bank, 2θ in centidegrees; a time-of-flight bank between them.
inline std::string gsas(const std::vector<Pattern>& scans, GsasLayout layout) {
    std::string out = "clay written by the test\n# a comment\n";
    for (std::size_t b = 0; b < scans.size(); ++b) {
        const Pattern& p = scans[b];
        const std::size_t n = p.counts.size();
        const char* type = layout == GsasLayout::Std   ? "STD"
                           : layout == GsasLayout::Esd ? "ESD"
                                                       : "FXYE";
        const std::size_t per_record = layout == GsasLayout::Std ? 10 : 5;
        const std::size_t records =
            layout == GsasLayout::Fxye ? n : (n + per_record - 1) / per_record;
        out += "BANK " + std::to_string(b + 1) + " " + std::to_string(n) + " " +
               std::to_string(records) + " CONST " + number("%.2f", p.two_theta[0] * 100) + " " +
               number("%.4f", step_of(p) * 100) + " 0 0 " + type + "\n";
        for (std::size_t i = 0; i < n; ++i) {
            if (layout == GsasLayout::Fxye) {
                out += number("%.4f", p.two_theta[i] * 100) + " " + number("%.1f", p.counts[i]) +
                       " " + number("%.2f", std::sqrt(p.counts[i])) + "\n";
                continue;
            }
            out += layout == GsasLayout::Std
                       ? number(" 1%6.0f", p.counts[i])
                       : number("%8.0f", p.counts[i]) + number("%8.2f", std::sqrt(p.counts[i]));
            if (i % per_record == per_record - 1 || i + 1 == n) {
                out += "\n";
            }
        }
        if (b == 0) {
            out += "BANK 9 4 1 RALF 1000 32 1000 0.0005 ALT\n   1000     100      10"
                   "    1032     101      10\n";
        }
    }
    return out;
}

} // namespace teravine::writers
