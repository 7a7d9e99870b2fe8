// The exact text of every sent command, with a full and a minimal set of fields.
#include "api/command/sent/buy_shift.h"
#include "api/command/sent/close_order.h"
#include "api/command/sent/cmd_get_profile.h"
#include "api/command/sent/commit_driver.h"
#include "api/command/sent/driver_arrive.h"
#include "api/command/sent/execute_order.h"
#include "api/command/sent/get_callsign_list_for_device.h"
#include "api/command/sent/gps_position.h"
#include "api/command/sent/login.h"
#include "api/command/sent/msg_read.h"
#include "api/command/sent/order_offer_accept.h"
#include "api/command/sent/order_offer_reject.h"
#include "api/command/sent/set_driver.h"
#include "api/command/sent/set_driver_status.h"
#include "api/command/sent/set_option.h"
#include "api/command/sent/set_parking.h"
#include "api/command/sent/set_work_wheel.h"
#include "api/command/sent/shift_begin.h"
#include "api/command/sent/shift_end.h"
#include "api/command/sent/upload_device_info.h"
#include "api/command_names.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace zel_api::command {
namespace {

close_order long_close_order() {
    close_order c(L"77", 350, 12, 4300, 1);
    c.add_cd_detail({L"distance", 120.5f, 4.3f});
    c.add_cd_detail({L"time", 0.0f, 12.0f});
    c.add_cd_detail({L"downtime", 0.0f, 0.0f});
    c.add_cd_detail({L"prepay", 100.0f, 0.0f});
    c.add_ccd_detail({L"total-cost-precision", 0.0f, 0.0f});
    c.set_cd_total_cost(350.0f);
    c.set_ccd_total_cost(0.25f);
    c.set_discount(5.0f);
    return c;
}

TEST(sent_commands, write_exact_texts) {
    const struct {
        const char* what;
        std::function<std::unique_ptr<command>()> make;
        std::wstring expected;
    } cases[] = {
        {"login", [] { return std::make_unique<login>(program_version(), 42, L"35000", L"ab12", L"1234", L"", 1, 77); },
         LR"({"login":{"ver":"3.5.0.1220","org-id":42,"imei":"35000","dev-id":"ab12","pin":"1234","device-model":"",)"
         LR"("reconnect":1,"driver-id":77,"language-ISO_639-1-code":"ru"}})"},
        {"login, reconnect any non-zero",
         [] { return std::make_unique<login>(L"", -1, L"", L"", L"", L"HTC Тест", 7, 0); },
         LR"({"login":{"ver":"","org-id":-1,"imei":"","dev-id":"","pin":"","device-model":"HTC Тест",)"
         LR"("reconnect":1,"driver-id":0,"language-ISO_639-1-code":"ru"}})"},
        {"login, no reconnect", [] { return std::make_unique<login>(L"v", 1, L"i", L"d", L"p", L"m", 0, 2); },
         LR"({"login":{"ver":"v","org-id":1,"imei":"i","dev-id":"d","pin":"p","device-model":"m","reconnect":0,)"
         LR"("driver-id":2,"language-ISO_639-1-code":"ru"}})"},
        {"cmd-get-profile", [] { return std::make_unique<cmd_get_profile>(3, L"m1", L"l1", L"KEY", L"3.5.0.1220"); },
         LR"({"cmd-get-profile":{"dev-type":3,"main-id":"m1","local-id":"l1","sms-key":"KEY","version":"3.5.0.1220"}})"},
        {"cmd-get-profile, empty ids", [] { return std::make_unique<cmd_get_profile>(3, L"", L"", L"", L"3"); },
         LR"({"cmd-get-profile":{"dev-type":3,"version":"3"}})"},
        {"get-callsign-list-for-device",
         [] { return std::make_unique<get_callsign_list_for_device>(L"l1", L"m1", 9000000000); },
         LR"({"get-callsign-list-for-device":{"local-id":"l1","main-id":"m1","organization-id":9000000000}})"},
        {"commit-driver", [] { return std::make_unique<commit_driver>(L"1001"); },
         LR"({"commit-driver":{"s-oid":"1001"}})"},
        {"driver-arrive", [] { return std::make_unique<driver_arrive>(L"1001"); },
         LR"({"driver-arrive":{"s-oid":"1001"}})"},
        {"execute-order", [] { return std::make_unique<execute_order>(L"1001"); },
         LR"({"execute-order":{"s-oid":"1001"}})"},
        {"set-driver", [] { return std::make_unique<set_driver>(L"a\"b"); }, LR"({"set-driver":{"s-oid":"a\"b"}})"},
        {"order-offer-accept", [] { return std::make_unique<order_offer_accept>(L"2001"); },
         LR"({"order-offer-accept":{"s-order-id":"2001"}})"},
        {"order-offer-reject", [] { return std::make_unique<order_offer_reject>(L"2001"); },
         LR"({"order-offer-reject":{"s-order-id":"2001"}})"},
        {"set-option", [] { return std::make_unique<set_option>(1022, L"1"); },
         LR"({"set-option":{"key":1022,"value":"1"}})"},
        {"set-parking", [] { return std::make_unique<set_parking>(12); }, LR"({"set-parking":{"area-id":12}})"},
        {"set-driver-status", [] { return std::make_unique<set_driver_status>(-2); },
         LR"({"set-driver-status":{"id":-2}})"},
        {"buy-shift", [] { return std::make_unique<buy_shift>(31); }, LR"({"buy-shift":{"id":31}})"},
        {"shift-begin", [] { return std::make_unique<shift_begin>(12, 0); },
         LR"({"shift-begin":{"area-id":12,"car-id":0}})"},
        {"shift-begin without a car", [] { return std::make_unique<shift_begin>(12, -1); },
         LR"({"shift-begin":{"area-id":12}})"},
        {"shift-end", [] { return std::make_unique<shift_end>(); }, LR"({"shift-end":{}})"},
        {"set-work-wheel", [] { return std::make_unique<set_work_wheel>(5); }, LR"({"set-work-wheel":{"car-id":5}})"},
        {"set-work-wheel without a car", [] { return std::make_unique<set_work_wheel>(-1); },
         LR"({"set-work-wheel":{}})"},
        {"msg-read", [] { return std::make_unique<msg_read>(18446744073709551615u); },
         LR"({"msg-read":{"id":18446744073709551615}})"},
        {"gps-position", [] { return std::make_unique<gps_position>(33.0833, 68.9667, 150, 42, 5, 270); },
         LR"({"gps-position":{"long":33.0833,"lat":68.9667,"alt":150,"speed":42,"p":5,"az":270}})"},
        {"gps-position at zero", [] { return std::make_unique<gps_position>(0.0, -0.5, 0, 0, 0, 0); },
         LR"({"gps-position":{"long":0.0,"lat":-0.5,"alt":0,"speed":0,"p":0,"az":0}})"},
        {"close-order, short form", [] { return std::make_unique<close_order>(L"77", 350, 12, 4300, 0); },
         LR"({"close-order":{"s-oid":"77","sum":350,"dtime":12,"dist":4300,"ucts":0}})"},
        {"close-order, only the order id", [] { return std::make_unique<close_order>(L"77"); },
         LR"({"close-order":{"s-oid":"77"}})"},
        {"close-order, sum only and one item",
         [] {
             auto c = std::make_unique<close_order>(L"77", 350);
             c->add_cd_detail({L"distance", 120.0f, 0.0f});
             c->set_cd_total_cost(350.0f);
             return c;
         },
         LR"({"close-order":{"s-oid":"77","sum":350,"cd":{"trip-details":[{"code":"distance","sum":120.0}],)"
         LR"("total-cost":350.0,"discount":0.0}}})"},
        {"close-order, long form", [] { return std::make_unique<close_order>(long_close_order()); },
         LR"({"close-order":{"s-oid":"77","sum":350,"dtime":12,"dist":4300,"ucts":1,"cd":{"trip-details":[)"
         LR"({"code":"distance","sum":120.5,"units":4.300000190734863},{"code":"time","units":12.0},)"
         LR"({"code":"prepay","sum":100.0}],"total-cost":350.0,"discount":5.0},)"
         LR"("ccd":{"trip-details":[],"total-cost":0.25,"discount":5.0}}})"},
        {"upload device info", [] { return std::make_unique<upload_device_info>(L"35000", L"", 1700000000); },
         LR"({"IMEI":"35000","device-name":"","device-time":1700000000})"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.make()->to_json(), c.expected) << c.what;
    }
}

// A figure that is not finite has no JSON form but null, which no command's format takes where it has a
// number: whatever the builder handed on, it goes out as 0, with a log line naming the command and the member.
TEST(sent_commands, numbers_that_are_not_finite_go_out_as_zero) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    zel::test::log_capture log;
    close_order c(L"77", 350, 12, 4300, 1);
    c.add_cd_detail({L"distance", nan, inf});
    c.set_cd_total_cost(-inf);
    c.set_discount(nan);
    EXPECT_EQ(c.to_json(), LR"({"close-order":{"s-oid":"77","sum":350,"dtime":12,"dist":4300,"ucts":1,"cd":{)"
                           LR"("trip-details":[{"code":"distance","sum":0.0,"units":0.0}],"total-cost":0.0,)"
                           LR"("discount":0.0}}})");
    EXPECT_EQ(gps_position(std::nan(""), HUGE_VAL, 150, 40, 5, 270).to_json(),
              LR"({"gps-position":{"long":0.0,"lat":0.0,"alt":150,"speed":40,"p":5,"az":270}})");
    const std::string lines = log.text();
    for (const char* member : {"close-order: \"sum\"", "close-order: \"units\"", "close-order: \"total-cost\"",
                               "close-order: \"discount\"", "gps-position: \"long\"", "gps-position: \"lat\""}) {
        EXPECT_NE(lines.find(member), std::string::npos) << member << "\n" << lines;
    }
}

TEST(sent_commands, received_records_and_the_base_send_none) {
    EXPECT_EQ(command().to_json(), L"none");
}

} // namespace
} // namespace zel_api::command
