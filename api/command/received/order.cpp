#include "api/command/received/order.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {
namespace {

template <class Rates> Rates read_rates(const json::value& v) {
    Rates rates;
    fill_record(rates, v);
    return rates;
}

} // namespace

void order::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::order));
}

void order::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "s-id") {
            s_id = to_wide(v);
        } else if (key == "l-type") {
            l_type = v.as_int32();
        } else if (key == "af") {
            fill_record(af, v);
        } else if (key == "at") {
            at.clear();
            append_each(v, at, [](const json::value& element) {
                order_point point;
                fill_record(point, element);
                return point;
            });
        } else if (key == "i") {
            i = to_wide(v);
        } else if (key == "tt") {
            tt = v.as_int64();
        } else if (key == "ttp") {
            ttp = v.as_int32();
        } else if (key == "s") {
            s = v.as_int32();
        } else if (key == "sms") {
            sms = v.as_int32();
        } else if (key == "cc") {
            cc = v.as_int32();
        } else if (key == "ccs") {
            ccs = v.as_int32();
        } else if (key == "cts") {
            read_figure(key, v, cts);
        } else if (key == "trade") {
            trade = to_flag(v);
        } else if (key == "icl") {
            icl = v.as_int32();
        } else if (key == "st") {
            st = v.as_int32();
        } else if (key == "s-tid") {
            s_tid = to_wide(v);
        } else if (key == "lcst") {
            lcst = v.as_int64();
        } else if (key == "of") {
            of = v.as_uint64();
        } else if (key == "msum") {
            if (!v.is_null()) {
                read_figure(key, v, msum);
            }
        } else if (key == "star") {
            star = v.as_int32();
        } else if (key == "client-phone") {
            client_phone = to_wide(v);
        } else if (key == "dist-to-driver") {
            dist_to_driver = v.as_int32();
        } else if (key == "dist-to-driver-type") {
            dist_to_driver_type = v.as_int32();
        } else if (key == "osid") {
            osid = v.as_int32();
        } else if (key == "dt") {
            dt = read_rates<order_dt>(v);
        } else if (key == "dct") {
            dct = read_rates<tariff_rate>(v);
        } else if (key == "cct") {
            cct = read_rates<tariff_rate>(v);
        }
    });
}

} // namespace zel_api::command
