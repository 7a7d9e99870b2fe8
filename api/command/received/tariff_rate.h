// An order's own rate set ("dct", "cct"): a name and eight rates. It is also the tariff the taximeter prices
// the ride with: speed limit 20 km/h and no time-cost cap, whatever is set.
#pragma once

#include "api/command/command.h"
#include "gps/taximeter/tariff_interface.h"

#include <memory>
#include <string>

namespace zel_api::command {

class tariff_rate : public command, public zel::gps::tariff_interface {
public:
    void from_value(const json::value& fields) override;

    // The eight rates without the name.
    std::unique_ptr<zel::gps::tariff_interface> clone() const override;
    void set_base_price(float value) override {
        p_ = value;
    }
    float base_price() const override {
        return p_;
    }
    void set_included_distance(float km) override {
        pd_ = km;
    }
    float included_distance() const override {
        return pd_;
    }
    void set_included_time(float minutes) override {
        pt_ = minutes;
    }
    float included_time() const override {
        return pt_;
    }
    void set_price_per_km(float value) override {
        cdu_ = value;
    }
    float price_per_km() const override {
        return cdu_;
    }
    void set_price_per_minute(float value) override {
        ctu_ = value;
    }
    float price_per_minute() const override {
        return ctu_;
    }
    void set_downtime_price(float value) override {
        cdtu_ = value;
    }
    float downtime_price() const override {
        return cdtu_;
    }
    void set_speed_limit(int32_t) override {}
    int32_t speed_limit() const override {
        return 20;
    }
    float time_cost_cap() const override {
        return -1.0f;
    }
    void set_time_cost_cap(float) override {}

    const std::wstring& n_ref() const {
        return n_;
    }
    float& p_ref() {
        return p_;
    }
    float& pd_ref() {
        return pd_;
    }
    float& pt_ref() {
        return pt_;
    }
    float& cdu_ref() {
        return cdu_;
    }
    float& ctu_ref() {
        return ctu_;
    }
    float& cdtu_ref() {
        return cdtu_;
    }
    float& cp_ref() {
        return cp_;
    }
    float& dp_ref() {
        return dp_;
    }
    const float& p_ref() const {
        return p_;
    }
    const float& pd_ref() const {
        return pd_;
    }
    const float& pt_ref() const {
        return pt_;
    }
    const float& cdu_ref() const {
        return cdu_;
    }
    const float& ctu_ref() const {
        return ctu_;
    }
    const float& cdtu_ref() const {
        return cdtu_;
    }
    const float& cp_ref() const {
        return cp_;
    }
    const float& dp_ref() const {
        return dp_;
    }

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole. Stops quietly at a member of the wrong type and keeps what it read before it.
    void read_fields(const json::value& fields);

    std::wstring n_;
    float cdu_ = 0.0f;  // per kilometre
    float cdtu_ = 0.0f; // per minute of downtime
    float ctu_ = 0.0f;  // per minute
    float cp_ = 0.0f;   // the fixed total the bill takes when the order has its own rates
    float dp_ = 0.0f;
    float pd_ = 0.0f; // kilometres in the base price
    float pt_ = 0.0f; // minutes in the base price
    float p_ = 0.0f;  // base price
};

} // namespace zel_api::command
