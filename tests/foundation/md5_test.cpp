#include "foundation/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace zel {
namespace {

TEST(md5, rfc1321_test_suite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : cases) {
        EXPECT_EQ(md5::hex_digest(input.data(), input.size()), digest) << input;
    }
}

TEST(md5, pieces_of_any_size_give_the_same_digest) {
    std::string data;
    for (int i = 0; i < 1000; ++i) {
        data.push_back(static_cast<char>(i * 7));
    }
    const std::string whole = md5::hex_digest(data.data(), data.size());
    for (size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
        md5 context;
        for (size_t at = 0; at < data.size(); at += piece) {
            context.update(data.data() + at, std::min(piece, data.size() - at));
        }
        uint8_t digest[16];
        context.final(digest);
        EXPECT_EQ(md5::to_hex(digest), whole) << piece;
    }
}

} // namespace
} // namespace zel
