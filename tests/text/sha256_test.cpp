// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/sha256.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

// The FIPS 180-2 examples, and lengths about the padding's edges, given whole, in pieces
// of odd sizes and from a file read in chunks: each way gives the same digest.
TEST(Sha256, StandardVectorsWholeInPiecesAndFromAFile) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sha256_hex(c.message), c.digest) << c.message.size();
        Sha256 pieces;
        for (std::size_t at = 0, step = 1; at < c.message.size();
             at += step, step = step * 3 % 97) {
            pieces.add(std::string_view(c.message).substr(at, step));
        }
        EXPECT_EQ(pieces.hex(), c.digest) << c.message.size();
        ScratchFolder folder;
        const auto from_file = sha256_of_file(folder.write("m.bin", c.message));
        ASSERT_TRUE(from_file) << from_file.error();
        EXPECT_EQ(*from_file, c.digest) << c.message.size();
    }
}

TEST(Sha256, AFileThatCannotBeReadIsNamed) {
    ScratchFolder folder;
    const auto missing = sha256_of_file(folder.file("gone.xy"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("gone.xy"), std::string::npos);
}

} // namespace
} // namespace teravine
