// The frame reader never crashes on any byte stream, however it is split into reads; every frame it cuts
// is exactly the bytes it consumed, and a stream it calls broken stays broken.
#include "controller/frame_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zel::controller_;
    if (size == 0) {
        return 0;
    }
    // The first byte chooses how the rest is split into reads.
    const size_t step = 1 + data[0] % 64;
    ++data;
    --size;
    frame_reader reader;
    size_t consumed = 0;
    bool broken = false;
    for (size_t offset = 0; offset < size; offset += step) {
        const size_t block = size - offset < step ? size - offset : step;
        reader.append(data + offset, block);
        packet p;
        frame_reader::result r;
        while ((r = reader.next(p)) == frame_reader::result::packet) {
            const bytes wire = p.to_bytes();
            if (broken || wire.size() != packet::header_size + p.length() || consumed + wire.size() > size ||
                !std::equal(wire.begin(), wire.end(), data + consumed)) {
                std::abort();
            }
            consumed += wire.size();
            if (p.payload().size() > packet::inflated_cap) {
                std::abort();
            }
        }
        broken = broken || r == frame_reader::result::broken;
    }
    return 0;
}
