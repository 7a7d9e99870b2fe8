// The MD5 message digest of RFC 1321, with which the program update checks its downloaded files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zel {

class md5 {
public:
    md5() {
        init();
    }

    // The RFC 1321 initial state, bit count 0.
    void init();
    // Adds bytes; every full 64-byte block is transformed.
    void update(const void* data, size_t length);
    // Appends the fill bytes and the bit length, writes the digest, then zero-fills the whole context.
    void final(uint8_t digest[16]);

    // The digest of a whole buffer as 32 lower-case hexadecimal characters.
    static std::string hex_digest(const void* data, size_t length);
    static std::string to_hex(const uint8_t digest[16]);

private:
    void transform(const uint8_t block[64]);

    std::array<uint32_t, 4> state_{};
    std::array<uint32_t, 2> count_{}; // bits, low word first
    std::array<uint8_t, 64> buffer_{};
};

} // namespace zel
