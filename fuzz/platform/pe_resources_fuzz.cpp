// The resource directory reader on arbitrary bytes: it must refuse or stay inside them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/resources/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto parsed = platform::pe_resources::parse(data, size, error);
    if (parsed) {
        unsigned sum = 0;
        for (const auto& r : parsed->all()) {
            if (r.offset + r.size > size) {
                __builtin_trap();
            }
            for (std::size_t i = 0; i < r.size; ++i) {
                sum += data[r.offset + i];
            }
        }
        parsed->find(std::u16string(u"PNG"), std::uint16_t{1046});
        static_cast<void>(sum);
    }
    return 0;
}
