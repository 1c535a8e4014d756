// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/sha256.h"

#include <cstring>
#include <fstream>
#include <vector>

namespace teravine {
namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

} // namespace

Sha256::Sha256()
    : h_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::block(const unsigned char* p) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i) {
        w[i] = std::uint32_t{p[4 * i]} << 24 | std::uint32_t{p[4 * i + 1]} << 16 |
               std::uint32_t{p[4 * i + 2]} << 8 | std::uint32_t{p[4 * i + 3]};
    }
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = h_;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) +
                                 ((e & f) ^ (~e & g)) + kRoundConstants[i] + w[i];
        const std::uint32_t t2 =
            (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::array<std::uint32_t, 8> add{a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < 8; ++i) {
        h_[i] += add[i];
    }
}

void Sha256::add(std::string_view bytes) {
    length_ += bytes.size();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    if (pending_size_ > 0) {
        const std::size_t take = std::min(left, pending_.size() - pending_size_);
        std::memcpy(pending_.data() + pending_size_, p, take);
        pending_size_ += take;
        p += take;
        left -= take;
        if (pending_size_ < pending_.size()) {
            return;
        }
        block(pending_.data());
        pending_size_ = 0;
    }
    for (; left >= 64; left -= 64, p += 64) {
        block(p);
    }
    std::memcpy(pending_.data(), p, left);
    pending_size_ = left;
}

std::string Sha256::hex() {
    const std::uint64_t bits = length_ * 8;
    std::string tail(1, '\x80');
    tail.append((pending_size_ + 1 <= 56 ? 56 : 120) - pending_size_ - 1, '\0');
    for (int shift = 56; shift >= 0; shift -= 8) {
        tail += static_cast<char>((bits >> shift) & 0xff);
    }
    add(tail);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint32_t word : h_) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            out += kDigits[(word >> shift) & 0xf];
        }
    }
    return out;
}

std::string sha256_hex(std::string_view bytes) {
    Sha256 sum;
    sum.add(bytes);
    return sum.hex();
}

Outcome<std::string> sha256_of_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Failure{"The file \"" + path + "\" cannot be read."};
    }
    Sha256 sum;
    std::vector<char> chunk(std::size_t{1} << 16);
    std::uint64_t total = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        total += got;
        if (total > kMaxHashedFileBytes) {
            return Failure{"The file \"" + path + "\" is too large to be checked."};
        }
        sum.add(std::string_view(chunk.data(), got));
    }
    if (in.bad()) {
        return Failure{"The file \"" + path + "\" could not be read to its end."};
    }
    return sum.hex();
}

} // namespace teravine
