// The byte stream that every decoder reads through. Positions and lengths are byte counts; an operation that
// cannot be done reports it by its result (0, false, -1), never by an exception.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zel {

class image_stream {
public:
    virtual ~image_stream() = default;

    virtual bool close() = 0;
    // Number of whole items read or written.
    virtual size_t read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t write(const void* buffer, size_t size, size_t count) = 0;
    // origin: 0 start, 1 current position, 2 end.
    virtual bool seek(int64_t offset, int origin) = 0;
    virtual int64_t tell() = 0;
    virtual int64_t size() = 0;
    virtual bool flush() = 0;
    virtual bool eof() = 0;
    virtual int error() = 0;
    virtual bool put_byte(uint8_t byte) {
        return write(&byte, 1, 1) == 1;
    }
    // A byte 0-255, or -1 at the end.
    virtual int get_byte() = 0;
    // Reads up to n - 1 bytes, through the first newline; the text is always terminated. Null at the end of data.
    virtual char* get_line(char* buffer, size_t n) = 0;
    virtual int scan() = 0;
};

} // namespace zel
