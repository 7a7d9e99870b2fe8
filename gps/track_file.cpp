#include "gps/track_file.h"

#include "gps/wire_numbers.h"

#include <algorithm>

namespace zel::gps {

track_record to_track_record(const location& point) {
    track_record record;
    record.latitude = truncate_saturated<int32_t>(point.latitude * 10000000.0);
    record.longitude = truncate_saturated<int32_t>(point.longitude * 10000000.0);
    record.altitude = truncate_saturated<int32_t>(point.altitude);
    record.speed = static_cast<uint8_t>(truncate_saturated<int64_t>(point.speed) & 0xFF);
    record.accuracy = static_cast<int16_t>(truncate_saturated<int32_t>(point.accuracy * 10.0f));
    record.accuracy_again = record.accuracy;
    record.gps_time = point.gps_time;
    record.satellites = static_cast<uint8_t>(point.satellites & 0xFF);
    record.course = static_cast<uint16_t>(point.course & 0xFFFF);
    record.flag = point.flag;
    return record;
}

std::string encode_track_batch(const std::vector<location>& points) {
    std::vector<track_record> records;
    records.reserve(std::min(points.size(), track_batch_max));
    for (size_t i = 0; i < points.size() && i < track_batch_max; ++i) {
        records.push_back(to_track_record(points[i]));
    }
    return encode_track_batch(records);
}

std::string encode_track_batch(const std::vector<track_record>& records) {
    const size_t count = std::min(records.size(), track_batch_max);
    std::string out(8, '\0');
    out.reserve(track_header_size + count * track_record_size);
    out.push_back(static_cast<char>(count & 0xFF));
    out.push_back(static_cast<char>(count >> 8));
    for (size_t i = 0; i < count; ++i) {
        const track_record& record = records[i];
        put_be(out, record.latitude);
        put_be(out, record.longitude);
        put_be(out, record.altitude);
        put_be(out, record.speed);
        put_be(out, record.accuracy);
        put_be(out, record.accuracy_again);
        put_be(out, record.gps_time);
        put_be(out, record.satellites);
        put_be(out, record.course);
        put_be(out, record.kind);
        put_be(out, record.flag);
    }
    return out;
}

bool read_track_file(std::string_view bytes, std::vector<std::vector<track_record>>& batches, std::string& error) {
    batches.clear();
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < track_header_size) {
            error = "the file ends inside a batch header at byte " + std::to_string(at);
            return false;
        }
        const std::string_view head = bytes.substr(at, track_header_size);
        if (head.find_first_not_of('\0') < 8) {
            error = "a batch header without its 8 zero bytes at byte " + std::to_string(at);
            return false;
        }
        const size_t count = static_cast<unsigned char>(head[8]) | static_cast<unsigned char>(head[9]) << 8;
        at += track_header_size;
        if ((bytes.size() - at) / track_record_size < count) {
            error = "a batch of " + std::to_string(count) + " points is cut short at byte " + std::to_string(at);
            return false;
        }
        std::vector<track_record>& batch = batches.emplace_back();
        batch.reserve(count);
        for (size_t i = 0; i < count; ++i, at += track_record_size) {
            const char* p = bytes.data() + at;
            track_record& r = batch.emplace_back();
            r.latitude = get_be<int32_t>(p);
            r.longitude = get_be<int32_t>(p + 4);
            r.altitude = get_be<int32_t>(p + 8);
            r.speed = get_be<uint8_t>(p + 12);
            r.accuracy = get_be<int16_t>(p + 13);
            r.accuracy_again = get_be<int16_t>(p + 15);
            r.gps_time = get_be<uint64_t>(p + 17);
            r.satellites = get_be<uint8_t>(p + 25);
            r.course = get_be<uint16_t>(p + 26);
            r.kind = get_be<uint8_t>(p + 28);
            r.flag = get_be<uint8_t>(p + 29);
        }
    }
    return true;
}

} // namespace zel::gps
