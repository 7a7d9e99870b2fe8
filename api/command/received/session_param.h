// The session: the driver's area, status, balance and car. The store keeps one and parses every later
// "session-param" into it, so members a text lacks keep their values.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zel_api::command {

class session_param : public command {
public:
    void from_value(const json::value& root) override;

    std::optional<int64_t> dt; // milliseconds since 1970 on the server; sets the server clock
    std::optional<int64_t> tzo;
    std::optional<int64_t> area_id;
    std::optional<int32_t> area_queue;
    std::optional<int32_t> driver_status;
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
