// Bytes written as hexadecimal pairs, spaces ignored: hex_bytes("21 3B 16 B6").
#pragma once

#include <string>

namespace zel::gps::test {

inline std::string hex_bytes(const std::string& text) {
    std::string out;
    int high = -1;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) {
            continue;
        }
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<char>(high << 4 | digit));
            high = -1;
        }
    }
    return out;
}

} // namespace zel::gps::test
