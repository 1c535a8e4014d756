// SPDX-License-Identifier: GPL-3.0-or-later
// A zip archive held in memory, read with limits: no more entries than a pattern's
// archive has, no entry unpacked beyond 256 MiB whatever its header says. Our own reader
// of the central directory, with zlib inflating: the stored and deflated entries that
// instruments write, Zip64 sizes and offsets included; anything else is refused by name.
#pragma once

#include "text/outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

inline constexpr std::size_t kMaxZipEntries = 64;
inline constexpr std::size_t kMaxZipEntryBytes = std::size_t{256} << 20;
// What all reads of one archive may unpack together: many entries each under the limit
// are a bomb all the same.
inline constexpr std::size_t kMaxZipTotalBytes = std::size_t{512} << 20;
// The points all the scans of one archive may hold together (16 bytes each): no
// instrument writes so many, and a small archive could otherwise unpack into gigabytes.
inline constexpr std::size_t kMaxArchivePoints = 8'000'000;

class ZipArchive {
public:
    // The archive over `bytes`, which must outlive it; `subject` starts every message
    // ('The file "x"').
    static Outcome<ZipArchive> open(std::string_view bytes, const std::string& subject,
                                    std::size_t total_limit = kMaxZipTotalBytes);

    // The entries' names, in the archive's order.
    const std::vector<std::string>& names() const { return names_; }

    // The bytes of the entry of that name, unpacked; refused when the entry is missing,
    // damaged, unpacks to more than `limit` bytes, or takes the archive's reads together
    // past their total limit.
    Outcome<std::string> read(const std::string& name, std::size_t limit = kMaxZipEntryBytes) const;

    // One entry as the central directory states it.
    struct Entry {
        std::uint16_t flags = 0;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint64_t packed_size = 0;
        std::uint64_t size = 0;
        std::uint64_t header_offset = 0; // of its local header
    };

private:
    ZipArchive(std::string_view bytes, std::vector<std::string> names, std::vector<Entry> entries,
               std::string subject, std::size_t total_limit)
        : bytes_(bytes), names_(std::move(names)), entries_(std::move(entries)),
          subject_(std::move(subject)), total_limit_(total_limit), total_left_(total_limit) {}

    Outcome<std::string> unpack(const std::string& name, const Entry& entry,
                                std::size_t limit) const;

    std::string_view bytes_;
    std::vector<std::string> names_;
    std::vector<Entry> entries_; // beside names_
    std::string subject_;
    std::size_t total_limit_;
    mutable std::size_t total_left_; // what reads may still unpack
};

} // namespace teravine
