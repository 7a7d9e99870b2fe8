// The protocol's vocabulary: every wire name and internal event name, once. Each name has a function
// name_of_key_name() (order_offer_accept_name() gives L"order-offer-accept") that returns a new wide string,
// a wide constant key::name_of_key for tests of update masks and results (mask.test(key::order)), and a UTF-8
// constant wire::name_of_key for the JSON layer. Keys are compared only through these.
#pragma once

#include <string>
#include <string_view>

// X(identifier, text)
#define ZEL_API_WIRE_NAMES(X)                                                                                          \
    X(login, "login")                                                                                                  \
    X(commit_driver, "commit-driver")                                                                                  \
    X(driver_arrive, "driver-arrive")                                                                                  \
    X(execute_order, "execute-order")                                                                                  \
    X(set_driver, "set-driver")                                                                                        \
    X(set_option, "set-option")                                                                                        \
    X(cmd_get_profile, "cmd-get-profile")                                                                              \
    X(get_callsign_list_for_device, "get-callsign-list-for-device")                                                    \
    X(order_offer_accept, "order-offer-accept")                                                                        \
    X(order_offer_reject, "order-offer-reject")                                                                        \
    X(set_parking, "set-parking")                                                                                      \
    X(set_driver_status, "set-driver-status")                                                                          \
    X(buy_shift, "buy-shift")                                                                                          \
    X(shift_begin, "shift-begin")                                                                                      \
    X(shift_end, "shift-end")                                                                                          \
    X(set_work_wheel, "set-work-wheel")                                                                                \
    X(msg_read, "msg-read")                                                                                            \
    X(gps_position, "gps-position")                                                                                    \
    X(close_order, "close-order")                                                                                      \
    X(order, "order")                                                                                                  \
    X(odel, "odel")                                                                                                    \
    X(order_offer, "order-offer")                                                                                      \
    X(order_offer_timeout, "order-offer-timeout")                                                                      \
    X(order_offer_cancel, "order-offer-cancel")                                                                        \
    X(session_param, "session-param")                                                                                  \
    X(session_fix_param, "session-fix-param")                                                                          \
    X(obj_zero_params, "obj-zero-params")                                                                              \
    X(obj_main_id, "obj-main-id")                                                                                      \
    X(obj_device_server, "obj-device-server")                                                                          \
    X(obj_update, "obj-update")                                                                                        \
    X(currency, "currency")                                                                                            \
    X(ref_area, "ref-area")                                                                                            \
    X(ref_rate, "ref-rate")                                                                                            \
    X(ref_tariff, "ref-tariff")                                                                                        \
    X(riv, "riv")                                                                                                      \
    X(adc, "adc")                                                                                                      \
    X(nda, "nda")                                                                                                      \
    X(cars, "cars")                                                                                                    \
    X(callsign_info, "callsign-info")                                                                                  \
    X(cmd_result, "cmd-result")                                                                                        \
    X(shift, "shift")                                                                                                  \
    X(sell_shift, "sell-shift")                                                                                        \
    X(shift_del, "shift-del")                                                                                          \
    X(msg, "msg")                                                                                                      \
    X(msg_del, "msg-del")                                                                                              \
    X(disconnect_local, "disconnect_local")                                                                            \
    X(disconnect_global, "disconnect_global")                                                                          \
    X(command_sms_register_ok, "command_sms_register_ok")                                                              \
    X(command_sms_register_error, "command_sms_register_error")                                                        \
    X(command_http_reg, "command_http_reg")

namespace zel_api {

#define ZEL_API_NAME_FUNCTION(id, text)                                                                                \
    inline std::wstring id##_name() {                                                                                  \
        return L"" text;                                                                                               \
    }
ZEL_API_WIRE_NAMES(ZEL_API_NAME_FUNCTION)
#undef ZEL_API_NAME_FUNCTION

namespace key {
#define ZEL_API_KEY_CONSTANT(id, text) inline constexpr std::wstring_view id{L"" text};
ZEL_API_WIRE_NAMES(ZEL_API_KEY_CONSTANT)
#undef ZEL_API_KEY_CONSTANT
} // namespace key

namespace wire {
#define ZEL_API_WIRE_CONSTANT(id, text) inline constexpr std::string_view id{text};
ZEL_API_WIRE_NAMES(ZEL_API_WIRE_CONSTANT)
#undef ZEL_API_WIRE_CONSTANT
} // namespace wire

// The program's version text, sent as "ver" in "login".
std::wstring program_version();

} // namespace zel_api
