// SPDX-License-Identifier: GPL-3.0-or-later
// The layout read here is PKWARE's APPNOTE.TXT (6.3): the end of central directory
// record, its Zip64 locator and record, the central directory's file headers with the
// Zip64 extended information field (0x0001), and each entry's local header.
#include "formats/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace teravine {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 1; // general purpose flag bit 0
constexpr std::uint32_t kSaturated32 = 0xffffffff;
constexpr std::uint16_t kSaturated16 = 0xffff;

// Little-endian fields at an offset of the archive; nullopt past its end.
class Fields {
public:
    explicit Fields(std::string_view bytes) : bytes_(bytes) {}

    template <typename T> std::optional<T> at(std::uint64_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) {
            return std::nullopt;
        }
        T value = 0;
        for (std::size_t i = sizeof(T); i-- > 0;) {
            value = static_cast<T>((value << 8) | static_cast<unsigned char>(bytes_[offset + i]));
        }
        return value;
    }

    bool holds(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && bytes_.size() - offset >= size;
    }

private:
    std::string_view bytes_;
};

std::string size_text(std::size_t bytes) {
    return bytes % (std::size_t{1} << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                               : std::to_string(bytes) + " bytes";
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// Where the central directory lies and how many entries it lists.
struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t count = 0;
};

// The end record is the last signature within the final 22 bytes plus the longest
// comment; the Zip64 record, when the end record's fields are saturated, is found
// through the locator just before it.
Outcome<Directory> find_directory(std::string_view bytes) {
    const Fields fields(bytes);
    if (bytes.size() < kEndSize) {
        return Failure{"no end of central directory"};
    }
    const std::size_t lowest = bytes.size() - std::min(bytes.size(), kEndSize + kSaturated16);
    std::optional<std::size_t> end;
    for (std::size_t at = bytes.size() - kEndSize + 1; at-- > lowest;) {
        if (fields.at<std::uint32_t>(at) == kEndSignature) {
            end = at;
            break;
        }
    }
    if (!end) {
        return Failure{"no end of central directory"};
    }
    Directory directory{*fields.at<std::uint32_t>(*end + 16), *fields.at<std::uint32_t>(*end + 12),
                        *fields.at<std::uint16_t>(*end + 10)};
    if (*fields.at<std::uint16_t>(*end + 4) != 0 || *fields.at<std::uint16_t>(*end + 6) != 0) {
        return Failure{"an archive split over several disks"};
    }
    const bool saturated = directory.offset == kSaturated32 || directory.size == kSaturated32 ||
                           directory.count == kSaturated16;
    if (saturated && *end >= kZip64LocatorSize &&
        fields.at<std::uint32_t>(*end - kZip64LocatorSize) == kZip64LocatorSignature) {
        const std::uint64_t record = *fields.at<std::uint64_t>(*end - kZip64LocatorSize + 8);
        if (!fields.holds(record, kZip64EndSize) ||
            fields.at<std::uint32_t>(record) != kZip64EndSignature) {
            return Failure{"a damaged Zip64 end of central directory"};
        }
        directory = {*fields.at<std::uint64_t>(record + 48), *fields.at<std::uint64_t>(record + 40),
                     *fields.at<std::uint64_t>(record + 32)};
    }
    if (!fields.holds(directory.offset, directory.size)) {
        return Failure{"its central directory lies outside the file"};
    }
    return directory;
}

// The Zip64 extended information replaces, in this order, each of the sizes and the
// offset that the header saturated.
bool read_zip64_extra(const Fields& fields, std::uint64_t extra, std::uint64_t extra_end,
                      ZipArchive::Entry& entry, bool size_saturated, bool packed_saturated,
                      bool offset_saturated) {
    while (extra + 4 <= extra_end) {
        const std::uint16_t id = *fields.at<std::uint16_t>(extra);
        const std::uint16_t length = *fields.at<std::uint16_t>(extra + 2);
        const std::uint64_t data = extra + 4;
        if (data + length > extra_end) {
            return false;
        }
        if (id == 0x0001) {
            std::uint64_t at = data;
            const auto take = [&](std::uint64_t& target) {
                if (at + 8 > data + length) {
                    return false;
                }
                target = *fields.at<std::uint64_t>(at);
                at += 8;
                return true;
            };
            return (!size_saturated || take(entry.size)) &&
                   (!packed_saturated || take(entry.packed_size)) &&
                   (!offset_saturated || take(entry.header_offset));
        }
        extra = data + length;
    }
    return !(size_saturated || packed_saturated || offset_saturated);
}

} // namespace

Outcome<ZipArchive> ZipArchive::open(std::string_view bytes, const std::string& subject,
                                     std::size_t total_limit) {
    if (bytes.empty()) {
        return Failure{subject + " is empty."};
    }
    const auto not_readable = [&](const std::string& reason) {
        return Failure{subject + " is not a pattern: it is not a zip archive that can be read (" +
                       reason + ")."};
    };
    const Outcome<Directory> directory = find_directory(bytes);
    if (!directory) {
        return not_readable(directory.error());
    }
    if (directory->count > kMaxZipEntries) {
        return Failure{subject + " is not a pattern: its archive holds " +
                       std::to_string(directory->count) + " entries, more than the " +
                       std::to_string(kMaxZipEntries) + " a pattern's archive has."};
    }
    const Fields fields(bytes);
    std::vector<std::string> names;
    std::vector<Entry> entries;
    std::uint64_t at = directory->offset;
    const std::uint64_t end = directory->offset + directory->size;
    for (std::uint64_t i = 0; i < directory->count; ++i) {
        if (at + kCentralSize > end || fields.at<std::uint32_t>(at) != kCentralSignature) {
            return not_readable("a damaged central directory");
        }
        Entry entry;
        entry.flags = *fields.at<std::uint16_t>(at + 8);
        entry.method = *fields.at<std::uint16_t>(at + 10);
        entry.crc = *fields.at<std::uint32_t>(at + 16);
        entry.packed_size = *fields.at<std::uint32_t>(at + 20);
        entry.size = *fields.at<std::uint32_t>(at + 24);
        const std::uint16_t name_length = *fields.at<std::uint16_t>(at + 28);
        const std::uint16_t extra_length = *fields.at<std::uint16_t>(at + 30);
        const std::uint16_t comment_length = *fields.at<std::uint16_t>(at + 32);
        entry.header_offset = *fields.at<std::uint32_t>(at + 42);
        const std::uint64_t name = at + kCentralSize;
        const std::uint64_t next = name + name_length + extra_length + comment_length;
        if (next > end) {
            return not_readable("a damaged central directory");
        }
        if (!read_zip64_extra(fields, name + name_length, name + name_length + extra_length, entry,
                              entry.size == kSaturated32, entry.packed_size == kSaturated32,
                              entry.header_offset == kSaturated32)) {
            return not_readable("a damaged Zip64 field");
        }
        names.emplace_back(bytes.substr(name, name_length));
        entries.push_back(entry);
        at = next;
    }
    return ZipArchive(bytes, std::move(names), std::move(entries), subject, total_limit);
}

Outcome<std::string> ZipArchive::read(const std::string& name, std::size_t limit) const {
    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found == names_.end()) {
        return Failure{subject_ + " is not a pattern: its archive has no entry " + quoted(name) +
                       "."};
    }
    Outcome<std::string> content =
        unpack(name, entries_[static_cast<std::size_t>(found - names_.begin())], limit);
    if (content) {
        total_left_ -= content->size();
    }
    return content;
}

Outcome<std::string> ZipArchive::unpack(const std::string& name, const Entry& entry,
                                        std::size_t limit) const {
    const auto damaged = [&](const std::string& reason) {
        return Failure{subject_ + " is damaged: its entry " + quoted(name) + " cannot be read (" +
                       reason + ")."};
    };
    const auto too_large = [&] {
        return Failure{subject_ + " is not a pattern: its entry " + quoted(name) +
                       " unpacks to more than " + size_text(limit) + "."};
    };
    const auto beyond_total = [&] {
        return Failure{subject_ + " is not a pattern: its entries unpack to more than " +
                       size_text(total_limit_) + " together."};
    };
    if ((entry.flags & kEncrypted) != 0) {
        return damaged("it is encrypted");
    }
    if (entry.method != kStored && entry.method != kDeflated) {
        return damaged("compression method " + std::to_string(entry.method) + " is not supported");
    }
    if (entry.size > limit) {
        return too_large();
    }
    const Fields fields(bytes_);
    const std::uint64_t header = entry.header_offset;
    if (!fields.holds(header, kLocalSize) || fields.at<std::uint32_t>(header) != kLocalSignature) {
        return damaged("no local header where the directory points");
    }
    const std::uint64_t data = header + kLocalSize + *fields.at<std::uint16_t>(header + 26) +
                               *fields.at<std::uint16_t>(header + 28);
    if (!fields.holds(data, entry.packed_size)) {
        return damaged("its data runs past the end of the file");
    }
    const std::string_view packed = bytes_.substr(data, entry.packed_size);

    std::string content;
    if (entry.method == kStored) {
        if (packed.size() > limit) {
            return too_large();
        }
        if (packed.size() > total_left_) {
            return beyond_total();
        }
        content.assign(packed);
    } else {
        // Inflated in pieces up to one byte past the limit: a header that understates the
        // size cannot make the read go further.
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            return damaged("the inflater could not start");
        }
        char piece[1 << 16];
        std::size_t offered = 0;
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            if (stream.avail_in == 0 && offered < packed.size()) {
                const std::size_t chunk = std::min<std::size_t>(packed.size() - offered,
                                                                std::numeric_limits<uInt>::max());
                stream.next_in =
                    reinterpret_cast<Bytef*>(const_cast<char*>(packed.data() + offered));
                stream.avail_in = static_cast<uInt>(chunk);
                offered += chunk;
            }
            stream.next_out = reinterpret_cast<Bytef*>(piece);
            stream.avail_out = sizeof piece;
            status = inflate(&stream, Z_NO_FLUSH);
            const std::size_t got = sizeof piece - stream.avail_out;
            if (status != Z_OK && status != Z_STREAM_END) {
                inflateEnd(&stream);
                return damaged(status == Z_BUF_ERROR ? "its data ends early"
                                                     : "its deflated data is invalid");
            }
            if (content.size() + got > limit) {
                inflateEnd(&stream);
                return too_large();
            }
            if (content.size() + got > total_left_) {
                inflateEnd(&stream);
                return beyond_total();
            }
            content.append(piece, got);
        }
        inflateEnd(&stream);
    }
    if (content.size() != entry.size) {
        return damaged("it unpacks to another size than its header states");
    }
    const uLong crc = crc32_z(0L, reinterpret_cast<const Bytef*>(content.data()), content.size());
    if (crc != entry.crc) {
        return damaged("its checksum does not match");
    }
    return content;
}

} // namespace teravine
