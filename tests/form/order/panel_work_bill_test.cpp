// The bill (25) on the program's screens against the test dispatch server: the money rules, the close (short
// and long form exact, the minimum-sum message, the discount question, a refused close, what comes between the
// close and its answer, absurd figures), the data files, where the driver lands after it and after the order's
// removal by the dispatcher, and its pictures.
#include "tests/form/order/ride_panel_scene.h"

namespace zel::form::test {
namespace {

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

// The dispatcher removes the order while its bill is shown and no close was sent: where the driver lands, by the
// session's parking area and its type, is not where a close leads (no area, or an area of a type other than 1
// and 2, opens the area list).
struct removed_case {
    const char* name;
    std::string session;
    std::vector<int> stack;
};

void PrintTo(const removed_case& c, std::ostream* out) {
    *out << c.name;
}

class removed_screen : public ride_panel_screen, public testing::WithParamInterface<removed_case> {};

TEST_P(removed_screen, TheParkingAreaChoosesTheNextScreen) {
    own_script = "bill_removed.script";
    const std::string areas = R"({"ref-area":{"id":13,"n":"Вокзал","t":1}}{"ref-area":{"id":15,"n":"Пригород","t":4}})"
                              R"({"ref-area":{"id":16,"n":"Аэропорт","t":3}})";
    ASSERT_NO_FATAL_FAILURE(open_ride(areas + ride_order(), GetParam().session));
    ride().finish_ride();
    run();
    ASSERT_EQ(current_panel_id(), 25);
    // The cue: the server removes the order.
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return ctl().get_current_order() == nullptr && current_panel_id() != 25; }))
        << dispatch_server->transcript();
    run();
    EXPECT_EQ(stack_ids(), GetParam().stack);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_TRUE(received_containing(R"("close-order")").empty());
}

INSTANTIATE_TEST_SUITE_P(bill, removed_screen,
                         testing::Values(removed_case{"NoParkingArea", "", {9, 2}},
                                         removed_case{"AreaZero", R"(,"area-id":0)", {9, 2}},
                                         removed_case{"AreaOfType2", R"(,"area-id":12)", {10, 2}},
                                         removed_case{"AreaOfType3", R"(,"area-id":16)", {9, 2}},
                                         removed_case{"AreaOfType4", R"(,"area-id":15)", {9, 2}},
                                         removed_case{"AreaOfType1", R"(,"area-id":13)", {2}},
                                         removed_case{"UnknownArea", R"(,"area-id":99)", {2}}),
                         [](const testing::TestParamInfo<removed_case>& info) { return std::string(info.param.name); });

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
        between_case{"ResultBeforeRemoval", R"({"nda":{"id":12,"c":1}})", closed_ok + removed + area_cleared, true, 9},
        // A message shown over the bill before the answer.
        between_case{"MessageOverTheBill", R"({"msg":{"id":5,"txt":"Ждёт"}})", removed + closed_ok + area_cleared, true,
                     9},
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

} // namespace
} // namespace zel::form::test
