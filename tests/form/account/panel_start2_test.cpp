// The start screen and the call sign screen on the program's own manager, against the test login and dispatch
// servers: the server rows and their faces, "Обновить" while connected, the row's call-sign request on a
// connection of its own, "Создать профиль" with and without an SMS number, the call signs and their tap; goldens.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/login_param.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/list_view.h"
#include "foundation/text_utils.h"
#include "tests/form/account/login_scene.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr int master_id = manager_2::master_id;
constexpr int country_id = 29;

const std::string three_call_signs = R"({"callsign-info":{"callsign-name":"А-17","driver-id":77}})"
                                     R"({"callsign-info":{"callsign-name":"Б-2 Ночная смена","driver-id":78}})"
                                     R"({"callsign-info":{"callsign-name":"В-305","driver-id":79}})"
                                     R"({"cmd-result":{"cmd-name":"get-callsign-list-for-device","ok":1}})";

const char* face_name(face f) {
    switch (f) {
    case face::grey:
        return "grey";
    case face::yellow:
        return "yellow";
    case face::green:
        return "green";
    default:
        return "other";
    }
}

bool shown(const std::vector<drawn_text>& texts, const std::wstring& text) {
    return std::any_of(texts.begin(), texts.end(), [&](const drawn_text& t) { return t.text == text; });
}

// The rows' texts as drawn, top to bottom.
std::vector<std::wstring> texts_in(const std::vector<drawn_text>& texts, const rect& area) {
    std::vector<drawn_text> inside;
    for (const drawn_text& t : texts) {
        if (t.r.x >= area.x && t.r.x < area.x + area.w && t.r.y >= area.y && t.r.y < area.y + area.h) {
            inside.push_back(t);
        }
    }
    std::stable_sort(inside.begin(), inside.end(),
                     [](const drawn_text& a, const drawn_text& b) { return a.r.y < b.r.y; });
    std::vector<std::wstring> out;
    for (const drawn_text& t : inside) {
        out.push_back(t.text);
    }
    return out;
}

using start_screen = login_scene;

TEST_F(start_screen, rows_show_the_name_with_the_city_in_brackets_and_the_buttons_while_not_connected) {
    open_scene(with());
    go_to_start();
    const auto texts = screen_texts();
    EXPECT_EQ(texts_in(texts, start().list()->get_rect()),
              (std::vector<std::wstring>{L"Таксопарк (Город)", L"Второй парк"}));
    for (const drawn_text& t : texts) {
        if (t.text == L"Таксопарк (Город)") {
            EXPECT_EQ(t.colour, 0xFFFFFFu);
            EXPECT_EQ(t.format, 0x40024u);
        }
    }
    ASSERT_NE(start().refresh_button(), nullptr);
    EXPECT_TRUE(start().refresh_button()->is_visible());
    EXPECT_TRUE(start().create_profile_button()->is_visible());
    EXPECT_TRUE(shown(texts, L"Обновить"));
    EXPECT_TRUE(shown(texts, L"Создать профиль"));
    // No server chosen yet: both rows grey; a pressed row yellow, and grey again when the pen leaves it.
    EXPECT_STREQ(face_name(row_face(0)), "grey");
    EXPECT_STREQ(face_name(row_face(1)), "grey");
    const point second = row_centre(*start().list(), 1);
    press(second.x, second.y);
    EXPECT_STREQ(face_name(row_face(1)), "yellow");
    EXPECT_STREQ(face_name(row_face(0)), "grey");
    release(second.x, start().create_profile_button()->get_rect().y + 5);
    EXPECT_STREQ(face_name(row_face(1)), "grey");
    EXPECT_EQ(current_panel_id(), panel_start2::id);
    EXPECT_EQ(start().chosen_row(), -1);

    EXPECT_EQ(screen_golden("login_start", start().up_arrow()), "");
}

TEST_F(start_screen, while_connected_the_chosen_row_is_green_and_a_tap_drops_the_link_and_asks_on_a_new_one) {
    open_scene(with("tests/form/fixtures/login_connected.script", zero_with_sms, {480, 800, 192},
                    {{"CALLSIGNS", three_call_signs}}));
    log_in(); // server 0, "Таксопарк"
    go_to_start();
    const auto texts = screen_texts();
    EXPECT_FALSE(start().refresh_button()->is_visible());
    EXPECT_FALSE(shown(texts, L"Обновить"));
    EXPECT_TRUE(shown(texts, L"Создать профиль"));
    EXPECT_STREQ(face_name(row_face(0)), "green");
    EXPECT_STREQ(face_name(row_face(1)), "grey");
    // Pressed, the chosen row is yellow all the same.
    const point first = row_centre(*start().list(), 0);
    press(first.x, first.y);
    EXPECT_STREQ(face_name(row_face(0)), "yellow");

    release(first.x, first.y);
    EXPECT_FALSE(ctl().is_logged_in());
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_set_signcall::id; }))
        << dispatch_server->transcript();
    const auto* index = param_as<number_param>(manager->top_panel().param.get());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->value, 0);
    EXPECT_EQ(stack_ids(), (std::vector<int>{panel_set_signcall::id, panel_start2::id, master_id}));
    ASSERT_TRUE(pump_until([&] { return dispatch_server->lines("done").size() == 1; }))
        << dispatch_server->transcript();
    run();
    zel::test::expect_script_done(*dispatch_server);
    EXPECT_EQ(manager->lock_count(), 0);
    // The login's connection closed before the request's own connection came.
    const auto events = dispatch_server->lines();
    std::vector<std::string> links;
    for (const std::string& line : events) {
        if (line == "connected" || line == "closed") {
            links.push_back(line);
        }
    }
    EXPECT_EQ(links, (std::vector<std::string>{"connected", "closed", "connected", "closed"}));
    ASSERT_EQ(received().size(), 2u);
    EXPECT_EQ(received()[1], R"({"get-callsign-list-for-device":{"local-id":")" + device_serial() + R"(","main-id":")" +
                                 device_id() + R"(","organization-id":7}})");

    // The call signs, one a row, in the server's order.
    const auto call_texts = screen_texts();
    EXPECT_EQ(texts_in(call_texts, call_signs().list()->get_rect()),
              (std::vector<std::wstring>{L"А-17", L"Б-2 Ночная смена", L"В-305"}));
    EXPECT_EQ(screen_golden("login_call_signs", call_signs().up_arrow()), "");
    // A row opens the PIN screen for that server and that call sign's driver.
    const point third = row_centre(*call_signs().list(), 2);
    tap(third.x, third.y);
    ASSERT_EQ(current_panel_id(), panel_login::id);
    const auto* chosen = param_as<login_param>(manager->top_panel().param.get());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->server_index, 0u);
    EXPECT_EQ(chosen->driver_id, 79);
}

TEST_F(start_screen, a_refused_call_sign_request_only_unlocks) {
    open_scene(with("tests/form/fixtures/login_connected.script", zero_with_sms, {480, 800, 192},
                    {{"CALLSIGNS", R"({"cmd-result":{"cmd-name":"get-callsign-list-for-device","ok":0}})"}}));
    log_in();
    go_to_start();
    const point first = row_centre(*start().list(), 0);
    tap(first.x, first.y);
    ASSERT_TRUE(pump_until([&] { return dispatch_server->lines("done").size() == 1; }))
        << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && listener.count(L"disconnect_local") > 0; }));
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{panel_start2::id, master_id}));
    EXPECT_EQ(start().chosen_row(), 0);
}

// "Обновить" repeats the exchange with the login servers: the rows become the new list and the screen is unlocked.
TEST_F(start_screen, refresh_asks_the_login_servers_again_and_shows_their_new_list) {
    scene_options options = with();
    options.login_script = "tests/form/fixtures/login_refresh.script";
    open_scene(options);
    go_to_start();
    tap(*start().refresh_button());
    ASSERT_TRUE(pump_until([&] { return login_server->lines("done").size() == 1; })) << login_server->transcript();
    ASSERT_TRUE(pump_until([&] { return listener.count(L"disconnect_global") == 2 && !ctl().is_registering(); }));
    run();
    EXPECT_TRUE(login_server->lines("FAIL").empty()) << login_server->transcript();
    EXPECT_EQ(current_panel_id(), panel_start2::id);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(texts_in(screen_texts(), start().list()->get_rect()), std::vector<std::wstring>{L"Третий парк (Село)"});
}

struct profile_case {
    const char* name;
    std::string zero;
    // "Создать профиль" is offered.
    bool offered;
    // An SMS number: the SMS is tried (and fails on Linux) before the country screen.
    bool sms;
};

class create_profile : public login_scene, public ::testing::WithParamInterface<profile_case> {};

// "Создать профиль" leads to the country screen and never leaves the screen locked: with a number through the
// SMS, which Linux cannot send; without one at once.
TEST_P(create_profile, leads_to_the_country_screen_and_never_leaves_the_screen_locked) {
    const profile_case& c = GetParam();
    zel::test::log_capture log;
    open_scene(with("", c.zero));
    go_to_start();
    ASSERT_NE(start().create_profile_button(), nullptr);
    EXPECT_EQ(start().create_profile_button()->is_visible(), c.offered);
    EXPECT_EQ(start().create_profile_button()->is_enabled(), c.offered);
    EXPECT_EQ(shown(screen_texts(), L"Создать профиль"), c.offered);
    if (!c.offered) {
        return;
    }
    tap(*start().create_profile_button());
    if (!c.sms) {
        // Nothing goes out and nothing will answer: no lock at all.
        EXPECT_EQ(manager->lock_count(), 0);
    }
    ASSERT_TRUE(pump_until([&] { return manager->top_panel().id == country_id; }));
    run();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(stack_ids(), (std::vector<int>{country_id, panel_start2::id, master_id}));
    EXPECT_EQ(current_panel_id(), country_id);
    EXPECT_EQ(listener.count(L"command_sms_register_error"), c.sms ? 1u : 0u);
    EXPECT_EQ(log.text().find("no SMS number") != std::string::npos, !c.sms) << log.text();
}

INSTANTIATE_TEST_SUITE_P(start_screen, create_profile,
                         ::testing::Values(profile_case{"with_a_number", zero_with_sms, true, true},
                                           profile_case{"without_a_number", zero_without_sms, true, false},
                                           profile_case{"no_registration_data", zero_none, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(start_screen, landscape_twin_stacks_the_buttons_in_a_column_beside_the_rows) {
    open_scene(with("", zero_with_sms, {800, 480, 192}));
    go_to_start();
    const rect list = start().list()->get_rect();
    const rect refresh = start().refresh_button()->get_rect();
    const rect create = start().create_profile_button()->get_rect();
    EXPECT_EQ(list.x + list.w, 800 - 220 - 40); // the column: the buttons' width and a margin
    EXPECT_EQ(refresh.x, create.x);
    EXPECT_LT(refresh.y + refresh.h, create.y);
    EXPECT_GT(refresh.x, list.x + list.w);
    EXPECT_EQ(texts_in(screen_texts(), list), (std::vector<std::wstring>{L"Таксопарк (Город)", L"Второй парк"}));
    EXPECT_EQ(screen_golden("login_start_landscape"), "");
}

} // namespace
} // namespace zel::form::test
