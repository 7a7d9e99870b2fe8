// One framed packet of the dispatch protocol, as it travels in both directions:
//
//   offset 0  type    10 command (UTF-8 JSON payload), 20 acknowledgement, 100 keep-alive, 101 keep-alive answer
//   offset 1  flag    1 = the payload is a zlib stream; what this side sends carries 0
//   offset 2  id      the request's sequence id; answers, acknowledgements and keep-alive answers repeat it
//   offset 3  length  payload bytes, 32-bit unsigned, most significant byte first
//   offset 7  payload
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zel::controller_ {

using bytes = std::vector<uint8_t>;

class packet {
public:
    enum kind : uint8_t { command = 10, acknowledgement = 20, keep_alive = 100, keep_alive_answer = 101 };
    static constexpr size_t header_size = 7;
    static constexpr uint8_t flag_compressed = 1;
    // Largest payload a compressed packet may inflate to.
    static constexpr size_t inflated_cap = 204800;

    packet() = default;
    packet(uint8_t type, uint8_t flag, uint8_t id);

    // Copies the bytes in as the payload and sets the length; a packet flagged compressed is left unchanged
    // (this side never compresses). Always 1.
    int set_payload(const bytes& payload);
    // The header bytes followed by the payload.
    bytes to_bytes() const;
    // The first 7 bytes become the header, the rest (when the length is not 0) the payload. The caller hands
    // exactly one whole frame (frame_reader cuts them).
    void from_bytes(const uint8_t* data, size_t size);
    // The payload, inflated when flagged compressed; a stream that is corrupt or inflates past inflated_cap
    // gives an empty payload and an error in the log.
    bytes payload() const;

    uint8_t type() const {
        return header_[0];
    }
    uint8_t flag() const {
        return header_[1];
    }
    uint8_t id() const {
        return header_[2];
    }
    uint32_t length() const;

    // The length field of a header, most significant byte first.
    static uint32_t read_length(const uint8_t* header);

private:
    std::array<uint8_t, header_size> header_{};
    bytes payload_;
};

} // namespace zel::controller_
