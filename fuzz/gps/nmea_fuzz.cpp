// Received bytes, cut into reads at the bytes that the input marks, through the sentence extraction, the
// parser and the fix: nothing crashes, the pending bytes stay bounded, and every value of the fix is finite,
// the position on the earth.
#include "gps/nmea_parser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zel::gps::nmea_fix fix;
    std::string buffer;
    std::string sentence;
    size_t start = 0;
    while (start < size) {
        // A 0x01 byte ends a read, so sentences split across reads are explored too.
        size_t end = start;
        while (end < size && data[end] != 0x01) {
            ++end;
        }
        buffer.append(reinterpret_cast<const char*>(data) + start, end - start);
        start = end + 1;
        for (;;) {
            const auto result = zel::gps::extract_sentence(buffer, sentence);
            if (result == zel::gps::extract_result::need_more) {
                break;
            }
            if (result == zel::gps::extract_result::sentence) {
                if (const auto record = zel::gps::parse_sentence(sentence)) {
                    zel::gps::apply_sentence(fix, *record);
                }
            }
        }
        if (buffer.size() > zel::gps::nmea_max_sentence) {
            std::abort();
        }
    }
    const double values[] = {fix.latitude, fix.longitude, fix.altitude, fix.speed,
                             fix.course,   fix.hdop,      fix.pdop,     fix.vdop};
    for (double value : values) {
        if (!std::isfinite(value)) {
            std::abort();
        }
    }
    // A coordinate beyond the poles or the date line is refused, so none reaches the fix.
    if (std::fabs(fix.latitude) > 90.0 || std::fabs(fix.longitude) > 180.0 || fix.satellites > 99) {
        std::abort();
    }
    return 0;
}
