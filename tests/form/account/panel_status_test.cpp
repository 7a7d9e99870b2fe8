// The status strip on the program's own screens: the battery, GPS and connection icons, the server's clock,
// the parking-filter question against the test dispatch server, the global events (results, a failed login, a
// lost link, an order offer), the back button and the keep-awake timer.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "api/command/received/cmd_result.h"
#include "form/account/panel_status.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/image_button.h"
#include "form/controls/state_button.h"
#include "form/shell/dialog_request.h"
#include "form/shell/panel_dialog_gui.h"
#include "platform/headless.h"
#include "platform/named_event.h"
#include "tests/form/screen_fixture.h"
#include "tests/support/dispatch_peer.h"
#include "tests/support/golden.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr std::uint32_t clock_grey = 0x959595;
constexpr UINT clock_format = 0x26;
const char* const golden_folder = "tests/form/golden";

zel_api::update_mask result(const std::wstring& command, bool ok, const std::wstring& err = L"") {
    auto answer = std::make_shared<zel_api::command::cmd_result>();
    answer->cmd_name = command;
    answer->ok = ok;
    answer->err = err;
    zel_api::update_mask mask;
    mask.set(L"cmd-result");
    mask.set_payload(answer);
    return mask;
}

zel_api::update_mask only(const wchar_t* name) {
    zel_api::update_mask mask;
    mask.set(name);
    return mask;
}

class strip_screen : public screen_fixture {
protected:
    panel_status& strip() {
        return *static_cast<panel_status*>(manager->status_panel());
    }
    panel_dialog_gui& dialog() {
        return *static_cast<panel_dialog_gui*>(manager->panel_for(manager_2::dialog_id));
    }
    const dialog_request* shown_request() {
        return param_as<dialog_request>(manager->top_panel().param.get());
    }
    void post(const zel_api::update_mask& mask) {
        manager->post_command(mask);
        run();
    }
    // The clock texts of one whole paint.
    std::vector<drawn_text> clock_texts() {
        std::vector<drawn_text> found;
        for (const drawn_text& t : screen_texts()) {
            if (t.colour == clock_grey && t.format == clock_format) {
                found.push_back(t);
            }
        }
        return found;
    }
    // The strip's band of the window, compared with a golden picture of it.
    std::string strip_golden(const std::string& name) {
        manager->repaint();
        run();
        int width = 0;
        int height = 0;
        const std::vector<std::uint32_t> pixels = platform::headless::window_pixels(window, width, height);
        const int band = strip().own_rect().h;
        const std::vector<std::uint32_t> strip_pixels(pixels.begin(), pixels.begin() + width * band);
        return zel::test::compare_with_golden(golden_folder, name, width, band, strip_pixels);
    }
    // The finger lifted from the dialog's "Да", and only that message handled: the answer to the request it
    // sends can't have been handled yet.
    void answer_yes() {
        const rect r = dialog().yes_button()->get_rect();
        press(r.x + r.w / 2, r.y + r.h / 2);
        platform::headless::pen_up(r.x + r.w / 2, r.y + r.h / 2);
        platform::headless::run_until_idle(1);
    }
    void open_on_menu() {
        screen_options options;
        options.login_script.clear();
        options.dispatch_script.clear();
        open(options);
        ASSERT_TRUE(reach_menu());
    }
};

// --- layout and the icons' states

TEST_F(strip_screen, IconsStandLeftToRightInTheStripWithTheirFirstStates) {
    open_on_menu();
    const rect band = strip().own_rect();
    EXPECT_EQ(band, (rect{0, 0, 480, 54}));
    const rect back = strip().back_button()->get_rect();
    EXPECT_EQ(back, (rect{0, 0, 64, 54}));
    // Battery, connection, spare, filter, GPS: 32 wide each, as high as the strip, one after the other.
    const state_button* icons[] = {strip().battery_icon(), strip().connection_icon(), strip().spare_icon(),
                                   strip().filter_switch(), strip().gps_icon()};
    int left = 64;
    for (const state_button* icon : icons) {
        EXPECT_EQ(icon->get_rect(), (rect{left, 0, 32, 54}));
        left += 32;
    }
    EXPECT_EQ(strip().battery_icon()->state(), 0);
    EXPECT_EQ(strip().connection_icon()->state(), 1);
    EXPECT_EQ(strip().spare_icon()->state(), -1);
    EXPECT_EQ(strip().gps_icon()->state(), 0);
    EXPECT_EQ(strip().clock_rect(), (rect{230, 0, 240, 54}));
}

TEST_F(strip_screen, OnASmallScreenTheStripTakesTheHalvedPicturesSizes) {
    screen_options options;
    options.login_script.clear();
    options.dispatch_script.clear();
    options.screen = {240, 320, 96}; // layout scale 0.5, pictures halved
    open(options);
    ASSERT_TRUE(reach_menu());
    EXPECT_EQ(strip().own_rect(), (rect{0, 0, 240, 27}));
    EXPECT_EQ(strip().back_button()->get_rect(), (rect{0, 0, 32, 27}));
    EXPECT_EQ(strip().gps_icon()->get_rect(), (rect{32 + 4 * 16, 0, 16, 27}));
    EXPECT_EQ(strip().clock_rect(), (rect{115, 0, 120, 27}));
}

TEST_F(strip_screen, WhereItsPictureIsTallerThanTheBandTheStripStaysInItsBand) {
    screen_options options;
    options.login_script.clear();
    options.dispatch_script.clear();
    options.screen = {480, 800, 180}; // layout scale 0.9375: a band of 50, pictures kept at their 54
    open(options);
    ASSERT_TRUE(reach_menu());
    ASSERT_EQ(strip().own_rect(), (rect{0, 0, 480, 50}));
    manager->repaint();
    run();
    int width = 0;
    int height = 0;
    const auto pixels = platform::headless::window_pixels(window, width, height);
    // The picture's dark bottom line (rows 52 and 53 of it) would cover the panel's top rows.
    constexpr std::uint32_t strip_line = 0x0D0F12;
    ASSERT_EQ(pixels[51 * width + 300] == strip_line || pixels[52 * width + 300] == strip_line, false);
    ASSERT_EQ(pixels[52 * width + 10] == strip_line, false); // nor the back button's
}

TEST_F(strip_screen, BatteryIconFollowsThePercentAndTheMains) {
    open_on_menu();
    struct battery_case {
        bool mains;
        int percent;
        int state;
    };
    const battery_case cases[] = {
        {true, 255, 0}, {false, 255, 0}, {true, 101, 0},  {false, 101, 0}, {true, 100, 4},
        {true, 70, 4},  {true, 69, 5},   {true, 50, 5},   {true, 49, 6},   {true, 30, 6},
        {true, 29, 7},  {true, 0, 7},    {false, 100, 0}, {false, 70, 0},  {false, 69, 1},
        {false, 50, 1}, {false, 49, 2},  {false, 30, 2},  {false, 29, 3},  {false, 0, 3},
    };
    for (const battery_case& c : cases) {
        strip().on_power_state(c.mains, static_cast<std::uint8_t>(c.percent));
        EXPECT_EQ(strip().battery_icon()->state(), c.state) << "mains " << c.mains << ", " << c.percent << " %";
    }
}

TEST_F(strip_screen, ThePowerMonitorMadeAtTheFirstShowReportsTheDevicesBattery) {
    // On battery with 29 % left.
    power_root.write("AC/type", "Mains\n");
    power_root.write("AC/online", "0\n");
    power_root.write("BAT0/type", "Battery\n");
    power_root.write("BAT0/capacity", "29\n");
    open_on_menu();
    EXPECT_TRUE(strip().has_power_monitor());
    EXPECT_TRUE(pump_until([&] { return strip().battery_icon()->state() == 3; }));
}

TEST_F(strip_screen, GpsIconShowsAFixUpToAnAccuracyOf49_9) {
    open_on_menu();
    struct gps_case {
        float accuracy;
        int state;
    };
    const gps_case cases[] = {{1.5f, 1}, {49.9f, 1}, {50.0f, 0}, {49.91f, 0}, {0.0f, 1}, {50.0f, 0}};
    for (const gps_case& c : cases) {
        gps::location position;
        position.accuracy = c.accuracy;
        strip().on_gps_position(position);
        EXPECT_EQ(strip().gps_icon()->state(), c.state) << c.accuracy;
    }
}

TEST_F(strip_screen, GpsPositionsOfTheServiceReachTheIconAndTheLog) {
    open_on_menu();
    zel::test::log_capture log;
    gps::gps_fix fix;
    fix.valid = 1;
    fix.fix = 1;
    fix.pdop = 1.5f;
    fix.altitude = 150.0;
    fix.latitude = 55.75;
    fix.longitude = 37.625;
    fix.speed = 36.0;
    fix.gps_time = 1600056300000;
    refresh_gps(fix);
    EXPECT_EQ(strip().gps_icon()->state(), 1);
    const std::string text = log.text();
    EXPECT_NE(text.find("panel_status::on_gps_position"), std::string::npos) << text;
    EXPECT_NE(text.find("1.50 150.00 55.75 37.62 36.00 "), std::string::npos) << text;
    EXPECT_NE(text.find(" 1600056300000.00"), std::string::npos) << text;

    fix.valid = 0; // the receiver lost it: the service reports 50.0
    refresh_gps(fix);
    EXPECT_EQ(strip().gps_icon()->state(), 0);
}

// --- the clock

TEST_F(strip_screen, ClockShowsTheServersTimeOfDayOnlyOnceSessionParametersCame) {
    open();
    ASSERT_TRUE(reach_menu());
    EXPECT_TRUE(clock_texts().empty());
    EXPECT_FALSE(strip().filter_switch()->is_visible());

    log_in();
    // "dt" is 04:05 UTC and "tzo" three hours.
    std::vector<drawn_text> shown = clock_texts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"07:05");
    EXPECT_EQ(shown[0].r, strip().clock_rect());

    // The device's clock moves on, the server's with it.
    advance(std::chrono::minutes(2));
    shown = clock_texts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"07:07");
}

TEST(strip_clock, HourAndMinuteGetTwoDigits) {
    EXPECT_EQ(panel_status::clock_text(7 * 3600 + 5 * 60 + 59), L"07:05");
    EXPECT_EQ(panel_status::clock_text(23 * 3600 + 59 * 60), L"23:59");
    EXPECT_EQ(panel_status::clock_text(86400 + 10 * 3600 + 10 * 60), L"10:10");
    EXPECT_EQ(panel_status::clock_text(0), L"00:00");
}

// --- the parking filter

TEST_F(strip_screen, FilterSwitchIsHiddenWithoutSessionParametersAndATapOnItsPlaceAsksNothing) {
    open_on_menu();
    EXPECT_FALSE(strip().filter_switch()->is_visible());
    tap(*strip().filter_switch());
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
    // Asked directly, without session parameters, it asks nothing either.
    strip().ask_filter();
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
}

TEST_F(strip_screen, FilterQuestionSendsTheOptionAndTheSwitchFollowsTheServer) {
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/strip_filter.script";
    open(options);
    log_in();
    ASSERT_TRUE(strip().filter_switch()->is_visible());
    EXPECT_EQ(strip().filter_switch()->state(), 1);

    // Off: asked to switch it on; "Да" locks the GUI until the result.
    tap(*strip().filter_switch());
    ASSERT_EQ(current_panel_id(), manager_2::dialog_id);
    ASSERT_NE(shown_request(), nullptr);
    EXPECT_EQ(shown_request()->kind, dialog_request::question);
    EXPECT_EQ(shown_request()->text, L"Включить фильтр?");
    answer_yes();
    EXPECT_EQ(manager->lock_count(), 1);
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; })) << dispatch_server->transcript();
    EXPECT_EQ(strip().filter_switch()->state(), 0);
    const auto sent = dispatch_server->lines("recv command");
    ASSERT_GE(sent.size(), 2u);
    EXPECT_NE(sent[1].find(R"({"set-option":{"key":1022,"value":"1"}})"), std::string::npos) << sent[1];

    // On: "Нет" sends nothing and locks nothing.
    tap(*strip().filter_switch());
    ASSERT_NE(shown_request(), nullptr);
    EXPECT_EQ(shown_request()->text, L"Выключить фильтр?");
    tap(*dialog().no_button());
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
    EXPECT_EQ(manager->lock_count(), 0);

    // "Да" sends value 2; the server refuses, so the switch keeps its picture; the result still unlocks.
    tap(*strip().filter_switch());
    answer_yes();
    EXPECT_EQ(manager->lock_count(), 1);
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; })) << dispatch_server->transcript();
    EXPECT_EQ(strip().filter_switch()->state(), 0);
    zel::test::expect_script_done(*dispatch_server);
    EXPECT_EQ(dispatch_server->lines("recv command").size(), 3u) << dispatch_server->transcript();
}

// --- global events

TEST_F(strip_screen, EveryCommandResultUnlocksOnceWhateverItAnswers) {
    open_on_menu();
    for (const wchar_t* name : {L"buy-shift", L"set-option", L"shift-end", L"no-such-command"}) {
        manager->lock();
        manager->lock();
        post(result(name, true));
        EXPECT_EQ(manager->lock_count(), 1) << wide_to_utf8(name);
        post(result(name, false, L"нет"));
        EXPECT_EQ(manager->lock_count(), 0) << wide_to_utf8(name);
    }
    // Never below zero.
    post(result(L"buy-shift", true));
    EXPECT_EQ(manager->lock_count(), 0);
}

TEST_F(strip_screen, FailedLoginShowsTheServersTextInAMessageAndUnlocks) {
    open_on_menu();
    manager->lock();
    post(result(L"login", false, L"Неверный PIN"));
    EXPECT_EQ(manager->lock_count(), 0);
    ASSERT_EQ(current_panel_id(), manager_2::dialog_id);
    ASSERT_NE(shown_request(), nullptr);
    EXPECT_EQ(shown_request()->kind, dialog_request::message);
    EXPECT_EQ(shown_request()->text, L"Неверный PIN");
    EXPECT_EQ(strip().connection_icon()->state(), 1);
    tap(*dialog().ok_button());
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
}

TEST_F(strip_screen, ConnectionIconFollowsTheLoginTheLostLinkAndTheLinkAtEachShow) {
    open();
    ASSERT_TRUE(reach_menu());
    EXPECT_EQ(strip().connection_icon()->state(), 1);
    log_in();
    EXPECT_EQ(strip().connection_icon()->state(), 0);
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id}); // a good login pushes nothing

    post(only(L"disconnect_local"));
    EXPECT_EQ(strip().connection_icon()->state(), 1);
    // The next panel switch looks at the link, which is still up.
    manager->push_panel(5);
    run();
    EXPECT_EQ(strip().connection_icon()->state(), 0);
}

TEST_F(strip_screen, OrderOfferPushesTheOfferPanelWithTheOffersId) {
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/strip_offer.script";
    open(options);
    ASSERT_TRUE(reach_menu());
    // No offer held yet: the event alone pushes nothing.
    post(only(L"order-offer"));
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});

    log_in();
    ASSERT_TRUE(pump_until([&] { return manager->top_panel().id == 30; })) << dispatch_server->transcript();
    const auto* id = param_as<text_param>(manager->top_panel().param.get());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->value, L"O-77");
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, manager_2::master_id}));
}

// --- back button and timer

TEST_F(strip_screen, BackButtonPopsExceptOverTheDialogAndTheOffer) {
    // The offer panel stays only while an offer is held: the server offers one right after the login.
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/strip_offer.script";
    open(options);
    ASSERT_TRUE(reach_menu());
    const image_button& back = *strip().back_button();
    tap(back);
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});

    manager->push_panel(5);
    run();
    tap(back);
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});

    log_in();
    ASSERT_TRUE(pump_until([&] { return manager->top_panel().id == 30; })) << dispatch_server->transcript();
    tap(back);
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, manager_2::master_id}));

    manager->push_panel(manager_2::dialog_id,
                        std::make_shared<dialog_request>(dialog_request::message, L"Текст", [](int) {}));
    run();
    tap(back);
    EXPECT_EQ(stack_ids(), (std::vector<int>{manager_2::dialog_id, 30, manager_2::master_id}));
}

TEST_F(strip_screen, KeepAwakeTimerIsSetOnceAndSetsBothNamedEvents) {
    open_on_menu();
    const int timer = strip().backlight_timer();
    ASSERT_NE(timer, -1);
    // Shows after later panel switches keep the one timer.
    manager->push_panel(5);
    run();
    manager->pop_panel();
    run();
    EXPECT_EQ(strip().backlight_timer(), timer);

    const int backlight = platform::event_set_count(L"BackLightChangeEvent");
    const int activity = platform::event_set_count(L"PowerManager/ReloadActivityTimeouts");
    manager->on_timer(timer);
    EXPECT_EQ(platform::event_set_count(L"BackLightChangeEvent"), backlight + 1);
    EXPECT_EQ(platform::event_set_count(L"PowerManager/ReloadActivityTimeouts"), activity + 1);
}

// --- pictures

TEST_F(strip_screen, StripBeforeAndAfterTheLogin) {
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/strip_filter.script";
    open(options);
    ASSERT_TRUE(reach_menu());
    // Keeps the power reports from repainting while the pictures are taken.
    strip().hide();
    EXPECT_EQ(strip_golden("strip_logged_out"), "");

    log_in();
    gps::gps_fix fix;
    fix.valid = 1;
    fix.pdop = 1.5f;
    refresh_gps(fix);
    strip().on_power_state(true, 60);
    EXPECT_EQ(strip_golden("strip_logged_in"), "");
}

} // namespace
} // namespace zel::form::test
