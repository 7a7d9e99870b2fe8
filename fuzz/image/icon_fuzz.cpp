// Icon decoding never crashes and never yields an image beyond the size caps.
#include "fuzz/image/decode_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zel::fuzz::decode_and_use(data, size, zel::CXIMAGE_FORMAT_ICO);
    if (size > 0 && data[0] % 7 == 0) {
        zel::fuzz::decode_and_use(data, size, zel::CXIMAGE_FORMAT_ICO, -1);
    }
    return 0;
}
