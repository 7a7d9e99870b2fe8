// The ride panel (24) on the program's screens against the test dispatch server: the minimum sum shown until
// the total passes it, the tabs following the parking area, area rows sending "set-parking" with the row's own
// area (and a row gone doing nothing), finishing into the bill record, the money rules and the pictures; the
// bill's close (short and long form exact, the minimum-sum message, the discount question, a refused close,
// the data files and where the driver lands after it).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "api/bill_record.h"
#include "api/command/received/order.h"
#include "api/command/sent/close_order.h"
#include "controller/order_close.h"
#include "form/caption_radio_button.h"
#include "form/dialog_request.h"
#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/list_view.h"
#include "form/manager_2.h"
#include "form/order/bill_money.h"
#include "form/order/panel_work_bill_hor.h"
#include "form/order/progress_switch.h"
#include "form/order/ride_rows_widget.h"
#include "form/icon_button.h"
#include "form/order/panel_work_execute.h"
#include "form/order/ride_areas_list.h"
#include "form/order/taximeter_display.h"
#include "form/panel_dialog_gui.h"
#include "foundation/app_paths.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/taximeter.h"
#include "gps/trip_data_file.h"
#include "platform/headless.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {
namespace {

// The ride's order: the driver's current order (list 4) with the client on board ("s" 8).
std::string ride_order(const std::string& extra = "") {
    return R"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15","af":{"t":"Ленина, 1"},"at":[{"t":"Мира, 5"}])" +
           extra + "}}";
}

class ride_panel_screen : public screen_fixture {
protected:
    void open_ride(const std::string& records, const std::string& session = "",
                   platform::screen_size screen = platform::screen_size{480, 800, 192}) {
        screen_options options;
        options.screen = screen;
        options.dispatch_script = free_rides             ? "tests/form/fixtures/ride_free.script"
                                  : !between.empty()     ? "tests/form/fixtures/ride_close_late.script"
                                  : close_answer.empty() ? "tests/form/fixtures/ride_login.script"
                                                         : "tests/form/fixtures/ride_close.script";
        options.values = {
            {"RECORDS", records}, {"SESSION", session}, {"CLOSE_ANSWER", close_answer}, {"BETWEEN", between}};
        options.keepalive_ms = keepalive_ms;
        ASSERT_NO_FATAL_FAILURE(open(options));
        ASSERT_TRUE(reach_menu());
        ASSERT_NO_FATAL_FAILURE(log_in());
        manager->pop_to_first_quiet();
        manager->push_panel(panel_work_execute::id);
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_work_execute::id; }));
        run();
    }

    panel_work_execute& ride() {
        return static_cast<panel_work_execute&>(*manager->panel_for(panel_work_execute::id));
    }

    // Finishes the ride into the bill and taps "Завершить заказ".
    void finish_and_close() {
        ride().finish_ride();
        run();
        ASSERT_EQ(current_panel_id(), 25);
        EXPECT_TRUE(tap_text(L"Завершить заказ"));
        run();
    }

    // The text of the message box on top; empty when none is.
    std::wstring dialog_text() {
        if (current_panel_id() != manager_2::dialog_id) {
            return L"";
        }
        const auto* request = static_cast<panel_dialog_gui&>(*manager->panel_for(manager_2::dialog_id)).request();
        return request ? request->text : L"";
    }

    // How the test dispatch server answers "close-order"; empty: with a successful result only.
    std::string close_answer;
    // What the server pushes after "close-order" and before its answer; empty: nothing, the answer at once.
    std::string between;
    // The server answers work with the taximeter with a free ride, as the trial's server does.
    bool free_rides = false;
    // The server's keep-alive period (ms of real time); 0: none.
    int keepalive_ms = 0;
};

TEST(ride_money, WholeRoublesComeFromTheAmountRoundedToKopecks) {
    struct row {
        double amount;
        int32_t roubles;
    } const rows[] = {{299.99998, 300}, {300.0, 300}, {250.7, 250}, {250.999, 251},
                      {0.004, 0},       {-12.5, -12}, {1e20, 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(whole_roubles(r.amount), r.roubles) << r.amount;
    }
    // A float total just under 300 (as sums of float parts give) is 300 whole roubles, not 299.
    EXPECT_EQ(whole_roubles(299.99998f), 300);
}

TEST(ride_money, TheFareRuleTakesTheLargestOfTheFiguresItsModeNames) {
    struct row {
        int32_t mode, a, b, c, result;
    } const rows[] = {{1, 300, 100, 900, 300}, {1, 100, 300, 900, 300}, {2, 300, 100, 900, 900},
                      {2, 300, 100, 200, 300}, {2, 100, 300, 300, 300}, {3, 300, 100, 900, 0},
                      {0, 300, 100, 900, 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(fare_rule_max(r.mode, r.a, r.b, r.c), r.result) << r.mode << " " << r.a << " " << r.b << " " << r.c;
    }
}

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

// Files of one extension in the ride data folder.
std::vector<std::filesystem::path> trip_files(const std::filesystem::path& folder, const std::string& extension) {
    std::vector<std::filesystem::path> found;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == extension) {
                found.push_back(entry.path());
            }
        }
    }
    return found;
}

TEST_F(ride_panel_screen, AClosedRideLeavesItsDataFilesAndTheShortCloseIsExact) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    EXPECT_TRUE(tap_text(L"Завершить заказ"));
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    // This server accepts the close but never removes the order: the files are written on the result, and the
    // bill waits a while for the removal, then leaves all the same.
    ASSERT_TRUE(pump_until([&] { return listener.results(L"close-order") == 1; }));
    run();
    EXPECT_EQ(trip_files(std::filesystem::path(app_file(L"\\order_close_inf")), ".tax_data").size(), 1u);
    EXPECT_EQ(current_panel_id(), 25);
    EXPECT_EQ(manager->lock_count(), 1);
    advance(std::chrono::seconds(panel_work_bill::settle_seconds));
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() != 25; }));
    EXPECT_EQ(current_panel_id(), 2);
    const auto bill = ctl().get_bill();
    const std::string expected = R"({"close-order":{"s-oid":"R-1","sum":)" +
                                 std::to_string(whole_roubles(bill->total_ref())) + R"(,"dtime":0,"dist":0,"ucts":0}})";
    ASSERT_EQ(received_containing(R"("close-order")").size(), 1u);
    EXPECT_NE(received_containing(R"("close-order")")[0].find(expected), std::string::npos)
        << received_containing(R"("close-order")")[0];
    const auto folder = std::filesystem::path(app_file(L"\\order_close_inf"));
    const auto tax = trip_files(folder, ".tax_data");
    const auto track = trip_files(folder, ".order_track");
    ASSERT_EQ(tax.size(), 1u);
    ASSERT_EQ(track.size(), 1u);
    std::ifstream in(tax[0]);
    std::stringstream text;
    text << in.rdbuf();
    gps::tax_data_record record;
    EXPECT_TRUE(gps::parse_tax_data(record, utf8_to_wide(text.str())));
    EXPECT_EQ(record.order_id, L"R-1");
}

// The answers to "close-order" of the close tests.
const std::string removed_and_closed =
    R"({"odel":{"l-type":4,"s-ids":["R-1"]}}{"cmd-result":{"cmd-name":"close-order","ok":1}})";
const std::string refused = R"({"cmd-result":{"cmd-name":"close-order","ok":0,"err":"Заказ не закрыт"}})";

// A reading of a receiver on a meridian, `metres` north of the ride's start, at `speed` km/h.
gps::gps_fix fix_at(double metres, double speed) {
    gps::gps_fix f;
    f.valid = 1;
    f.fix = 1;
    f.fix_3d = 1;
    f.satellites = 9;
    f.pdop = 1.4f;
    f.hdop = 0.9f;
    f.latitude = 55.75 + metres / 111195.0;
    f.longitude = 37.62;
    f.speed = speed;
    return f;
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

TEST_F(ride_panel_screen, ARefusedCloseLeavesNoDataFilesAndStaysOnTheBill) {
    close_answer = refused;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    run();
    const auto folder = std::filesystem::path(app_file(L"\\order_close_inf"));
    EXPECT_TRUE(trip_files(folder, ".tax_data").empty());
    EXPECT_TRUE(trip_files(folder, ".order_track").empty());
    EXPECT_EQ(current_panel_id(), 25);
}

TEST_F(ride_panel_screen, AMinimumSumAboveTheCorrectedTotalStopsTheClose) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(R"(,"msum":300)")));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    // The driver corrects the sum to 250 on the parameters screen.
    ctl().get_bill()->set_total(250.0f);
    manager->push_panel(28);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 28; }));
    manager->pop_panel();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    clear_texts();
    EXPECT_TRUE(tap_text(L"Завершить заказ"));
    run();
    EXPECT_EQ(dialog_text(), L"Минимальная сумма для завершения заказа: 300 р.");
    EXPECT_TRUE(received_containing(R"("close-order")").empty());
    // "Ok" goes back to the bill, nothing sent.
    EXPECT_TRUE(tap_text(L"Ok"));
    run();
    EXPECT_EQ(current_panel_id(), 25);
    EXPECT_TRUE(received_containing(R"("close-order")").empty());
}

TEST_F(ride_panel_screen, TheDiscountQuestionIsExactAndYesSendsTheDiscount) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(R"(,"cts":50)")));
    clear_texts();
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    EXPECT_EQ(dialog_text(), L"Клиент воспользовался скидкой: 50 р.?");
    EXPECT_TRUE(received_containing(R"("close-order")").empty());
    EXPECT_TRUE(tap_text(L"Да"));
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    EXPECT_NE(received_containing(R"("close-order")")[0].find(R"("ucts":1)"), std::string::npos)
        << received_containing(R"("close-order")")[0];
}

TEST_F(ride_panel_screen, TheLongCloseIsExact) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(
        R"(,"dct":{"n":"Свой","cdu":20,"ctu":5,"cp":10,"pd":2,"pt":5,"p":100},"cct":{"n":"Клиент","cdu":15,"ctu":4,"cp":10,"pd":2,"pt":5,"p":90})")));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    const std::string line = received_containing(R"("close-order")")[0];
    // The order's own tariff prices the ride: "cd" from the bill, "ccd" from the client's rates, items without
    // a sum left out.
    const std::string expected =
        R"({"close-order":{"s-oid":"R-1","sum":100,"dtime":0,"dist":0,"ucts":0,)"
        R"("cd":{"trip-details":[{"code":"prepay","sum":100.0},{"code":"item-cost-precision","units":0.5},)"
        R"({"code":"total-cost-precision","units":10.0}],"total-cost":100.0,"discount":0.0},)"
        R"("ccd":{"trip-details":[{"code":"prepay","sum":90.0},{"code":"item-cost-precision","units":0.5},)"
        R"({"code":"total-cost-precision","units":10.0}],"total-cost":90.0,"discount":0.0}}})";
    EXPECT_NE(line.find(expected), std::string::npos) << line;
}

// After a close that removed the order, where the driver lands: by the session's parking area and its type.
struct after_close_case {
    const char* name;
    std::string session;
    int top;
};

class after_close_screen : public ride_panel_screen, public testing::WithParamInterface<after_close_case> {};

TEST_P(after_close_screen, TheParkingAreaChoosesTheNextScreen) {
    close_answer = removed_and_closed;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), GetParam().session));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() != 25; }));
    run();
    EXPECT_EQ(current_panel_id(), GetParam().top);
    const auto folder = std::filesystem::path(app_file(L"\\order_close_inf"));
    EXPECT_EQ(trip_files(folder, ".tax_data").size(), 1u);
    EXPECT_EQ(trip_files(folder, ".order_track").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(bill, after_close_screen,
                         testing::Values(after_close_case{"NoParkingArea", "", 2},
                                         after_close_case{"AreaZero", R"(,"area-id":0)", 9},
                                         after_close_case{"ParkingAreaOfType2", R"(,"area-id":12)", 10},
                                         after_close_case{"UnknownArea", R"(,"area-id":99)", 2}),
                         [](const testing::TestParamInfo<after_close_case>& info) {
                             return std::string(info.param.name);
                         });

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
    for (const tab_case& c : {tab_case{ride().tariff_tab(), L"ТАРИФ"}, tab_case{ride().orders_tab(), L"ЗАКАЗЫ"},
                              tab_case{ride().orders_tab(), L"МОИ ЗАКАЗЫ"}, tab_case{ride().areas_tab(), L"РАЙОНЫ"}}) {
        SCOPED_TRACE(wide_to_utf8(c.caption));
        c.tab->set_caption(c.caption);
        const int height = c.tab->caption_height();
        EXPECT_GE(height * 4, full * 3);
        EXPECT_LE(text_extent(window, font_holder(height, 700), c.caption).width, c.tab->caption_rect().w);
    }
}

INSTANTIATE_TEST_SUITE_P(sizes, ride_tabs_screen,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

TEST_F(ride_panel_screen, BillPicture) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order()));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    EXPECT_EQ(golden("bill"), "");
}

TEST_F(ride_panel_screen, BillOnTheLandscapeScreen) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), "", platform::screen_size{800, 480, 192}));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    EXPECT_NE(dynamic_cast<panel_work_bill_hor*>(manager->current_panel()), nullptr);
    EXPECT_EQ(golden("bill_landscape"), "");
    // The buttons of the right column act as the portrait ones.
    EXPECT_TRUE(tap_text(L"Назад"));
    EXPECT_EQ(current_panel_id(), 24);
}

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

// Whatever the server sends between "close-order" and its answer, the close ends once: the files written on a
// success and none on a refusal, the lock released, and one way out after it.
struct between_case {
    const char* name;
    std::string between;
    std::string answer;
    bool written;
    int top;
};

void PrintTo(const between_case& c, std::ostream* out) {
    *out << c.name;
}

class close_between_screen : public ride_panel_screen, public testing::WithParamInterface<between_case> {};

TEST_P(close_between_screen, TheCloseEndsOnce) {
    between = GetParam().between;
    close_answer = GetParam().answer;
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), R"(,"area-id":12)"));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    run();
    // A message that came meanwhile lies over the bill; the way out comes once it is read. (With the answer to
    // "msg-read" split, its result comes before the message's removal and the message shows once more.)
    for (int shown = 0; shown < 3 && current_panel_id() == manager_2::dialog_id; ++shown) {
        EXPECT_TRUE(tap_text(L"Ok"));
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
        run();
    }
    // A removal pushed before the answer may reach the store after it (the listener's turn comes later).
    EXPECT_TRUE(pump_until([&] { return current_panel_id() == GetParam().top; }, std::chrono::seconds(5)));
    run();
    EXPECT_EQ(current_panel_id(), GetParam().top);
    const auto ids = stack_ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), GetParam().top), 1);
    const auto folder = std::filesystem::path(app_file(L"\\order_close_inf"));
    EXPECT_EQ(trip_files(folder, ".tax_data").size(), GetParam().written ? 1u : 0u);
    EXPECT_EQ(trip_files(folder, ".order_track").size(), GetParam().written ? 1u : 0u);
    EXPECT_EQ(received_containing(R"("close-order")").size(), 1u);
}

const std::string removed = R"({"odel":{"l-type":4,"s-ids":["R-1"]}})";
const std::string area_cleared = R"({"session-param":{"area-id":0}})";
const std::string closed_ok = R"({"cmd-result":{"cmd-name":"close-order","ok":1}})";

INSTANTIATE_TEST_SUITE_P(
    close_split, close_between_screen,
    testing::Values(
        // The removal in a packet of its own before the result.
        between_case{"RemovalFirst", removed, closed_ok, true, 10},
        // The result before the removal and the session's change (in one packet here; the split runs send them
        // in two, either way round).
        between_case{"ResultBeforeRemoval", R"({"nda":{"id":12,"c":1}})", closed_ok + removed + area_cleared, true,
                     9},
        // A message shown over the bill before the answer.
        between_case{"MessageOverTheBill", R"({"msg":{"id":5,"txt":"Ждёт"}})", removed + closed_ok + area_cleared,
                     true, 9},
        // The order removed, then the close refused: nothing written, and the bill of a gone order leaves.
        between_case{"RemovedThenRefused", removed, refused, false, 10},
        // Refused with the order still listed: the bill stays for another try.
        between_case{"Refused", R"({"nda":{"id":12,"c":1}})", refused, false, 25}),
    [](const testing::TestParamInfo<between_case>& info) { return std::string(info.param.name); });

// Figures no box and no command can carry: a total beyond the 32-bit kopecks, a taximeter sum that is not a
// number, an endless distance and the largest discount a record may carry (a larger one refuses the order where
// it is read; the close's own hold of a discount beyond 32 bits is in the table below). The bill draws each as a
// figure and the close carries numbers only.
TEST_F(ride_panel_screen, AbsurdFiguresNeverReachTheScreenOrTheWireAsNonNumbers) {
    ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(R"(,"cts":9e8)")));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    auto bill = ctl().get_bill();
    bill->set_total(30000000.0f);
    bill->set_taximeter_cost(std::numeric_limits<float>::quiet_NaN());
    bill->set_distance(std::numeric_limits<float>::infinity());
    manager->push_panel(28);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 28; }));
    manager->pop_panel();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    bool absurd = false;
    for (const auto& t : screen_texts()) {
        absurd = absurd || t.text.find(L"nan") != std::wstring::npos || t.text.find(L"inf") != std::wstring::npos;
    }
    EXPECT_FALSE(absurd);
    EXPECT_FALSE(find_texts(L"30000000").empty());
    EXPECT_FALSE(find_texts(L".0").empty());
    EXPECT_TRUE(tap_text(L"Завершить заказ"));
    EXPECT_EQ(dialog_text(), L"Клиент воспользовался скидкой: 900000000 р.?");
    EXPECT_TRUE(tap_text(L"Да"));
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    const std::string line = received_containing(R"("close-order")")[0];
    EXPECT_NE(line.find(R"({"close-order":{"s-oid":"R-1","sum":30000000,"dtime":0,"dist":0,"ucts":1}})"),
              std::string::npos)
        << line;
    EXPECT_EQ(line.find("null"), std::string::npos) << line;
}

// The close's request, built below the screens, for bills whose figures a command cannot carry.
TEST(close_request, EveryFigureIsANumberInItsRange) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct row {
        const char* name;
        float total, distance, part, precision;
        std::string sum, dist;
    } const rows[] = {
        {"ordinary", 350.0f, 1200.0f, 10.0f, 0.5f, "350", "1200"},
        {"endless", inf, inf, inf, inf, "0", "0"},
        {"not a number", nan, nan, nan, nan, "0", "0"},
        {"beyond 32 bits", 3e10f, -3e10f, 1e30f, 0.5f, "2147483647", "-2147483648"},
    };
    auto order = std::make_shared<zel_api::command::order>();
    order->s_id = L"R-1";
    for (const auto& r : rows) {
        for (const bool own_tariff : {false, true}) {
            zel_api::command::order o = *order;
            if (own_tariff) {
                o.dct.emplace();
                o.cct.emplace();
                o.cts = r.part;
            }
            zel_api::bill_record bill(L"R-1");
            bill.set_total(r.total);
            bill.set_distance(r.distance);
            bill.set_distance_cost(r.part);
            bill.set_time_cost(r.part);
            bill.set_base_price(r.part);
            bill.set_taximeter_cost(r.part);
            const std::string text =
                wide_to_utf8(controller_::order_close::build_request(bill, o, r.precision, 1)->to_json());
            SCOPED_TRACE(std::string(r.name) + (own_tariff ? ", long form" : ", short form") + ": " + text);
            EXPECT_EQ(text.find("null"), std::string::npos);
            EXPECT_NE(text.find(R"("sum":)" + r.sum + ","), std::string::npos);
            EXPECT_NE(text.find(R"("dist":)" + r.dist + ","), std::string::npos);
            EXPECT_EQ(text.find("nan"), std::string::npos);
            EXPECT_EQ(text.find("inf"), std::string::npos);
        }
    }
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
        return manager->lock_count() == 0 && (current_panel_id() == panel_work_execute::id || current_panel_id() == 2) &&
               ctl().get_current_order();
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
