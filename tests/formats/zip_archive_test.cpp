// SPDX-License-Identifier: GPL-3.0-or-later
// The zip reader on archives laid out by hand: Zip64 sizes and offsets, stored and
// deflated entries from another writer, and each kind of damage refused by name.
#include "binary_writers.h"
#include "formats/zip_archive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

namespace teravine {
namespace {

using binary::put_u16;
using binary::put_u32;

void put_u64(std::string& b, std::size_t at, std::uint64_t v) {
    put_u32(b, at, static_cast<std::uint32_t>(v));
    put_u32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}

// One stored entry; with `zip64` its sizes and offset are saturated in the headers and
// given in the Zip64 field, and the end record is found through the Zip64 locator.
std::string stored_archive(const std::string& name, const std::string& content, bool zip64) {
    const auto crc = static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
    const std::uint32_t size = zip64 ? 0xffffffff : static_cast<std::uint32_t>(content.size());
    std::string b(30, '\0');
    put_u32(b, 0, 0x04034b50);
    put_u32(b, 14, crc);
    put_u32(b, 18, size);
    put_u32(b, 22, size);
    put_u16(b, 26, static_cast<std::uint16_t>(name.size()));
    b += name + content;
    const std::size_t central = b.size();
    std::string extra;
    if (zip64) {
        extra.assign(28, '\0');
        put_u16(extra, 0, 0x0001);
        put_u16(extra, 2, 24);
        put_u64(extra, 4, content.size());
        put_u64(extra, 12, content.size());
        put_u64(extra, 20, 0);
    }
    std::string c(46, '\0');
    put_u32(c, 0, 0x02014b50);
    put_u32(c, 16, crc);
    put_u32(c, 20, size);
    put_u32(c, 24, size);
    put_u16(c, 28, static_cast<std::uint16_t>(name.size()));
    put_u16(c, 30, static_cast<std::uint16_t>(extra.size()));
    put_u32(c, 42, zip64 ? 0xffffffff : 0);
    b += c + name + extra;
    const std::size_t central_size = b.size() - central;
    if (zip64) {
        const std::size_t record = b.size();
        std::string r(56 + 20, '\0');
        put_u32(r, 0, 0x06064b50);
        put_u64(r, 4, 44);
        put_u64(r, 24, 1);
        put_u64(r, 32, 1);
        put_u64(r, 40, central_size);
        put_u64(r, 48, central);
        put_u32(r, 56, 0x07064b50);
        put_u64(r, 64, record);
        put_u32(r, 72, 1);
        b += r;
    }
    std::string e(22, '\0');
    put_u32(e, 0, 0x06054b50);
    put_u16(e, 8, zip64 ? 0xffff : 1);
    put_u16(e, 10, zip64 ? 0xffff : 1);
    put_u32(e, 12, zip64 ? 0xffffffff : static_cast<std::uint32_t>(central_size));
    put_u32(e, 16, zip64 ? 0xffffffff : static_cast<std::uint32_t>(central));
    return b + e;
}

const std::string kName = "Data0/Profile0.txt";
const std::string kContent = "2θ,counts\n5.0,120\n5.02,131\n";

TEST(ZipArchive, ReadsStoredZip64AndDeflatedEntries) {
    const std::string deflated = binary::zip_of({{"a.xml", "<a/>"}, {kName, kContent}});
    for (const std::string& bytes : {stored_archive(kName, kContent, false),
                                     stored_archive(kName, kContent, true), deflated}) {
        const auto archive = ZipArchive::open(bytes, "The file \"x\"");
        ASSERT_TRUE(archive) << archive.error();
        ASSERT_NE(std::find(archive->names().begin(), archive->names().end(), kName),
                  archive->names().end());
        const auto content = archive->read(kName);
        ASSERT_TRUE(content) << content.error();
        EXPECT_EQ(*content, kContent);
    }
}

TEST(ZipArchive, RefusesDamageByName) {
    const std::string good = stored_archive(kName, kContent, false);
    const std::size_t central = 30 + kName.size() + kContent.size();
    const struct {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* says;
    } cases[] = {
        {"no end record", [](std::string& b) { b.resize(b.size() - 22); },
         "no end of central directory"},
        {"directory beyond the file", [](std::string& b) { put_u32(b, b.size() - 6, 1u << 30); },
         "central directory lies outside the file"},
        {"entry count beyond the directory", [](std::string& b) { put_u16(b, b.size() - 12, 2); },
         "a damaged central directory"},
        {"checksum", [&](std::string& b) { b[30 + kName.size()] ^= 1; },
         "its checksum does not match"},
        {"encrypted", [&](std::string& b) { put_u16(b, central + 8, 1); }, "it is encrypted"},
        {"method", [&](std::string& b) { put_u16(b, central + 10, 12); },
         "compression method 12 is not supported"},
        {"local header", [&](std::string& b) { put_u32(b, central + 42, 7); },
         "no local header where the directory points"},
        {"data past the end", [&](std::string& b) { put_u32(b, central + 20, 1u << 20); },
         "its data runs past the end of the file"},
        {"size stated wrong", [&](std::string& b) { put_u32(b, central + 24, 3); },
         "another size than its header states"},
    };
    for (const auto& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        const auto archive = ZipArchive::open(bytes, "The file \"x\"");
        const std::string message = archive ? archive->read(kName).error() : archive.error();
        EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
    }
}

} // namespace
} // namespace teravine
