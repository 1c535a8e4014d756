// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-256 (FIPS 180-2) of bytes or of a file, as 64 lowercase hexadecimal digits: what a
// session keeps of each pattern file a width was measured on, to tell later whether the
// file is still the one measured.
#pragma once

#include "text/outcome.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace teravine {

class Sha256 {
public:
    Sha256();
    void add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    std::string hex();

private:
    void block(const unsigned char* p);

    std::array<std::uint32_t, 8> h_;
    std::array<unsigned char, 64> pending_{};
    std::size_t pending_size_ = 0;
    std::uint64_t length_ = 0; // bytes added
};

std::string sha256_hex(std::string_view bytes);

// Files larger than this are refused rather than read to their end.
inline constexpr std::uint64_t kMaxHashedFileBytes = std::uint64_t{4} << 30;

// Read in chunks of a fixed size, so that memory stays small whatever the file's size.
// Fails with the file's name and the reason.
Outcome<std::string> sha256_of_file(const std::string& path);

} // namespace teravine
