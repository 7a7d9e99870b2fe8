// A reference tariff, named by an order's "s-tid". The taximeter takes "pp", "pp-dist", "pp-time",
// "btax-dist", "btax-time" (also the downtime price), "speed-limit" and "max-pay-sum-lsl"; the rest is
// carried for the screens.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zel_api::command {

class ref_tariff : public command {
public:
    std::wstring to_json() const override;
    void from_value(const json::value& root) override;

    std::wstring s_id;
    int32_t t = 0;
    uint64_t s = 0;
    std::wstring n;
    std::optional<float> pp;        // base price
    std::optional<int32_t> pp_dist; // kilometres in the base price
    std::optional<int32_t> pp_time; // minutes in the base price
    std::optional<float> btax_dist; // per kilometre
    std::optional<float> btax_time; // per minute, and per minute of downtime
    std::optional<float> mdist_btax;
    std::optional<int32_t> mtime_btax;
    std::optional<float> atax_dist;
    std::optional<float> atax_time;
    std::optional<int32_t> speed_limit;   // km/h
    std::optional<float> max_pay_sum_lsl; // time-cost cap
    std::optional<int32_t> min_sum_prio;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
