// An order as the server describes it. Optional members are absent until their member arrives.
#pragma once

#include "api/command/command.h"
#include "api/command/received/order_dt.h"
#include "api/command/received/order_point.h"
#include "api/command/received/tariff_rate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zel_api::command {

class order : public command {
public:
    // List kinds ("l-type"): the store keeps orders of these four lists only.
    static constexpr int32_t list_general = 1;
    static constexpr int32_t list_second = 2;
    static constexpr int32_t list_preliminary = 3;
    static constexpr int32_t list_current = 4;

    // {"order": {...}}; a failure leaves the record as it was.
    void from_value(const json::value& root) override;

    std::wstring s_id;
    int32_t l_type = 0;
    order_point af;
    std::vector<order_point> at;
    std::wstring i;
    std::optional<int64_t> tt; // milliseconds since 1970, server clock
    std::optional<int32_t> ttp;
    std::optional<int32_t> s; // status: 2 and 3 are stamped by the store, 8 runs the taximeter
    std::optional<int32_t> sms;
    std::optional<int32_t> cc;
    std::optional<int32_t> ccs;
    std::optional<float> cts;
    std::optional<bool> trade;
    std::optional<int32_t> icl;
    std::optional<int32_t> st;
    std::wstring s_tid; // the reference tariff that prices the ride when there is no "dct"
    std::optional<int64_t> lcst;
    std::optional<uint64_t> of;
    std::optional<float> msum; // a null member leaves it absent
    std::optional<int32_t> star;
    std::optional<std::wstring> client_phone;
    std::optional<int32_t> dist_to_driver; // metres
    std::optional<int32_t> dist_to_driver_type;
    std::optional<int32_t> osid;
    std::optional<order_dt> dt;
    std::optional<tariff_rate> dct;
    std::optional<tariff_rate> cct;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
