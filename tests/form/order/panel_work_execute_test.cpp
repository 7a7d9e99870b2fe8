// The ride panel (24) on the program's screens against the test dispatch server: the minimum sum shown until
// the total passes it, the tabs following the parking area, area rows sending "set-parking" with the row's own
// area (and a row gone doing nothing), finishing into the bill record, the ride followed fix by fix into its
// close, the waiting switch, the free ride, the tabs and the cut tariff's scroll buttons, and the pictures.
#include "form/controls/image_button.h"
#include "form/controls/scroll_view.h"
#include "form/order/tariff_widget.h"
#include "tests/form/order/ride_panel_scene.h"

namespace zel::form::test {
namespace {

TEST_F(ride_panel_screen, TheMinimumSumShowsUntilTheTotalPassesItAndTheTabsFollowTheParkingArea) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(R"(,"of":2,"msum":300)")));
    ASSERT_NE(ctl().get_taximeter(), nullptr);
    EXPECT_EQ(ride().display()->rouble_text(), L"300");
    // No parking area: "ТАРИФ" and "РАЙОНЫ", the tariff open.
    EXPECT_TRUE(ride().tariff_tab()->is_checked());
    EXPECT_TRUE(ride().areas_tab()->is_visible());
    EXPECT_FALSE(ride().orders_tab()->is_visible());
    EXPECT_TRUE(tap_text(L"РАЙОНЫ"));
    EXPECT_TRUE(ride().areas_view()->is_visible());
    EXPECT_FALSE(ride().orders_view()->is_visible());
    EXPECT_EQ(ride().areas_source()->areas().size(), 2u);
}

TEST_F(ride_panel_screen, AnAreaRowSendsItsOwnAreaAndARowGoneDoesNothing) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    EXPECT_TRUE(tap_text(L"РАЙОНЫ"));
    ASSERT_EQ(ride().areas_source()->areas().size(), 2u);
    const int64_t second = ride().areas_source()->areas()[1]->id;
    ride().on_area_click(1);
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("set-parking")").empty(); }));
    EXPECT_NE(received_containing(std::to_string(second)).size(), 0u);
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));

    // The row source's rows emptied (as after a reconnect emptied the store): a tap on a row no longer there
    // sends nothing and locks nothing.
    ride().areas_source()->set_rows({});
    ride().on_area_click(1);
    ride().on_order_click(0);
    run();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(received_containing(R"("set-parking")").size(), 1u);
    EXPECT_EQ(current_panel_id(), panel_work_execute::id);
}

TEST_F(ride_panel_screen, FinishMakesTheBillWithTheFareRuleAndPushesTheBill) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(R"(,"msum":300)")));
    ride().finish_ride();
    run();
    auto bill = ctl().get_bill();
    ASSERT_TRUE(bill);
    EXPECT_EQ(bill->order_id(), L"R-1");
    EXPECT_EQ(bill->tariff_mode_ref(), 3);
    // "min-sum-prio" 2 over "msum" 300, "pp" 99.5 and the parts' sum: 300; the parts keep their own values.
    EXPECT_FLOAT_EQ(bill->total_ref(), 300.0f);
    ASSERT_FALSE(stack_ids().empty());
    EXPECT_EQ(stack_ids().front(), 25);
    EXPECT_NE(ctl().get_taximeter(), nullptr);
}

TEST_F(ride_panel_screen, TheRideFollowsTheFixesSecondBySecondAndTheCloseCarriesItsDistanceAndWaiting) {
    close_answer = removed_and_closed;
    // Three minutes of the stepped clock go by in a moment: the server's keep-alives hold the link as a real
    // server's do.
    keepalive_ms = 20;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    gps::taximeter* meter = ctl().get_taximeter();
    ASSERT_NE(meter, nullptr);
    const std::wstring sum_at_start = ride().display()->rouble_text();
    // Thirty seconds at 36 km/h: 300 m, one reading a second, the panel's tick between them.
    for (int second = 0; second <= 30; ++second) {
        refresh_gps(fix_at(second * 10.0, 36.0));
        advance(std::chrono::seconds(1));
    }
    EXPECT_NEAR(meter->distance(), 300.0, 15.0);
    EXPECT_NE(ride().display()->rouble_text(), sum_at_start);
    // Waiting at the stop for two and a half minutes with the switch on, then off.
    ASSERT_NE(ride().waiting_switch(), nullptr);
    ride().on_taximeter_switch(0);
    for (int second = 0; second < 150; ++second) {
        refresh_gps(fix_at(300.0, 0.0));
        advance(std::chrono::seconds(1));
    }
    EXPECT_TRUE(meter->in_downtime());
    ride().on_taximeter_switch(1);
    EXPECT_FALSE(meter->in_downtime());
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() != 25; }));

    const auto bill = ctl().get_bill();
    ASSERT_TRUE(bill);
    EXPECT_GE(bill->downtime_seconds_ref(), 120);
    const auto closes = received_containing(R"("close-order")");
    ASSERT_EQ(closes.size(), 1u);
    const std::string figures = R"("dtime":)" + std::to_string(bill->downtime_seconds_ref() / 60) + R"(,"dist":)" +
                                std::to_string(static_cast<int>(bill->distance_ref())) + ",";
    EXPECT_NE(closes[0].find(figures), std::string::npos) << closes[0];
    EXPECT_EQ(closes[0].find(R"("dtime":0,)"), std::string::npos) << closes[0];
}

TEST_F(ride_panel_screen, AParkingAreaInTheSessionShowsTheOrdersTab) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), R"(,"area-id":12)"));
    EXPECT_FALSE(ride().areas_tab()->is_visible());
    EXPECT_TRUE(ride().orders_tab()->is_visible());
    EXPECT_TRUE(tap_text(L"ЗАКАЗЫ"));
    EXPECT_TRUE(ride().orders_view()->is_visible());
}

// Each tab's caption, measured with the real font in the font it is drawn with, lies within the room beside
// the tab's picture at both screen sizes (the landscape tabs have less of it), in a font no smaller than three
// quarters of the full size.
class ride_tabs_screen : public ride_panel_screen, public ::testing::WithParamInterface<platform::screen_size> {};

TEST_P(ride_tabs_screen, TheTabCaptionsFitBesideTheirPicturesWithTheRealFont) {
    if (!real_font_scope::installed()) {
        GTEST_SKIP() << "Wine's Tahoma (fonts-wine) is not installed";
    }
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), "", GetParam()));
    real_font_scope real;
    const int full = scaled(26, manager->get_scale());
    struct tab_case {
        caption_radio_button* tab;
        const wchar_t* caption;
    };
    // A caption that fitted only just ran from the picture's edge to the tab's: it keeps a gap from both.
    const int gap = scaled(4, manager->get_scale());
    for (const tab_case& c : {tab_case{ride().tariff_tab(), L"ТАРИФ"}, tab_case{ride().orders_tab(), L"ЗАКАЗЫ"},
                              tab_case{ride().orders_tab(), L"МОИ ЗАКАЗЫ"}, tab_case{ride().areas_tab(), L"РАЙОНЫ"}}) {
        SCOPED_TRACE(wide_to_utf8(c.caption));
        c.tab->set_caption(c.caption);
        const int height = c.tab->caption_height();
        EXPECT_GE(height * 4, full * 3);
        const int width = text_extent(window, font_holder(height, 700), c.caption).width;
        const rect box = c.tab->caption_rect();
        EXPECT_LE(width, box.w);
        // Centred in its box.
        const int left = box.x + (box.w - width) / 2;
        const rect picture = c.tab->image_rect();
        const rect tab = c.tab->get_rect();
        EXPECT_GE(left - (picture.x + picture.w), gap);
        EXPECT_GE(tab.x + tab.w - (left + width), gap);
    }
}

INSTANTIATE_TEST_SUITE_P(sizes, ride_tabs_screen,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

// The tariff is taller than its view at both sizes (its last line cut at the screen's bottom): on the tariff tab
// each scroll button shows exactly while the tariff can move its way and moves it, so the last line can be read
// whole; the list tabs keep both buttons for their lists.
class ride_tariff_screen : public ride_panel_screen, public ::testing::WithParamInterface<platform::screen_size> {};

TEST_P(ride_tariff_screen, ACutTariffShowsTheScrollButtonsThatBringItsLastLineIntoSight) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), "", GetParam()));
    panel_work_execute& panel = ride();
    const scroll_view& view = *panel.tariff_view();
    const image_button& up = *panel.scroll_up_button();
    const image_button& down = *panel.scroll_down_button();
    ASSERT_TRUE(panel.tariff_tab()->is_checked());
    const rect last = panel.tariff()->fare_line_rect(4);
    ASSERT_GT(last.y + last.h, view.get_rect().h);
    EXPECT_FALSE(up.is_visible());
    ASSERT_TRUE(down.is_visible());

    for (int taps = 0; down.is_visible() && taps < 20; ++taps) {
        tap(down);
    }
    EXPECT_LE(last.y + last.h + view.offset(), view.get_rect().h);
    EXPECT_FALSE(down.is_visible());
    EXPECT_TRUE(up.is_visible());
    for (int taps = 0; up.is_visible() && taps < 20; ++taps) {
        tap(up);
    }
    EXPECT_EQ(view.offset(), 0);
    EXPECT_TRUE(down.is_visible());

    EXPECT_TRUE(tap_text(L"РАЙОНЫ"));
    EXPECT_TRUE(up.is_visible());
    EXPECT_TRUE(down.is_visible());
    EXPECT_TRUE(tap_text(L"ТАРИФ"));
    EXPECT_FALSE(up.is_visible());
    EXPECT_TRUE(down.is_visible());
    EXPECT_EQ(view.offset(), 0);
}

INSTANTIATE_TEST_SUITE_P(sizes, ride_tariff_screen,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

TEST_F(ride_panel_screen, RidePicture) {
    taximeter_display::reset_lamp_blink();
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    taximeter_display::reset_lamp_blink();
    EXPECT_EQ(golden("ride"), "");
}

TEST_F(ride_panel_screen, RidePictureOnTheLandscapeScreen) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), "", platform::screen_size{800, 480, 192}));
    taximeter_display::reset_lamp_blink();
    EXPECT_EQ(golden("ride_landscape"), "");
}

// The waiting switch shows what the taximeter does: with no ride measured a tap leaves it off; during a ride it
// follows the taximeter's waiting.
TEST_F(ride_panel_screen, TheWaitingSwitchShowsOnlyWhatTheTaximeterDoes) {
    ASSERT_NO_FATAL_FAILURE(open_ride(""));
    gps::taximeter* meter = ctl().get_taximeter();
    ASSERT_FALSE(meter->is_running());
    tap(*ride().waiting_switch());
    EXPECT_FALSE(ride().waiting_switch()->is_on());
    EXPECT_FALSE(meter->in_downtime());
    advance(std::chrono::seconds(2));
    EXPECT_FALSE(ride().waiting_switch()->is_on());
}

TEST_F(ride_panel_screen, TheWaitingSwitchFollowsTheRunningTaximeter) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    gps::taximeter* meter = ctl().get_taximeter();
    ASSERT_TRUE(meter->is_running());
    tap(*ride().waiting_switch());
    EXPECT_TRUE(ride().waiting_switch()->is_on());
    EXPECT_TRUE(meter->in_downtime());
    tap(*ride().waiting_switch());
    EXPECT_FALSE(ride().waiting_switch()->is_on());
    EXPECT_FALSE(meter->in_downtime());
}

// Two taps on the finish button before the bill is shown push one bill.
TEST_F(ride_panel_screen, ASecondTapOnFinishBeforeTheBillShowsDoesNothing) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    const rect r = ride().finish_button()->get_rect();
    const int x = r.x + r.w / 2;
    const int y = r.y + r.h / 2;
    platform::headless::pen_down(x, y);
    platform::headless::pen_up(x, y);
    platform::headless::pen_down(x, y);
    platform::headless::pen_up(x, y);
    run();
    EXPECT_EQ(current_panel_id(), 25);
    const auto ids = stack_ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 25), 1);
    EXPECT_TRUE(tap_text(L"Назад"));
    EXPECT_EQ(current_panel_id(), 24);
}

// After a closed ride the taximeter is stopped; the ride panel opened again (the menu's "Таксометр" with no
// order) shows no time carried over from that ride.
TEST_F(ride_panel_screen, AStoppedTaximeterShowsNoTimeOfTheRideBefore) {
    close_answer = removed_and_closed;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), R"(,"area-id":0)"));
    // Twenty seconds of the ride (less than the link's 31 s of silence, after which the controller reconnects).
    advance(std::chrono::seconds(20));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() == 9; }));
    EXPECT_FALSE(ctl().get_taximeter()->is_running());
    manager->push_panel(panel_work_execute::id);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_work_execute::id; }));
    advance(std::chrono::seconds(2));
    EXPECT_EQ(ride().ride_rows()->hours(), 0);
    EXPECT_EQ(ride().ride_rows()->minutes(), 0);
    EXPECT_EQ(ride().ride_rows()->seconds(), 0);
}

// "Таксометр" on the driver status screen after a closed ride: the server's free ride "1" starts the taximeter
// afresh, so the ride panel opens at 0:00 with the ride's tariff, and it closes through the bill as any order.
TEST_F(ride_panel_screen, TheFreeRideAfterAClosedRideStartsAfresh) {
    free_rides = true;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), R"(,"area-id":0)"));
    // Twenty seconds of the ride (less than the link's 31 s of silence, after which the controller reconnects).
    advance(std::chrono::seconds(20));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() == 9; }));
    manager->pop_to_first_quiet();
    manager->push_panel(8);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 8; }));
    EXPECT_TRUE(tap_text(L"Таксометр"));
    // The driver status screen opens the ride when the free ride came before the status's result, else the main
    // menu, whose "Таксометр" then opens it.
    ASSERT_TRUE(pump_until([&] {
        return manager->lock_count() == 0 &&
               (current_panel_id() == panel_work_execute::id || current_panel_id() == 2) && ctl().get_current_order();
    }));
    run();
    if (current_panel_id() == 2) {
        EXPECT_TRUE(tap_text(L"Таксометр"));
    }
    ASSERT_EQ(current_panel_id(), panel_work_execute::id);
    gps::taximeter* meter = ctl().get_taximeter();
    EXPECT_TRUE(meter->is_running());
    EXPECT_EQ(meter->order_id(), L"1");
    EXPECT_EQ(ride().ride_rows()->minutes(), 0);
    EXPECT_EQ(ride().ride_rows()->seconds(), 0);
    screen_texts();
    EXPECT_FALSE(find_texts(L"99.5").empty());
    advance(std::chrono::seconds(20));
    EXPECT_EQ(ride().ride_rows()->minutes(), 0);
    EXPECT_GE(ride().ride_rows()->seconds(), 19);
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() == 9; }));
    EXPECT_FALSE(meter->is_running());
    ASSERT_EQ(received_containing(R"({"close-order":{"s-oid":"1",)").size(), 1u);
}

} // namespace
} // namespace zel::form::test
