#include "image/image_memory_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zel {

namespace {

constexpr size_t growth_step = 65536;

// size × count, or 0 when it overflows (nothing is then read or written).
size_t byte_count(size_t size, size_t count) {
    if (size == 0 || count > std::numeric_limits<size_t>::max() / size) {
        return 0;
    }
    return size * count;
}

} // namespace

image_memory_stream::image_memory_stream(const uint8_t* buffer, size_t size) : caller_(buffer) {
    if (buffer != nullptr) {
        length_ = size;
        capacity_ = size;
    }
}

image_memory_stream::~image_memory_stream() {
    close();
}

bool image_memory_stream::close() {
    std::free(buffer_);
    buffer_ = nullptr;
    caller_ = nullptr;
    length_ = 0;
    position_ = 0;
    capacity_ = 0;
    return true;
}

size_t image_memory_stream::read(void* buffer, size_t size, size_t count) {
    const size_t wanted = byte_count(size, count);
    if (buffer == nullptr || !has_data() || position_ >= length_ || wanted == 0) {
        return 0;
    }
    const size_t n = std::min(wanted, length_ - position_);
    std::memcpy(buffer, data() + position_, n);
    position_ += n;
    return n / size;
}

size_t image_memory_stream::write(const void* buffer, size_t size, size_t count) {
    const size_t n = byte_count(size, count);
    if (buffer == nullptr || buffer_ == nullptr || n == 0 || position_ > std::numeric_limits<size_t>::max() - n) {
        return 0;
    }
    if (position_ + n > capacity_ && !reserve(position_ + n)) {
        return 0;
    }
    std::memcpy(buffer_ + position_, buffer, n);
    position_ += n;
    length_ = std::max(length_, position_);
    return count;
}

bool image_memory_stream::seek(int64_t offset, int origin) {
    if (!has_data()) {
        return false;
    }
    int64_t base;
    switch (origin) {
    case 0:
        base = 0;
        break;
    case 1:
        base = static_cast<int64_t>(position_);
        break;
    case 2:
        base = static_cast<int64_t>(length_);
        break;
    default:
        return false;
    }
    if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) {
        return false;
    }
    const int64_t target = base + offset;
    position_ = target < 0 ? 0 : static_cast<size_t>(target);
    return true;
}

int64_t image_memory_stream::tell() {
    return has_data() ? static_cast<int64_t>(position_) : -1;
}

int64_t image_memory_stream::size() {
    return has_data() ? static_cast<int64_t>(length_) : -1;
}

bool image_memory_stream::flush() {
    return has_data();
}

bool image_memory_stream::eof() {
    return !has_data() || position_ >= length_;
}

int image_memory_stream::error() {
    if (!has_data()) {
        return -1;
    }
    return position_ > length_ ? 1 : 0;
}

bool image_memory_stream::put_byte(uint8_t byte) {
    if (buffer_ == nullptr) {
        return false;
    }
    if (position_ >= capacity_ && !reserve(position_ + 1)) {
        return false;
    }
    buffer_[position_++] = byte;
    length_ = std::max(length_, position_);
    return true;
}

int image_memory_stream::get_byte() {
    if (eof()) {
        return -1;
    }
    return data()[position_++];
}

char* image_memory_stream::get_line(char* buffer, size_t n) {
    if (buffer == nullptr) {
        return nullptr;
    }
    size_t stored = 0;
    while (stored + 1 < n) {
        const int c = get_byte();
        if (c < 0) {
            // The text so far stays terminated, so a caller that ignores the null result reads no garbage.
            buffer[stored] = 0;
            return nullptr;
        }
        buffer[stored++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (n > 0) {
        buffer[stored] = 0;
    }
    return buffer;
}

int image_memory_stream::scan() {
    return 0;
}

bool image_memory_stream::reserve(size_t length) {
    if (caller_ != nullptr) {
        return false;
    }
    if (length > capacity_) {
        if (length > std::numeric_limits<size_t>::max() - growth_step) {
            return false;
        }
        const size_t capacity = length / growth_step * growth_step + growth_step;
        auto* grown = static_cast<uint8_t*>(std::realloc(buffer_, capacity));
        if (grown == nullptr) {
            std::free(buffer_);
            buffer_ = nullptr;
            length_ = 0;
            position_ = 0;
            capacity_ = 0;
            return false;
        }
        buffer_ = grown;
        capacity_ = capacity;
    }
    return buffer_ != nullptr;
}

} // namespace zel
