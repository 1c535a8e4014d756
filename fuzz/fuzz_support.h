// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a reader that turns the fuzzer's bytes into the choices
// and values of one run, and a check that stops the run loudly when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace teravine::fuzz {

// libFuzzer keeps the input of a run that aborts, so a broken invariant becomes a
// reproducible crash file like any sanitizer report.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

class FuzzBytes {
public:
    FuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }

    // Past the end every value reads as zero bytes, so short inputs are still valid.
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    template <class T> T raw() {
        unsigned char bytes[sizeof(T)] = {};
        for (auto& b : bytes) {
            b = byte();
        }
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    // Everything not read yet, as text.
    std::string_view rest() {
        const std::size_t from = pos_ < size_ ? pos_ : size_;
        pos_ = size_;
        return {reinterpret_cast<const char*>(data_) + from, size_ - from};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace teravine::fuzz
