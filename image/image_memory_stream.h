// A stream over bytes in memory. Over a caller's buffer it only reads: the caller's bytes are never written,
// freed or reallocated. Created without a buffer it owns one that grows in 64 KiB steps as it is written.
#pragma once

#include "image/image_stream.h"

namespace zel {

class image_memory_stream : public image_stream {
public:
    // A null buffer makes an empty stream that owns what it later allocates.
    image_memory_stream(const uint8_t* buffer, size_t size);
    ~image_memory_stream() override;
    image_memory_stream(const image_memory_stream&) = delete;
    image_memory_stream& operator=(const image_memory_stream&) = delete;

    bool close() override;
    size_t read(void* buffer, size_t size, size_t count) override;
    size_t write(const void* buffer, size_t size, size_t count) override;
    bool seek(int64_t offset, int origin) override;
    int64_t tell() override;
    int64_t size() override;
    bool flush() override;
    bool eof() override;
    int error() override;
    bool put_byte(uint8_t byte) override;
    int get_byte() override;
    char* get_line(char* buffer, size_t n) override;
    int scan() override;

    // Makes room for length bytes of an owned buffer: capacity becomes length rounded down to 64 KiB, plus
    // 64 KiB. False when there is no buffer afterwards or the stream reads a caller's buffer.
    bool reserve(size_t length);
    // The bytes (owned or the caller's).
    const uint8_t* data() const {
        return buffer_ ? buffer_ : caller_;
    }

private:
    bool has_data() const {
        return data() != nullptr;
    }

    const uint8_t* caller_ = nullptr; // read-only bytes of the caller
    uint8_t* buffer_ = nullptr;       // owned bytes
    size_t length_ = 0;
    size_t position_ = 0;
    size_t capacity_ = 0;
};

} // namespace zel
