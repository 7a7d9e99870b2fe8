// UTF-8 decoding never fails and never produces an invalid code point; valid text survives a round trip.
#include "foundation/text_utils.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::wstring wide = zel::utf8_to_wide(input);
    for (wchar_t c : wide) {
        if (c == 0 || static_cast<uint32_t>(c) > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            std::abort();
        }
    }
    const std::string back = zel::wide_to_utf8(wide);
    if (zel::utf8_to_wide(back) != wide) {
        std::abort();
    }
    if (zel::utf16_to_wide(zel::wide_to_utf16(wide)) != wide) {
        std::abort();
    }
    return 0;
}
