// Numbers as the upload formats carry them: big-endian bytes, and decimal values truncated toward zero into
// whole numbers. A value beyond the target's range saturates and NaN gives 0, so no input reaches an
// out-of-range conversion.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace zel::gps {

template <class Int> Int truncate_saturated(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(std::numeric_limits<Int>::min())) {
        return std::numeric_limits<Int>::min();
    }
    if (value >= static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::numeric_limits<Int>::max();
    }
    return static_cast<Int>(value);
}

// A double narrowed to a float; beyond the float range it becomes an infinity of its sign.
inline float to_float(double value) {
    if (value > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// Appends the low sizeof(Int) bytes of value, most significant first.
template <class Int> void put_be(std::string& out, Int value) {
    using unsigned_type = std::make_unsigned_t<Int>;
    const auto bits = static_cast<unsigned_type>(value);
    for (int shift = static_cast<int>(sizeof(Int) * 8) - 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((bits >> shift) & 0xFF));
    }
}

inline void put_be_float(std::string& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_be(out, bits);
}

// Reads sizeof(Int) bytes, most significant first; the caller has checked that they are there.
template <class Int> Int get_be(const char* data) {
    std::make_unsigned_t<Int> bits = 0;
    for (size_t i = 0; i < sizeof(Int); ++i) {
        bits = static_cast<std::make_unsigned_t<Int>>((bits << 8) | static_cast<unsigned char>(data[i]));
    }
    return static_cast<Int>(bits);
}

} // namespace zel::gps
