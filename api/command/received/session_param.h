// The session: the driver's area, status, balance and car. The store keeps one and parses every later
// "session-param" into it, so members a text lacks keep their values.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zel_api::command {

// The values of "driver-status" that the screens tell apart. The server gives them no names: apart from the
// not-begun shift, lunch, repair and the taximeter's work, every value is an ordinary working state, and the two
// ordinary ones below are named after what the main menu does with them.
namespace driver_status {
inline constexpr int32_t off_shift = -2;         // has not begun a shift
inline constexpr int32_t no_status_button = -1;  // the main menu shows neither a status nor a parking button
inline constexpr int32_t ordinary = 0;           // what ends lunch or repair; parking starts from the status screen
inline constexpr int32_t ordinary_area_list = 1; // parking starts from the area list
inline constexpr int32_t at_lunch = 2;
inline constexpr int32_t under_repair = 3;
inline constexpr int32_t working = 4; // working with the taximeter; parking starts from the area list
} // namespace driver_status

class session_param : public command {
public:
    void from_value(const json::value& root) override;

    std::optional<int64_t> dt; // milliseconds since 1970 on the server; sets the server clock
    std::optional<int64_t> tzo;
    std::optional<int64_t> area_id;
    std::optional<int32_t> area_queue;
    std::optional<int32_t> driver_status; // a driver_status value
    std::optional<float> balance;
    std::optional<bool> track_ss_enable;
    std::optional<int32_t> oac;
    std::optional<bool> opt_parking_filter;
    std::wstring car;
    std::wstring callsign;
    std::wstring car_regnum;
    std::wstring car_color;
    std::wstring car_name;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
