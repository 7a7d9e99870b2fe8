// A tariff as a plain value: every value 0 when new.
#pragma once

#include "gps/taximeter/tariff_interface.h"

namespace zel::gps {

class tariff_params : public tariff_interface {
public:
    std::unique_ptr<tariff_interface> clone() const override;
    void set_base_price(float value) override {
        base_price_ = value;
    }
    float base_price() const override {
        return base_price_;
    }
    void set_included_distance(float km) override {
        included_distance_ = km;
    }
    float included_distance() const override {
        return included_distance_;
    }
    void set_included_time(float minutes) override {
        included_time_ = minutes;
    }
    float included_time() const override {
        return included_time_;
    }
    void set_price_per_km(float value) override {
        price_per_km_ = value;
    }
    float price_per_km() const override {
        return price_per_km_;
    }
    void set_price_per_minute(float value) override {
        price_per_minute_ = value;
    }
    float price_per_minute() const override {
        return price_per_minute_;
    }
    void set_downtime_price(float value) override {
        downtime_price_ = value;
    }
    float downtime_price() const override {
        return downtime_price_;
    }
    void set_speed_limit(int32_t kmh) override {
        speed_limit_ = kmh;
    }
    int32_t speed_limit() const override {
        return speed_limit_;
    }
    float time_cost_cap() const override {
        return time_cost_cap_;
    }
    void set_time_cost_cap(float value) override {
        time_cost_cap_ = value;
    }

private:
    float base_price_ = 0.0f;
    float included_distance_ = 0.0f;
    float included_time_ = 0.0f;
    float price_per_km_ = 0.0f;
    float price_per_minute_ = 0.0f;
    int32_t speed_limit_ = 0;
    float time_cost_cap_ = 0.0f;
    float downtime_price_ = 0.0f;
};

} // namespace zel::gps
