// SPDX-License-Identifier: GPL-3.0-or-later
// Real instruments' files (tests/formats/files/README.md names their sources). The text
// files are kept, unchanged, packed in text_files.zip; they are unpacked into a scratch
// folder to be read under their own names.
#pragma once

#include "formats/zip_archive.h"
#include "support/scratch_folder.h"

#include <fstream>
#include <sstream>
#include <string>

namespace teravine {

inline std::string real_file(const std::string& name) {
    return std::string(TERAVINE_PATTERN_FILES) + "/" + name;
}

// The bytes of a text file packed in text_files.zip; empty when it cannot be unpacked.
inline std::string real_text(const std::string& name) {
    std::ifstream in(real_file("text_files.zip"), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string packed = bytes.str();
    const auto archive = ZipArchive::open(packed, "text_files.zip");
    if (!archive) {
        return {};
    }
    const auto text = archive->read(name);
    return text ? *text : std::string();
}

// The text file unpacked into `folder`, under its own name; its path.
inline std::string unpacked_real_file(const ScratchFolder& folder, const std::string& name) {
    return folder.write(name, real_text(name));
}

} // namespace teravine
