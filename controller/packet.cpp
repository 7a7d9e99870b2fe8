#include "controller/packet.h"

#include "foundation/logger.h"

#include <zlib.h>

#include <algorithm>

namespace zel::controller_ {

packet::packet(uint8_t type, uint8_t flag, uint8_t id) {
    header_[0] = type;
    header_[1] = flag;
    header_[2] = id;
}

int packet::set_payload(const bytes& payload) {
    if (flag() == flag_compressed) {
        return 1;
    }
    payload_ = payload;
    const auto size = static_cast<uint32_t>(payload.size());
    header_[3] = static_cast<uint8_t>(size >> 24);
    header_[4] = static_cast<uint8_t>(size >> 16);
    header_[5] = static_cast<uint8_t>(size >> 8);
    header_[6] = static_cast<uint8_t>(size);
    return 1;
}

bytes packet::to_bytes() const {
    bytes out(header_.begin(), header_.end());
    out.insert(out.end(), payload_.begin(), payload_.end());
    return out;
}

void packet::from_bytes(const uint8_t* data, size_t size) {
    const size_t head = std::min(size, header_size);
    std::copy(data, data + head, header_.begin());
    payload_.assign(data + head, data + size);
}

uint32_t packet::read_length(const uint8_t* header) {
    return static_cast<uint32_t>(header[3]) << 24 | static_cast<uint32_t>(header[4]) << 16 |
           static_cast<uint32_t>(header[5]) << 8 | static_cast<uint32_t>(header[6]);
}

uint32_t packet::length() const {
    return read_length(header_.data());
}

bytes packet::payload() const {
    if (flag() != flag_compressed) {
        return payload_;
    }
    bytes out(inflated_cap);
    uLongf out_size = inflated_cap;
    const int result = uncompress(out.data(), &out_size, payload_.data(), payload_.size());
    if (result != Z_OK) {
        zel::log(logger::error, L"packet: compressed payload of " + std::to_wstring(payload_.size()) +
                                    L" bytes does not inflate within 204800 bytes (zlib " + std::to_wstring(result) +
                                    L"), dropped");
        return {};
    }
    out.resize(out_size);
    return out;
}

} // namespace zel::controller_
