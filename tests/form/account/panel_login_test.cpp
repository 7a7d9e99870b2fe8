// The PIN login screen on the program's own manager, against the test dispatch server: the keys and the
// indicators, the login that the fourth digit sends, the way from the start screen to a working session, a
// refused login with its one dialog, results of other requests, and a server index that names no server; goldens
// in both screen shapes.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command/received/cmd_result.h"
#include "api/command_names.h"
#include "form/account/login_param.h"
#include "form/account/panel_login_hor.h"
#include "form/account/panel_status.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/keypad.h"
#include "form/controls/list_view.h"
#include "form/controls/state_button.h"
#include "form/controls/text_label.h"
#include "form/shell/panel_dialog_gui.h"
#include "foundation/text_utils.h"
#include "tests/form/account/login_scene.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr int master_id = manager_2::master_id;
constexpr int dialog_id = manager_2::dialog_id;

// Keypad codes.
constexpr int key_1 = 0;
constexpr int key_2 = 1;
constexpr int key_3 = 2;
constexpr int key_4 = 3;
constexpr int key_point = keypad::point_key;
constexpr int key_0 = 10;
constexpr int key_delete = keypad::erase_key;

std::array<int, 4> indicator_states(panel_login& screen) {
    std::array<int, 4> states{};
    for (int i = 0; i < 4; ++i) {
        states[static_cast<std::size_t>(i)] = screen.indicator(i)->state();
    }
    return states;
}

zel_api::update_mask result_mask(const std::wstring& name, bool ok, const std::wstring& err = L"") {
    auto result = std::make_shared<zel_api::command::cmd_result>();
    result->cmd_name = name;
    result->ok = ok;
    result->err = err;
    zel_api::update_mask mask;
    mask.set(L"cmd-result");
    mask.set_payload(result);
    return mask;
}

class pin_screen_test : public login_scene {
protected:
    // The PIN screen over the main menu for the server and driver.
    void show_pin(std::uint32_t server, std::int64_t driver) {
        manager->push_panel(panel_login::id, std::make_shared<login_param>(server, driver));
        run();
    }
    std::size_t sounds_of(int id) const {
        const auto all = sounds();
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), id));
    }
};

struct key_case {
    const char* name;
    std::vector<int> keys;
    std::wstring pin;
    std::array<int, 4> indicators;
};

TEST_F(pin_screen_test, keys_fill_the_indicators_and_the_point_adds_nothing) {
    open_scene(with());
    show_pin(0, 77);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    const auto texts = screen_texts();
    EXPECT_EQ(pin_screen().server_name()->text(), L"Таксопарк"); // the name alone, without the city
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const drawn_text& t) { return t.text == L"Введите PIN"; }));
    EXPECT_TRUE(pin_screen().keys()->key_rect(key_point).w > 0);

    const std::vector<key_case> table = {
        {"1, 2, delete, 3", {key_1, key_2, key_delete, key_3}, L"13", {1, 1, 0, 0}},
        {"delete on empty", {key_delete}, L"", {0, 0, 0, 0}},
        {"the point's place", {key_point}, L"", {0, 0, 0, 0}},
        {"0 and 4", {key_0, key_4}, L"04", {1, 1, 0, 0}},
        {"three digits", {key_3, key_3, key_3}, L"333", {1, 1, 1, 0}},
    };
    for (const key_case& c : table) {
        SCOPED_TRACE(c.name);
        manager->replace_panel(panel_login::id, std::make_shared<login_param>(0, 77)); // a fresh show
        run();
        ASSERT_EQ(pin_screen().pin(), L"");
        for (int key : c.keys) {
            tap_key(key);
        }
        EXPECT_EQ(pin_screen().pin(), c.pin);
        EXPECT_EQ(indicator_states(pin_screen()), c.indicators);
    }
    // The point's code, should it reach the screen, adds nothing either.
    pin_screen().on_key(key_point);
    EXPECT_EQ(pin_screen().pin(), L"333");
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(ctl().get_server_index(), -1); // fewer than four digits send nothing

    manager->replace_panel(panel_login::id, std::make_shared<login_param>(0, 77));
    run();
    tap_key(key_1);
    tap_key(key_2);
    EXPECT_EQ(screen_golden("login_pin"), "");
}

TEST_F(pin_screen_test, landscape_puts_the_keypad_in_the_right_half) {
    open_scene(with("", zero_with_sms, {800, 480, 192}));
    show_pin(1, 77);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    auto& screen = static_cast<panel_login_hor&>(pin_screen());
    EXPECT_EQ(screen.keys()->get_rect(), screen.right_half());
    const rect left = screen.left_half();
    for (int i = 0; i < 4; ++i) {
        const rect r = screen.indicator(i)->get_rect();
        EXPECT_GE(r.x, left.x);
        EXPECT_LE(r.x + r.w, left.x + left.w);
    }
    EXPECT_EQ(screen.server_name()->text(), L"Второй парк");
    tap_key(key_1);
    tap_key(key_2);
    EXPECT_EQ(pin_screen().pin(), L"12");
    EXPECT_EQ(screen_golden("login_pin_landscape"), "");
}

// From the start screen's row through the call signs to the PIN: the fourth digit sends the login at once, and
// its success brings the main menu with the session's counters and the strip's "connected".
TEST_F(pin_screen_test, the_fourth_digit_logs_in_and_success_returns_to_the_first_panel) {
    open_scene(with("tests/form/fixtures/login_journey.script"));
    go_to_start();
    const point server = row_centre(*start().list(), 0);
    tap(server.x, server.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_set_signcall::id; }))
        << dispatch_server->transcript();
    const point call_sign = row_centre(*call_signs().list(), 1); // "Б-2 Ночная смена", driver 78
    tap(call_sign.x, call_sign.y);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    // The request's connection has ended ("disconnect_local"): nothing of it is still on its way.
    ASSERT_TRUE(pump_until([&] { return listener.count(L"disconnect_local") > 0 && manager->lock_count() == 0; }));

    for (int key : {key_1, key_2, key_3}) {
        tap_key(key);
    }
    EXPECT_EQ(ctl().get_server_index(), -1);
    tap_key(key_4);
    EXPECT_EQ(ctl().get_server_index(), 0); // asked for at once
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == master_id; })) << dispatch_server->transcript();
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{master_id});
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_TRUE(ctl().is_logged_in());
    EXPECT_EQ(ctl().get_server_index(), 0);
    ASSERT_EQ(received().size(), 2u) << dispatch_server->transcript();
    EXPECT_EQ(received()[1], R"({"login":{"ver":")" + wide_to_utf8(zel_api::program_version()) +
                                 R"(","org-id":7,"imei":")" + device_serial() + R"(","dev-id":")" + device_id() +
                                 R"(","pin":"1234","device-model":"","reconnect":0,"driver-id":78,)"
                                 R"("language-ISO_639-1-code":"ru"}})");
    EXPECT_TRUE(dispatch_server->lines("FAIL").empty()) << dispatch_server->transcript();

    auto* strip = static_cast<panel_status*>(manager->status_panel());
    EXPECT_EQ(strip->connection_icon()->state(), 0); // connected
    const auto texts = screen_texts();
    auto shown = [&](const std::wstring& text) {
        return std::any_of(texts.begin(), texts.end(), [&](const drawn_text& t) { return t.text == text; });
    };
    EXPECT_TRUE(shown(L"2/5")); // current orders of the area's five
    EXPECT_TRUE(shown(L"1"));   // preliminary orders
}

// A refused login: the screen's own dialog with the server's text, once, with the PIN-failure sound; the link
// dropped and no server chosen; the dialog's "Ok" brings the PIN screen back, empty.
TEST_F(pin_screen_test, a_refused_login_raises_one_dialog_and_logs_out) {
    open_scene(with("tests/form/fixtures/login_refused.script"));
    show_pin(0, 77);
    for (int key : {key_4, key_3, key_2, key_1}) {
        tap_key(key);
    }
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == dialog_id; })) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return dispatch_server->lines("done").size() == 1; }))
        << dispatch_server->transcript();
    run();
    zel::test::expect_script_done(*dispatch_server);
    EXPECT_EQ(stack_ids(), (std::vector<int>{dialog_id, panel_login::id, master_id}));
    const auto* request = param_as<dialog_request>(manager->top_panel().param.get());
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->kind, dialog_request::message);
    EXPECT_EQ(request->text, L"Неверный PIN");
    EXPECT_EQ(sounds_of(4), 1u);
    EXPECT_EQ(sounds_of(3), 1u); // the one dialog's
    EXPECT_FALSE(ctl().is_connected());
    EXPECT_FALSE(ctl().is_logged_in());
    EXPECT_EQ(ctl().get_server_index(), -1);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(static_cast<panel_status*>(manager->status_panel())->connection_icon()->state(), 1);

    auto& dialog = *static_cast<panel_dialog_gui*>(manager->panel_for(dialog_id));
    tap(*dialog.ok_button());
    ASSERT_EQ(current_panel_id(), panel_login::id);
    EXPECT_EQ(pin_screen().pin(), L"");
    EXPECT_EQ(indicator_states(pin_screen()), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pin_screen().server_name()->text(), L"Таксопарк");
}

// Results of other requests are not the login's answer: they unlock and empty the PIN, and change nothing else.
TEST_F(pin_screen_test, results_of_other_requests_unlock_and_empty_the_pin) {
    open_scene(with());
    show_pin(0, 77);
    zel_api::update_mask no_record;
    no_record.set(L"cmd-result");
    const std::vector<std::pair<const char*, zel_api::update_mask>> table = {
        {"another command's success", result_mask(L"set-parking", true)},
        {"another command's refusal", result_mask(L"set-parking", false, L"Ошибка")},
        {"a result without its record", no_record},
    };
    for (const auto& [name, mask] : table) {
        SCOPED_TRACE(name);
        tap_key(key_1);
        tap_key(key_2);
        ASSERT_EQ(pin_screen().pin(), L"12");
        manager->lock();
        manager->post_command(mask);
        run();
        EXPECT_EQ(current_panel_id(), panel_login::id);
        EXPECT_EQ(stack_ids(), (std::vector<int>{panel_login::id, master_id}));
        EXPECT_EQ(pin_screen().pin(), L"");
        EXPECT_EQ(indicator_states(pin_screen()), (std::array<int, 4>{0, 0, 0, 0}));
        EXPECT_EQ(manager->lock_count(), 0);
    }
    EXPECT_EQ(sounds_of(4), 0u);
}

// The login's request answered by another request's result: the screen unlocks with an empty PIN, so the next
// key sends nothing; only four digits typed again send the next login, with the PIN typed.
TEST_F(pin_screen_test, a_login_unlocked_by_another_result_is_not_sent_again_by_the_next_key) {
    open_scene(with("tests/form/fixtures/login_other_result.script"));
    show_pin(0, 77);
    for (int key : {key_4, key_3, key_2, key_1}) {
        tap_key(key);
    }
    ASSERT_TRUE(pump_until([&] { return listener.results(L"set-parking") == 1 && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    EXPECT_EQ(current_panel_id(), panel_login::id);
    EXPECT_EQ(pin_screen().pin(), L"");
    EXPECT_EQ(indicator_states(pin_screen()), (std::array<int, 4>{0, 0, 0, 0}));

    tap_key(key_1);
    EXPECT_EQ(pin_screen().pin(), L"1");
    EXPECT_EQ(manager->lock_count(), 0); // no login on its way
    for (int key : {key_2, key_3, key_4}) {
        tap_key(key);
    }
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == master_id && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    zel::test::expect_script_done(*dispatch_server);
    const auto sent = received();
    ASSERT_EQ(sent.size(), 2u) << dispatch_server->transcript();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i].rfind(R"({"login":)", 0), 0u);
        EXPECT_NE(sent[i].find(i == 0 ? R"("pin":"4321")" : R"("pin":"1234")"), std::string::npos) << sent[i];
    }
}

// A server index that names no dispatch server, at the show or, when the list changed meanwhile, at the fourth
// digit: a log line and the start screen over the first panel; nothing is sent.
TEST_F(pin_screen_test, a_stale_server_index_goes_to_the_start_screen_and_sends_nothing) {
    zel::test::log_capture log;
    open_scene(with("tests/form/fixtures/dispatch_login.script"));
    show_pin(2, 77);
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{panel_start2::id, master_id}));
    EXPECT_EQ(current_panel_id(), panel_start2::id);
    EXPECT_NE(log.text().find("server index 2 names none of the 2 dispatch servers"), std::string::npos) << log.text();

    show_pin(1, 77);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    for (int key : {key_1, key_2, key_3}) {
        tap_key(key);
    }
    ctl().store().clear_device_servers();
    tap_key(key_4);
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{panel_start2::id, master_id}));
    EXPECT_NE(log.text().find("server index 1 names none of the 0 dispatch servers"), std::string::npos) << log.text();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(ctl().get_server_index(), -1);
    EXPECT_FALSE(ctl().is_connected());
    EXPECT_TRUE(received().empty());
}

// The local trial's script (scripts/run) as the login and the dispatch server at once: the screens log in
// through the start screen, a call sign and a PIN, as a driver of the trial does.
TEST_F(pin_screen_test, the_trial_script_logs_in_through_the_screens) {
    screen_options options;
    options.login_script = "tools/dispatch_server/trial.script";
    options.dispatch_script.clear();
    open(options);
    ASSERT_TRUE(reach_menu());
    go_to_start();
    const point server = row_centre(*start().list(), 0);
    tap(server.x, server.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_set_signcall::id; })) << login_server->transcript();
    const point call_sign = row_centre(*call_signs().list(), 0);
    tap(call_sign.x, call_sign.y);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    ASSERT_TRUE(pump_until([&] { return listener.count(L"disconnect_local") > 0 && manager->lock_count() == 0; }));
    for (int key : {key_1, key_2, key_3, key_4}) {
        tap_key(key);
    }
    // Logged in, the menu comes back with the trial's offer over it.
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 30 && ctl().is_logged_in(); }))
        << login_server->transcript();
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, master_id}));
    EXPECT_TRUE(login_server->lines("FAIL").empty()) << login_server->transcript();
}

} // namespace
} // namespace zel::form::test
