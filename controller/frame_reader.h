// Cuts framed packets out of the bytes of one connection, in arrival order. Bytes come in blocks of any size
// (a frame may be split across blocks, or several frames may share one); every complete frame is cut before
// more bytes are asked for. Any type byte makes a frame (what to do with a type this side does not know is the
// link's business). A header announcing a length beyond max_frame_length leaves the stream out of step for good:
// its payload can't be skipped safely, so the reader reports it once and the connection must be dropped.
#pragma once

#include "controller/packet.h"

#include <string>

namespace zel::controller_ {

class frame_reader {
public:
    // The largest payload a frame may announce: far above any real packet, small enough to allocate.
    static constexpr uint32_t max_frame_length = 4u << 20;

    enum class result { packet, need_more, broken };

    void append(const uint8_t* data, size_t size);
    // Cuts the next complete frame into out. After broken, every further call is broken too.
    result next(packet& out);
    // What made the stream broken, for the log.
    const std::string& error() const {
        return error_;
    }
    // Bytes held that do not yet make a whole frame.
    size_t pending() const {
        return buffer_.size() - start_;
    }

private:
    bytes buffer_;
    size_t start_ = 0; // bytes before this were already cut
    std::string error_;
};

} // namespace zel::controller_
