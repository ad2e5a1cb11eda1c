#include "image/memory_byte_source.h"
#include "image/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavex {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct KnownDigest {
    std::string message;
    const char* digest;
};

// The published test vectors, and lengths at the edges of the padding.
TEST(Sha256, KnownDigests)
{
    const std::vector<KnownDigest> cases = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const KnownDigest& known : cases) {
        EXPECT_EQ(Sha256Hex(Bytes(known.message)), known.digest) << known.message.size() << " bytes";
    }
}

// Pieces of every size give the digest of the whole: the pending block is
// carried across additions.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole)
{
    std::string message;
    for (int i = 0; i < 300; ++i) {
        message += static_cast<char>(i * 7);
    }
    const std::string whole = Sha256Hex(Bytes(message));
    for (std::size_t piece : {1U, 3U, 63U, 64U, 65U, 130U}) {
        Sha256 hash;
        for (std::size_t at = 0; at < message.size(); at += piece) {
            hash.Add(Bytes(message).subspan(at, std::min(piece, message.size() - at)));
        }
        EXPECT_EQ(hash.HexDigest(), whole) << "pieces of " << piece;
    }
}

TEST(Sha256, ASourceThatFailsHasNoDigest)
{
    const std::string text(100000, 'x');
    MemoryByteSource whole(Bytes(text), false);
    EXPECT_EQ(Sha256HexOfSource(whole), Sha256Hex(Bytes(text)));
    MemoryByteSource failing(Bytes(text), true);
    EXPECT_EQ(Sha256HexOfSource(failing), "");
}

} // namespace
} // namespace tavex
