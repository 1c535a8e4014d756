// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian numbers and fixed-width texts read from a file's bytes at given offsets.
// A read that would pass the end gives nothing instead of a value: the readers of binary
// formats turn that into a message, never into a read outside the bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }

    // Whether `count` bytes from `offset` lie inside the bytes (no overflow on huge values).
    bool holds(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    std::optional<std::uint16_t> u16(std::size_t offset) const {
        const auto value = unsigned_at(offset, 2);
        return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value))
                     : std::nullopt;
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        const auto value = unsigned_at(offset, 4);
        return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value))
                     : std::nullopt;
    }
    std::optional<double> f32(std::size_t offset) const {
        const auto value = u32(offset);
        return value ? std::optional<double>(std::bit_cast<float>(*value)) : std::nullopt;
    }
    std::optional<double> f64(std::size_t offset) const {
        const auto value = unsigned_at(offset, 8);
        return value ? std::optional<double>(std::bit_cast<double>(*value)) : std::nullopt;
    }

    // The text of a fixed-width field: up to its first NUL, without blanks at either end.
    std::optional<std::string> text(std::size_t offset, std::size_t width) const {
        if (!holds(offset, width)) {
            return std::nullopt;
        }
        std::string_view field = bytes_.substr(offset, width);
        field = field.substr(0, field.find('\0'));
        const auto first = field.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos) {
            return std::string();
        }
        const auto last = field.find_last_not_of(" \t\r\n");
        return std::string(field.substr(first, last - first + 1));
    }

    // `count` values of `width` bytes (4: float, 8: double) from `offset`; nothing when
    // they pass the end, checked before anything is allocated.
    std::optional<std::vector<double>> reals(std::size_t offset, std::size_t count,
                                             std::size_t width) const {
        if ((width != 4 && width != 8) || count > bytes_.size() / width ||
            !holds(offset, count * width)) {
            return std::nullopt;
        }
        std::vector<double> values(count);
        for (std::size_t i = 0; i < count; ++i) {
            values[i] = width == 4 ? *f32(offset + i * 4) : *f64(offset + i * 8);
        }
        return values;
    }

private:
    std::optional<std::uint64_t> unsigned_at(std::size_t offset, std::size_t width) const {
        if (!holds(offset, width)) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (std::size_t i = width; i-- > 0;) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
        }
        return value;
    }

    std::string_view bytes_;
};

} // namespace teravine
