#include "controller/frame_reader.h"

namespace zel::controller_ {

void frame_reader::append(const uint8_t* data, size_t size) {
    if (!error_.empty()) {
        return;
    }
    // Drop what was cut before growing, so a long-lived link keeps one small buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), data, data + size);
}

frame_reader::result frame_reader::next(packet& out) {
    if (!error_.empty()) {
        return result::broken;
    }
    if (pending() < packet::header_size) {
        return result::need_more;
    }
    const uint8_t* header = buffer_.data() + start_;
    const uint32_t length = packet::read_length(header);
    if (length > max_frame_length) {
        error_ = "packet length " + std::to_string(length) + " exceeds " + std::to_string(max_frame_length);
        return result::broken;
    }
    const size_t frame = packet::header_size + length;
    if (pending() < frame) {
        return result::need_more;
    }
    out.from_bytes(header, frame);
    start_ += frame;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    return result::packet;
}

} // namespace zel::controller_
