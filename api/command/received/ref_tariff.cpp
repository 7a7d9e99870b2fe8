#include "api/command/received/ref_tariff.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {
std::wstring ref_tariff::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("s-id", text_value(s_id));
    inner.add("t", json::value::integer(t));
    inner.add("s", json::value::unsigned_integer(s));
    inner.add("n", text_value(n));
    add_if_set(inner, "pp", pp);
    add_if_set(inner, "pp-dist", pp_dist);
    add_if_set(inner, "pp-time", pp_time);
    add_if_set(inner, "btax-dist", btax_dist);
    add_if_set(inner, "btax-time", btax_time);
    add_if_set(inner, "mdist-btax", mdist_btax);
    add_if_set(inner, "mtime-btax", mtime_btax);
    add_if_set(inner, "atax-dist", atax_dist);
    add_if_set(inner, "atax-time", atax_time);
    add_if_set(inner, "speed-limit", speed_limit);
    add_if_set(inner, "max-pay-sum-lsl", max_pay_sum_lsl);
    add_if_set(inner, "min-sum-prio", min_sum_prio);
    return write_command(wire::ref_tariff, std::move(inner));
}

void ref_tariff::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::ref_tariff));
}

void ref_tariff::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "s-id") {
            s_id = to_wide(v);
        } else if (key == "t") {
            t = v.as_int32();
        } else if (key == "s") {
            s = v.as_uint64();
        } else if (key == "n") {
            n = to_wide(v);
        } else if (key == "pp") {
            read_figure(key, v, pp);
        } else if (key == "pp-dist") {
            pp_dist = v.as_int32();
        } else if (key == "pp-time") {
            pp_time = v.as_int32();
        } else if (key == "btax-dist") {
            read_figure(key, v, btax_dist);
        } else if (key == "btax-time") {
            read_figure(key, v, btax_time);
        } else if (key == "mdist-btax") {
            read_figure(key, v, mdist_btax);
        } else if (key == "mtime-btax") {
            mtime_btax = v.as_int32();
        } else if (key == "atax-dist") {
            read_figure(key, v, atax_dist);
        } else if (key == "atax-time") {
            read_figure(key, v, atax_time);
        } else if (key == "speed-limit") {
            speed_limit = v.as_int32();
        } else if (key == "max-pay-sum-lsl") {
            read_figure(key, v, max_pay_sum_lsl);
        } else if (key == "min-sum-prio") {
            min_sum_prio = v.as_int32();
        }
    });
}

} // namespace zel_api::command
