// The eight values by which the taximeter prices a ride, read through one interface: a plain value object
// (tariff_params) and the order's own rate set implement it. The taximeter keeps its own clone.
#pragma once

#include <cstdint>
#include <memory>

namespace zel::gps {

class tariff_interface {
public:
    virtual ~tariff_interface() = default;

    virtual std::unique_ptr<tariff_interface> clone() const = 0;
    virtual void set_base_price(float value) = 0;
    virtual float base_price() const = 0;
    virtual void set_included_distance(float km) = 0;
    virtual float included_distance() const = 0;
    virtual void set_included_time(float minutes) = 0;
    virtual float included_time() const = 0;
    virtual void set_price_per_km(float value) = 0;
    virtual float price_per_km() const = 0;
    virtual void set_price_per_minute(float value) = 0;
    virtual float price_per_minute() const = 0;
    virtual void set_downtime_price(float value) = 0;
    virtual float downtime_price() const = 0;
    virtual void set_speed_limit(int32_t kmh) = 0;
    virtual int32_t speed_limit() const = 0;
    // Negative: no cap; 0: time is never charged; positive: the time cost never exceeds it.
    virtual float time_cost_cap() const = 0;
    virtual void set_time_cost_cap(float value) = 0;
};

} // namespace zel::gps
