// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/pattern_formats.h"

#include "formats/bruker_brml.h"
#include "formats/bruker_raw.h"
#include "formats/gsas_pattern.h"
#include "formats/philips_rd.h"
#include "formats/rigaku_pattern.h"
#include "formats/rigaku_rasx.h"
#include "formats/text_pattern.h"
#include "formats/udf_cpi_pattern.h"
#include "formats/uxd_pattern.h"
#include "formats/xrdml_pattern.h"

#include <algorithm>

namespace teravine {

const std::vector<PatternFormat>& pattern_formats() {
    static const std::vector<PatternFormat> formats = {
        {"XRDML",
         {".xrdml"},
         looks_like_xrdml,
         read_xrdml_scans,
         "PANalytical XRDML 1.x and 2.x: `<intensities>` or `<counts>`, every scan, Kα1, Kα2 and "
         "their ratio, the counting time"},
        {"Bruker RAW",
         {".raw"},
         looks_like_bruker_raw,
         read_bruker_raw_scans,
         "Bruker RAW, versions 1 to 4"},
        {"Philips RD",
         {".rd", ".sd"},
         looks_like_philips_rd,
         read_philips_rd_scans,
         "Philips RD and SD"},
        {"Bruker BRML", {".brml"}, nullptr, read_brml_scans, "Bruker BRML (a zip of XML)"},
        {"Rigaku RASX", {".rasx"}, nullptr, read_rasx_scans, "Rigaku RASX (a zip)"},
        {"Rigaku RAS",
         {".ras"},
         looks_like_ras,
         read_ras_scans,
         "Rigaku RAS (every scan; the attenuator factor applied)"},
        {"UXD", {".uxd"}, looks_like_uxd, read_uxd_scans, "Bruker and Siemens UXD text"},
        {"Rigaku ASC", {".asc"}, looks_like_asc, read_asc_scans, "Rigaku ASC text"},
        {"Sietronics CPI", {".cpi"}, looks_like_cpi, read_cpi_scans, "Sietronics CPI"},
        {"Philips UDF", {".udf"}, looks_like_udf, read_udf_scans, "Philips UDF"},
        {"GSAS",
         {".gsa", ".gsas", ".fxye"},
         looks_like_gsas,
         read_gsas_scans,
         "GSAS standard powder data (CONST and RALF banks)"},
        {"two-column text",
         {".xy", ".xye", ".txt", ".dat", ".csv"},
         nullptr,
         read_text_scans,
         "Two-column text: 2θ and counts a line, comment and header lines skipped, columns split "
         "by blanks, tabs, commas or semicolons, a decimal comma read with semicolons or tabs, a "
         "third column ignored"},
    };
    return formats;
}

std::vector<std::string_view> pattern_suffixes() {
    std::vector<std::string_view> suffixes;
    for (const PatternFormat& format : pattern_formats()) {
        suffixes.insert(suffixes.end(), format.suffixes.begin(), format.suffixes.end());
    }
    return suffixes;
}

const PatternFormat* format_of(std::string_view bytes, std::string_view lower_suffix) {
    const auto& formats = pattern_formats();
    for (const auto& format : formats) {
        if (format.recognises != nullptr && format.recognises(bytes)) {
            return &format;
        }
    }
    for (const auto& format : formats) {
        if (std::find(format.suffixes.begin(), format.suffixes.end(), lower_suffix) !=
            format.suffixes.end()) {
            return &format;
        }
    }
    return nullptr;
}

} // namespace teravine
