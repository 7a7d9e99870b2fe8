#include "gps/taximeter/tax_dump.h"

#include "gps/taximeter/taximeter_point.h"

#include <bit>

namespace zel::gps {

namespace {

constexpr uint64_t point_size = 40;
constexpr uint64_t interval_size = 16;

template <typename T> void put(std::string& out, T value) {
    using unsigned_type =
        std::conditional_t<sizeof(T) == 8, uint64_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint16_t>>;
    const auto bits = std::bit_cast<unsigned_type>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
}

// Reads fixed-size little-endian values; the caller has checked that the bytes are there.
class reader {
public:
    explicit reader(std::string_view bytes) : bytes_(bytes) {}

    template <typename T> T get() {
        using unsigned_type =
            std::conditional_t<sizeof(T) == 8, uint64_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint16_t>>;
        unsigned_type bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            bits |= static_cast<unsigned_type>(static_cast<unsigned char>(bytes_[offset_ + i])) << (8 * i);
        }
        offset_ += sizeof(T);
        return std::bit_cast<T>(bits);
    }
    uint64_t offset() const {
        return offset_;
    }

private:
    std::string_view bytes_;
    uint64_t offset_ = 0;
};

} // namespace

std::string tax_dump::encode() const {
    std::string out;
    out.reserve(20 + 2 * order_id.size() + point_size * points.size() + interval_size * downtime.size());
    put(out, static_cast<uint32_t>(order_id.size()));
    for (char16_t unit : order_id) {
        put(out, static_cast<uint16_t>(unit));
    }
    put(out, start_time);
    put(out, static_cast<uint32_t>(points.size()));
    for (const location& point : points) {
        put(out, point.latitude);
        put(out, point.longitude);
        put(out, point.speed);
        put(out, point.accuracy);
        put(out, point.satellites);
        put(out, point.course);
        put(out, point.delivery_time);
    }
    put(out, static_cast<uint32_t>(downtime.size()));
    for (const time_interval& interval : downtime) {
        put(out, interval.begin);
        put(out, interval.end);
    }
    return out;
}

std::optional<tax_dump> tax_dump::decode(std::string_view bytes, std::string* error) {
    auto fail = [error](const char* why) {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    const uint64_t size = bytes.size();
    reader in(bytes);
    if (size < 20) {
        return fail("shorter than an empty dump");
    }
    const uint32_t units = in.get<uint32_t>();
    if (units > max_order_id_units) {
        return fail("order id too long");
    }
    if (size < 20 + 2ULL * units) {
        return fail("ends inside the order id");
    }
    tax_dump dump;
    dump.order_id.reserve(units);
    for (uint32_t i = 0; i < units; ++i) {
        dump.order_id.push_back(static_cast<char16_t>(in.get<uint16_t>()));
    }
    dump.start_time = in.get<uint64_t>();
    const uint32_t point_count = in.get<uint32_t>();
    if (point_count > max_points) {
        return fail("too many points");
    }
    const uint64_t intervals_at = in.offset() + point_size * point_count;
    if (size < intervals_at + 4) {
        return fail("ends inside the points");
    }
    const uint32_t interval_count = reader(bytes.substr(intervals_at)).get<uint32_t>();
    if (interval_count > max_intervals) {
        return fail("too many downtime intervals");
    }
    if (size != intervals_at + 4 + interval_size * interval_count) {
        return fail("size does not match its counts");
    }
    dump.points.resize(point_count);
    for (location& point : dump.points) {
        point.latitude = in.get<double>();
        point.longitude = in.get<double>();
        point.speed = in.get<float>();
        point.accuracy = in.get<float>();
        point.satellites = in.get<int32_t>();
        point.course = in.get<int32_t>();
        point.delivery_time = in.get<uint64_t>();
    }
    for (const location& point : dump.points) {
        // The writer keeps no such point: a NaN in a dump would make the resumed ride's totals NaN to the end.
        if (!location_is_finite(point)) {
            return fail("a point holds a value that is not a number");
        }
    }
    in.get<uint32_t>();
    dump.downtime.resize(interval_count);
    for (time_interval& interval : dump.downtime) {
        interval.begin = in.get<uint64_t>();
        interval.end = in.get<uint64_t>();
    }
    return dump;
}

} // namespace zel::gps
