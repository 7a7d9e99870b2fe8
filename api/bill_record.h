// The figures of a finished ride: what the taximeter measured, the cost parts rounded to the currency, and the
// total that the client pays. The ride screen builds it and hands it to the store (database::set_bill); the
// bill screen and the close-order-parameters screen read it back, the latter corrects values in place.
//
// Amounts are in the currency's units, distances in metres, times in whole seconds. Nothing is checked or
// converted: the record keeps what it is given. Read and changed on the UI thread only; the store's lock
// guards the pointer to it, not its fields.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace zel_api {

class bill_record {
public:
    // Bits of the tariff mode: which values the driver may correct.
    static constexpr int64_t mode_distance_downtime = 1;
    static constexpr int64_t mode_total = 2;

    // The order's "s-id"; every other field 0.
    explicit bill_record(std::wstring order_id) : order_id_(std::move(order_id)) {}

    const std::wstring& order_id() const {
        return order_id_;
    }

    void set_tariff_mode(const int64_t& value) {
        tariff_mode_ = value;
    }
    void set_distance(const float& metres) {
        distance_ = metres;
    }
    void set_taximeter_cost(const float& value) {
        taximeter_cost_ = value;
    }
    void set_total(const float& value) {
        total_ = value;
    }
    void set_trip_seconds(const int32_t& value) {
        trip_seconds_ = value;
    }
    void set_downtime_seconds(const int32_t& value) {
        downtime_seconds_ = value;
    }
    void set_distance_cost(const float& value) {
        distance_cost_ = value;
    }
    void set_time_cost(const float& value) {
        time_cost_ = value;
    }
    void set_downtime_cost(const float& value) {
        downtime_cost_ = value;
    }
    void set_base_price(const float& value) {
        base_price_ = value;
    }

    int64_t& tariff_mode_ref() {
        return tariff_mode_;
    }
    float& distance_ref() {
        return distance_;
    }
    float& taximeter_cost_ref() {
        return taximeter_cost_;
    }
    float& total_ref() {
        return total_;
    }
    int32_t& trip_seconds_ref() {
        return trip_seconds_;
    }
    int32_t& downtime_seconds_ref() {
        return downtime_seconds_;
    }
    // The driver-specified flag: non-zero makes the bill screen send the total as the driver's amount. No
    // operation of the record sets it.
    int32_t& last_word_ref() {
        return driver_specified_;
    }

    float distance_cost() const {
        return distance_cost_;
    }
    float time_cost() const {
        return time_cost_;
    }
    float downtime_cost() const {
        return downtime_cost_;
    }
    float base_price() const {
        return base_price_;
    }

private:
    std::wstring order_id_;
    int64_t tariff_mode_ = 0;
    float distance_ = 0.0f;
    float taximeter_cost_ = 0.0f;
    float total_ = 0.0f;
    int32_t trip_seconds_ = 0;
    int32_t downtime_seconds_ = 0;
    float distance_cost_ = 0.0f;
    float time_cost_ = 0.0f;
    float downtime_cost_ = 0.0f;
    float base_price_ = 0.0f;
    int32_t driver_specified_ = 0;
};

} // namespace zel_api
