#include "api/command/sent/close_order.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {
namespace {

// An item whose sum and units are both 0 says nothing and is left out; a block whose every item was left out
// still carries its totals.
void add_block(json::value& inner, const char* key, const std::vector<trip_detail>& items, float total_cost,
               float discount) {
    if (items.empty()) {
        return;
    }
    json::value details = json::value::empty_array();
    for (const trip_detail& item : items) {
        if (item.sum == 0.0f && item.units == 0.0f) {
            continue;
        }
        json::value entry = json::value::empty_object();
        entry.add("code", text_value(item.code));
        if (item.sum != 0.0f) {
            entry.add("sum", json::value::real(item.sum));
        }
        if (item.units != 0.0f) {
            entry.add("units", json::value::real(item.units));
        }
        details.push_back(std::move(entry));
    }
    json::value block = json::value::empty_object();
    block.add("trip-details", std::move(details));
    block.add("total-cost", json::value::real(total_cost));
    block.add("discount", json::value::real(discount));
    inner.add(key, std::move(block));
}

} // namespace

close_order::close_order(std::wstring s_oid, std::optional<int32_t> sum, std::optional<int32_t> dtime,
                         std::optional<int32_t> dist, std::optional<int32_t> ucts)
    : s_oid_(std::move(s_oid)), sum_(sum), dtime_(dtime), dist_(dist), ucts_(ucts) {}

void close_order::set_cd_total_cost(float value) {
    cd_total_cost_ = value;
}

void close_order::set_ccd_total_cost(float value) {
    ccd_total_cost_ = value;
}

void close_order::set_discount(float value) {
    discount_ = value;
}

void close_order::add_cd_detail(const trip_detail& item) {
    cd_details_.push_back(item);
}

void close_order::add_ccd_detail(const trip_detail& item) {
    ccd_details_.push_back(item);
}

std::wstring close_order::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("s-oid", text_value(s_oid_));
    add_if_set(inner, "sum", sum_);
    add_if_set(inner, "dtime", dtime_);
    add_if_set(inner, "dist", dist_);
    add_if_set(inner, "ucts", ucts_);
    add_block(inner, "cd", cd_details_, cd_total_cost_, discount_);
    add_block(inner, "ccd", ccd_details_, ccd_total_cost_, discount_);
    return write_command(wire::close_order, std::move(inner));
}

} // namespace zel_api::command
