// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/pattern_formats.h"

#include "patterns/bruker_brml.h"
#include "patterns/bruker_raw.h"
#include "patterns/gsas_pattern.h"
#include "patterns/philips_rd.h"
#include "patterns/rigaku_pattern.h"
#include "patterns/rigaku_rasx.h"
#include "patterns/text_pattern.h"
#include "patterns/udf_cpi_pattern.h"
#include "patterns/uxd_pattern.h"
#include "patterns/xrdml_pattern.h"

#include <algorithm>

namespace teravine {

const std::vector<PatternFormat>& pattern_formats() {
    static const std::vector<PatternFormat> formats = {
        {"XRDML", {".xrdml"}, looks_like_xrdml, read_xrdml_scans},
        {"Bruker RAW", {".raw"}, looks_like_bruker_raw, read_bruker_raw_scans},
        {"Philips RD", {".rd", ".sd"}, looks_like_philips_rd, read_philips_rd_scans},
        {"Bruker BRML", {".brml"}, nullptr, read_brml_scans},
        {"Rigaku RASX", {".rasx"}, nullptr, read_rasx_scans},
        {"Rigaku RAS", {".ras"}, looks_like_ras, read_ras_scans},
        {"UXD", {".uxd"}, looks_like_uxd, read_uxd_scans},
        {"Rigaku ASC", {".asc"}, looks_like_asc, read_asc_scans},
        {"Sietronics CPI", {".cpi"}, looks_like_cpi, read_cpi_scans},
        {"Philips UDF", {".udf"}, looks_like_udf, read_udf_scans},
        {"GSAS", {".gsa", ".gsas", ".fxye"}, looks_like_gsas, read_gsas_scans},
        {"two-column text", {".xy", ".xye", ".txt", ".dat", ".csv"}, nullptr, read_text_scans},
    };
    return formats;
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
