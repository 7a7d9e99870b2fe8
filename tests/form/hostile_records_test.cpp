// Records a broken or hostile dispatch server may send, well framed but absurd: figures at the ends of their
// types, figures beyond any money, members missing or of the wrong JSON type, texts of 64 KiB, right-to-left and
// combining text, lone surrogate escapes, and thousands of records at once. The test dispatch server pushes them
// (tests/form/fixtures/hostile.script echoes the test's "set-option" 9999 as the records it carries) while the
// screen that shows them is up; each screen must keep its texts in their boxes and the program must neither
// crash nor trip the sanitizers. Each test ends with an ordinary order offered, taken, driven and closed: the
// terminal still works after what it was sent.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command/sent/set_option.h"
#include "form/account/panel_balance.h"
#include "form/account/panel_my_info.h"
#include "form/account/panel_my_rating.h"
#include "form/account/panel_park_list.h"
#include "form/account/panel_shift_list.h"
#include "form/account/panel_take_shift.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/order/panel_order_offer.h"
#include "form/order/panel_orders_list.h"
#include "form/order/panel_take_order.h"
#include "form/order/panel_work_execute.h"
#include "form/order/take_order_param.h"
#include "form/shell/panel_param.h"
#include "foundation/saturating.h"
#include "foundation/text_utils.h"
#include "platform/text.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {
namespace {

// The session's "dt" of the screen fixture: the server's time when the stepped clock starts.
constexpr int64_t session_dt_ms = 1600056300000;
constexpr const char* int64_max = "9223372036854775807";
constexpr const char* int64_min = "-9223372036854775808";
constexpr const char* int32_max = "2147483647";
constexpr const char* int32_min = "-2147483648";
constexpr int dialog_panel = -2;
constexpr int offer_panel = 30;
constexpr int fine_warning = 34;
constexpr int menu_panel = 2;
constexpr int area_list = 9;

std::string repeat(const std::string& piece, size_t bytes) {
    std::string out;
    while (out.size() < bytes) {
        out += piece;
    }
    return out;
}

// Texts as a server may send them, each ready to stand between the quotes of a JSON string.
const std::string long_words = repeat("Ленина ", 64 * 1024);
const std::string long_word = std::string(64 * 1024, 'W');
const std::string right_to_left = "שלום עולם مرحبا بالعالم";
const std::string combining = "Ле\u0301нина a" + repeat("\u0301\u0336", 400);
const std::string lone_surrogates = R"(\ud800 \udfff \ud800\u0041 \udc00\ud800 x\u0000y)";
const std::vector<std::string> hostile_texts = {long_words, long_word, right_to_left, combining, lone_surrogates};

// An order's object of fields, and the whole record.
std::string order_fields(const std::string& id, int list, const std::string& members) {
    return R"({"s-id":")" + id + R"(","l-type":)" + std::to_string(list) + (members.empty() ? "" : "," + members) + "}";
}
std::string order(const std::string& id, int list, const std::string& members) {
    return R"({"order":)" + order_fields(id, list, members) + "}";
}

// The members of an order with absurd figures and two of the hostile texts (text and the one after it).
std::string absurd_order_members(size_t text) {
    const std::string& t = hostile_texts[text % hostile_texts.size()];
    const std::string& u = hostile_texts[(text + 1) % hostile_texts.size()];
    return R"("st":2,"ttp":0,"msum":999999999,"dist-to-driver":)" + std::string(int32_max) + R"(,"star":)" + int32_max +
           R"(,"of":18446744073709551615,"icl":1,"trade":1,"osid":)" + int32_max + R"(,"af":{"t":")" + t +
           R"(","tx":")" + u + R"("},"i":")" + u + R"(","at":[{"t":")" + t + R"(","tx":")" + u + R"("}],"dct":{"n":")" +
           t + R"(","p":999999999,"cdu":1e308},"dt":{"p":-1e308,"mc":1e9})";
}

class hostile_screen : public screen_fixture {
protected:
    void SetUp() override {
        screen_options options;
        options.dispatch_script = "tests/form/fixtures/hostile.script";
        ASSERT_NO_FATAL_FAILURE(open(options));
        ASSERT_TRUE(reach_menu());
        ASSERT_NO_FATAL_FAILURE(log_in());
        run();
    }

    // The server pushes the records (JSON objects one after the other, as a packet's text): they come back as
    // the answer to the test's "set-option" 9999, closed by a result of their own so that the answer always
    // makes a mask, even when every record in it is refused.
    void push(const std::string& records) {
        const size_t before = listener.results(L"set-option");
        ctl().send_command(std::make_unique<zel_api::command::set_option>(
            9999, utf8_to_wide(records + R"({"cmd-result":{"cmd-name":"set-option","ok":1}})")));
        ASSERT_TRUE(pump_until([&] { return listener.results(L"set-option") > before; }))
            << "the server's answer to the records did not come";
        run();
    }

    void show(int id, std::shared_ptr<const panel_param> param = nullptr) {
        manager->pop_to_first_quiet();
        manager->push_panel(id, std::move(param));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == id; })) << "panel " << id;
        run();
    }

    bool shown(const std::wstring& text) {
        const auto texts = screen_texts();
        return std::any_of(texts.begin(), texts.end(), [&](const drawn_text& t) { return t.text == text; });
    }
    bool wait_shown(const std::wstring& text) {
        return pump_until([&] { return shown(text); }, std::chrono::seconds(10));
    }

    // Every text of one paint of the whole window lies inside the window.
    void expect_texts_in_window() {
        for (const drawn_text& t : screen_texts()) {
            if (t.text.size() > 200) {
                continue; // a long text is drawn clipped to its box, whatever its box
            }
            EXPECT_GE(t.r.x + t.r.w, 0) << wide_to_utf8(t.text);
        }
    }

    // An ordinary order offered, taken, on the way, at the address, driven and closed: the close reaches the
    // server and its answer takes the order away.
    void ordinary_order_round_trip() {
        manager->pop_to_first_quiet();
        run();
        const std::string id = "N-" + std::to_string(++round_trips_);
        const int64_t deadline = saturating_add(saturating_mul(ctl().get_server_clock()->server_now(), 1000), 125000);
        ASSERT_NO_FATAL_FAILURE(push(R"({"order-offer":{"s-order-id":")" + id + R"(","deadline-time":)" +
                                     std::to_string(deadline) +
                                     R"(,"fineable":0,"fine-rating":0,"fine-sum":0,"reward-rating":1,)"
                                     R"("order":{"s-id":")" +
                                     id + R"(","l-type":1,"st":2,"af":{"t":"Ленина, 1"},"at":[{"t":"Мира, 5"}]}}})"));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_panel; })) << "no offer panel";
        ASSERT_TRUE(wait_shown(L"02:05"));
        ASSERT_TRUE(tap_text(L"Взять заказ"));
        ASSERT_TRUE(pump_until([&] {
            const auto o = ctl().get_current_order();
            return o && o->s_id == utf8_to_wide(id) && o->s == 2;
        })) << "the order was not taken";
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
        show(21);
        ASSERT_TRUE(tap_text(L"На месте"));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == 22; })) << "not at the address";
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
        ASSERT_TRUE(tap_text(L"Поехали"));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_work_execute::id; })) << "no ride";
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
        advance(std::chrono::seconds(2));
        static_cast<panel_work_execute&>(*manager->panel_for(panel_work_execute::id)).finish_ride();
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == 25; })) << "no bill";
        ASSERT_TRUE(tap_text(L"Завершить заказ"));
        ASSERT_TRUE(pump_until([&] {
            return !received_containing(R"({"close-order":{"s-oid":")" + id + "\"").empty() &&
                   ctl().get_current_order() == nullptr;
        })) << "the order was not closed";
        for (const std::string& close : received_containing(R"({"close-order":)")) {
            EXPECT_EQ(close.find("null"), std::string::npos) << close;
        }
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    }

private:
    int round_trips_ = 0;
};

// --- the offer and its fine warning

TEST_F(hostile_screen, OffersWithFiguresAtTheirLimitsKeepTheCountdownAndTheFinesInTheirBoxes) {
    const int64_t ahead = session_dt_ms + 125000;
    const struct {
        const char* name;
        std::string members;
        const wchar_t* countdown;
        const wchar_t* fine_rating;
        const wchar_t* fine_sum;
        const char* golden;
    } cases[] = {
        {"a deadline at the 64-bit limit, the lowest fines",
         std::string(R"("deadline-time":)") + int64_max + R"(,"fine-rating":)" + int32_min +
             R"(,"fine-sum":-999999999.9,"reward-rating":)" + int32_max,
         L"999:59", L"-9999", L"-9999", "hostile_offer"},
        {"the lowest deadline, the highest fines",
         std::string(R"("deadline-time":)") + int64_min + R"(,"fine-rating":)" + int32_max +
             R"(,"fine-sum":999999999.9,"reward-rating":)" + int32_min,
         L"00:00", L"-9999", L"-9999", "hostile_fine_warning"},
        {"an ordinary offer with a negative fine",
         R"("deadline-time":)" + std::to_string(ahead) + R"(,"fine-rating":-5,"fine-sum":150.9,"reward-rating":3)",
         L"02:05", L"-5", L"-150", nullptr},
    };
    size_t n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        manager->pop_to_first_quiet();
        run();
        const std::string id = "F-" + std::to_string(++n);
        ASSERT_NO_FATAL_FAILURE(push(R"({"order-offer":{"s-order-id":")" + id + R"(","fineable":1,)" + c.members +
                                     R"(,"order":)" + order_fields(id, 1, absurd_order_members(n)) + "}}"));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_panel; }));
        EXPECT_TRUE(wait_shown(c.countdown));
        expect_texts_in_window();
        if (c.golden && std::string(c.golden) == "hostile_offer") {
            EXPECT_EQ(golden(c.golden), "");
        }
        ASSERT_TRUE(tap_text(L"Отказаться"));
        ASSERT_EQ(current_panel_id(), fine_warning);
        const auto texts = screen_texts();
        std::vector<std::wstring> fines;
        for (const drawn_text& t : texts) {
            if (!t.text.empty() && t.text[0] == L'-') {
                fines.push_back(t.text);
            }
        }
        EXPECT_NE(std::find(fines.begin(), fines.end(), c.fine_rating), fines.end());
        EXPECT_NE(std::find(fines.begin(), fines.end(), c.fine_sum), fines.end());
        for (const std::wstring& fine : fines) {
            EXPECT_EQ(fine.find(L"--"), std::wstring::npos) << wide_to_utf8(fine);
        }
        if (c.golden && std::string(c.golden) == "hostile_fine_warning") {
            EXPECT_EQ(golden(c.golden), "");
        }
        ASSERT_TRUE(tap_text(L"Назад"));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_panel; }));
    }

    // An offer with a fine beyond any money is shown all the same, the fine taken as absent: its warning shows the
    // rating alone.
    ASSERT_NO_FATAL_FAILURE(push(R"({"order-offer":{"s-order-id":"X-1","fineable":1,"fine-rating":-5,)"
                                 R"("fine-sum":1e308,"deadline-time":)" +
                                 std::to_string(ahead) + R"(,"order":)" +
                                 order_fields("X-1", 1, R"("st":2,"msum":-1e308,"af":{"t":"Мира, 5"})") + "}}"));
    ASSERT_EQ(ctl().get_order_offer()->s_order_id, L"X-1");
    EXPECT_EQ(ctl().get_order_offer()->fine_sum, 0.0);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_panel; }));
    EXPECT_TRUE(wait_shown(L"Мира, 5"));
    ASSERT_TRUE(tap_text(L"Отказаться"));
    ASSERT_EQ(current_panel_id(), fine_warning);
    EXPECT_TRUE(shown(L"-5"));
    for (const drawn_text& t : screen_texts()) {
        EXPECT_TRUE(t.text.empty() || t.text[0] != L'-' || t.text == L"-5") << wide_to_utf8(t.text);
    }
    ASSERT_TRUE(tap_text(L"Назад"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_panel; }));

    // An offer of the wrong types is refused: the offer shown stays.
    for (const std::string& refused :
         {std::string(R"({"order-offer":{"s-order-id":"X-2","deadline-time":"soon"}})"),
          std::string(R"({"order-offer":{"s-order-id":["X-3"]}})"), std::string(R"({"order-offer":[]})"),
          std::string(R"({"order-offer":{"s-order-id":"X-4","order":{"tt":1.5}}})")}) {
        ASSERT_NO_FATAL_FAILURE(push(refused));
        ASSERT_EQ(ctl().get_order_offer()->s_order_id, L"X-1") << refused;
    }
    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- the orders lists and the take order panel

TEST_F(hostile_screen, ThousandsOfOrdersWithAbsurdMembersDrawRowsThatKeepToTheirPlaces) {
    std::string records;
    // The driver's preliminary orders at the ends of time, with three more stars than fit, and the rest.
    records += order("P-late", 3,
                     std::string(R"("st":2,"ttp":1,"star":)") + int32_max + R"(,"tt":)" + int64_max +
                         R"(,"af":{"t":"Ленина, 1"},"at":[{"t":"Мира, 5"}])");
    records +=
        order("P-early", 3, std::string(R"("st":2,"ttp":1,"star":19,"tt":)") + int64_min + R"(,"af":{"t":"Мира, 5"})");
    records += order("P-absurd", 3, absurd_order_members(0));
    records += order("P-texts", 3, absurd_order_members(2));
    for (int i = 0; i < 2000; ++i) {
        // The long texts go in three orders only: a packet holds at most 4 MiB.
        records += order("B-" + std::to_string(i), 1 + i % 2,
                         i % 7 == 0 ? absurd_order_members(i < 3 ? static_cast<size_t>(i) : 2 + i % 2)
                                    : R"("st":2,"ttp":1,"tt":)" + std::to_string(session_dt_ms + i * 60000LL) +
                                          R"(,"af":{"t":"Заказ )" + std::to_string(i) + R"("})");
    }
    // Members missing or of the wrong type: the store keeps none of these.
    for (const char* broken :
         {R"({"order":{}})", R"({"order":{"s-id":"W-1","l-type":1,"tt":"tomorrow"}})",
          R"({"order":{"s-id":"W-2","l-type":1,"af":[]}})", R"({"order":{"s-id":"W-3","l-type":1,"star":1.5}})",
          R"({"order":{"s-id":"W-5","l-type":1,"at":{}}})", R"({"order":"W-6"})",
          R"({"order":{"s-id":7,"l-type":1}})"}) {
        records += broken;
    }
    // A figure beyond any money is taken as absent: the order stays.
    records += R"({"order":{"s-id":"W-4","l-type":1,"msum":1e308}})";
    ASSERT_NO_FATAL_FAILURE(push(records));
    EXPECT_EQ(ctl().get_orders_1().size() + ctl().get_orders_2().size(), 2001u);
    ASSERT_TRUE(ctl().find_order(1, L"W-4"));
    EXPECT_FALSE(ctl().find_order(1, L"W-4")->msum);
    EXPECT_EQ(ctl().get_orders_3().size(), 4u);

    ASSERT_NO_FATAL_FAILURE(show(panel_orders_list::id, make_number_param(3)));
    // As many stars as the line holds, the rest marked; the time boxes count down, their figures held with a mark
    // at what the field holds in the smallest font.
    EXPECT_TRUE(shown(L"999999+"));
    EXPECT_TRUE(shown(L"-999999+"));
    expect_texts_in_window();
    EXPECT_EQ(golden("hostile_orders_list"), "");
    for (int mode : {1, 2}) {
        ASSERT_NO_FATAL_FAILURE(show(panel_orders_list::id, make_number_param(mode)));
        for (int step = 0; step < 20; ++step) {
            manager->panel_for(panel_orders_list::id)->on_key_down_arrow();
        }
        run();
        expect_texts_in_window();
    }

    // The take order panel: the price held at six digits, the distance at three and a decimal, on one line.
    ASSERT_NO_FATAL_FAILURE(show(panel_take_order::id, make_take_order_param(3, L"P-texts")));
    const auto texts = screen_texts();
    const auto price =
        std::find_if(texts.begin(), texts.end(), [](const drawn_text& t) { return t.text == L"999999"; });
    const auto distance =
        std::find_if(texts.begin(), texts.end(), [](const drawn_text& t) { return t.text == L"999.9"; });
    ASSERT_NE(price, texts.end());
    ASSERT_NE(distance, texts.end());
    const font_holder figure_font(static_cast<int>(45 * manager->get_scale()), 700);
    const int price_right = price->r.x + text_extent(window, figure_font, price->text).width;
    EXPECT_LT(price_right, distance->r.x) << "the price runs under the distance";
    EXPECT_EQ(golden("hostile_take_order"), "");
    ASSERT_NO_FATAL_FAILURE(show(panel_take_order::id, make_take_order_param(3, L"P-absurd")));
    expect_texts_in_window();

    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- the driver's card, the information menu and the rating

TEST_F(hostile_screen, TheDriversCardKeepsALongNameBesideThePhotoAndTheBalanceInItsLine) {
    const std::string name = repeat("Иванов Иван ", 10000 * 2); // 10,000 characters and more
    ASSERT_NO_FATAL_FAILURE(
        push(R"({"session-fix-param":{"sid":555,"driver-id":77,"account":)" + std::string(int64_max) +
             R"(,"driver-fio":")" + name + R"("}}{"session-param":{"balance":99999999.5,"callsign":")" + right_to_left +
             R"(","car-name":"Гранта","car-color":")" + combining + R"(","car-regnum":")" + long_word + R"("}})"));
    // A balance beyond any money is taken as absent: the balance before it stays.
    ASSERT_NO_FATAL_FAILURE(push(R"({"session-param":{"balance":1e308}})"));
    ASSERT_NO_FATAL_FAILURE(show(panel_balance::id));
    const auto texts = screen_texts();
    EXPECT_TRUE(shown(L"9999999.0"));
    EXPECT_FALSE(shown(L"inf"));
    // The name is cut to the lines beside the photo frame (the golden shows them), and the call sign's line
    // follows it above the car's description.
    const std::wstring car = L"Гранта " + utf8_to_wide(combining);
    const auto car_text = std::find_if(texts.begin(), texts.end(), [&](const drawn_text& t) { return t.text == car; });
    const std::wstring callsign_text = utf8_to_wide(right_to_left);
    const auto callsign = std::find_if(texts.begin(), texts.end(), [&](const drawn_text& t) {
        return !t.text.empty() && callsign_text.rfind(t.text, 0) == 0; // its first line
    });
    ASSERT_NE(car_text, texts.end());
    ASSERT_NE(callsign, texts.end());
    EXPECT_LE(callsign->r.y + callsign->r.h, car_text->r.y);
    EXPECT_EQ(golden("hostile_balance"), "");

    // Two ratings whose sum no 32-bit number holds, and a hundred more rates and values.
    std::string rates = R"({"riv":{"id":1,"v":2000000000}}{"riv":{"id":2,"v":2000000000}})";
    for (int i = 3; i < 103; ++i) {
        const std::string& text = hostile_texts[static_cast<size_t>(i) % hostile_texts.size()];
        rates += R"({"ref-rate":{"id":)" + std::to_string(i) + R"(,"n":")" + (i < 8 ? text : "Оценка") +
                 R"(","t":1,"max":)" + (i % 2 ? int32_max : int32_min) + R"(,"o":)" + std::to_string(i) +
                 R"(}}{"riv":{"id":)" + std::to_string(i) + R"(,"v":)" + (i % 2 ? int32_min : int32_max) + "}}";
    }
    ASSERT_NO_FATAL_FAILURE(push(rates));
    ASSERT_NO_FATAL_FAILURE(show(panel_my_info::id));
    // Saturated, then the hundred more: half of them the smallest 32-bit value, half the largest; the total fits
    // the icon in a smaller font.
    EXPECT_TRUE(shown(L"3999999950"));
    EXPECT_EQ(golden("hostile_my_info"), "");
    ASSERT_NO_FATAL_FAILURE(show(panel_my_rating::id));
    for (int step = 0; step < 30; ++step) {
        manager->panel_for(panel_my_rating::id)->on_key_down_arrow();
    }
    run();
    screen_texts();

    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- the shifts

TEST_F(hostile_screen, ThreeHundredShiftsWithAbsurdLengthsKeepTheirLengthsInTheirBoxes) {
    std::string records;
    const struct {
        const char* dur;
        const wchar_t* number;
        const wchar_t* unit;
    } lengths[] = {{int32_max, L"99999+", L"д"}, {int32_min, L"0", L"ч"}, {"2400", L"100", L"д"}, {"48", L"2", L"д"}};
    for (int i = 0; i < 300; ++i) {
        const std::string& text = hostile_texts[static_cast<size_t>(i) % hostile_texts.size()];
        records += R"({"shift":{"id":)" + std::to_string(i + 1) + R"(,"n":")" + (i < 10 ? text : "Смена") +
                   R"(","c":)" + (i % 3 ? "999999999.9" : "-999999999") + R"(,"dur":)" + lengths[i % 4].dur +
                   R"(,"status":)" + (i % 2 ? int32_max : "1") + R"(,"st-dt-str":")" + (i % 5 ? "99:99" : "x") +
                   R"(","st-dt":)" + (i % 2 ? int64_max : int64_min) + "}}";
        records += R"({"sell-shift":{"id-sell":)" + std::to_string(i + 1) + R"(,"id-shift":)" + std::to_string(i + 1) +
                   R"(,"st-dt":)" + (i % 2 ? int64_min : int64_max) + R"(,"status":)" + int32_min + "}}";
    }
    // A price beyond any money is taken as absent (the shift stays); the other three are refused.
    records += R"({"shift":{"id":999,"c":1e308}}{"shift":{"id":"x"}}{"shift":[]}{"sell-shift":{"st-dt":"x"}})";
    ASSERT_NO_FATAL_FAILURE(push(records));
    EXPECT_EQ(ctl().get_shifts().size(), 301u);
    ASSERT_TRUE(ctl().store().find_shift(999));
    EXPECT_FALSE(ctl().store().find_shift(999)->c);

    ASSERT_NO_FATAL_FAILURE(show(panel_shift_list::id));
    EXPECT_TRUE(shown(L"99999+"));
    EXPECT_FALSE(shown(L"89478485"));
    EXPECT_EQ(golden("hostile_shift_list"), "");
    for (int step = 0; step < 40; ++step) {
        manager->panel_for(panel_shift_list::id)->on_key_down_arrow();
    }
    run();
    expect_texts_in_window();

    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(lengths[i].dur);
        manager->pop_to_first_quiet();
        manager->push_panel(panel_shift_list::id);
        manager->push_panel(panel_take_shift::id, make_number_param(i + 1));
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_take_shift::id; }));
        run();
        const auto texts = screen_texts();
        EXPECT_TRUE(shown(lengths[i].number));
        EXPECT_TRUE(shown(lengths[i].unit));
    }

    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- the areas and their parkings

TEST_F(hostile_screen, FiveHundredAreasAndParkingsWithAbsurdCountsAndNamesListWhole) {
    std::string records;
    std::string children;
    for (int i = 0; i < 500; ++i) {
        const int parking = 1000 + i;
        const std::string& text = hostile_texts[static_cast<size_t>(i) % hostile_texts.size()];
        records += R"({"ref-area":{"id":)" + std::to_string(parking) + R"(,"n":")" + (i < 10 ? text : "Стоянка") +
                   R"(","t":1}})";
        records += R"({"nda":{"id":)" + std::to_string(parking) + R"(,"c":)" + (i % 2 ? int32_max : int32_min) + "}}";
        children += (children.empty() ? "" : ",") + std::to_string(parking);
    }
    for (int i = 0; i < 500; ++i) {
        const std::string& text = hostile_texts[static_cast<size_t>(i + 1) % hostile_texts.size()];
        records += R"({"ref-area":{"id":)" + std::to_string(2000 + i) + R"(,"n":")" + (i < 10 ? text : "Район") +
                   R"(","t":2,"cid":[)" + (i == 0 ? children : std::to_string(1000 + i)) + "]}}";
        records += R"({"nda":{"id":)" + std::to_string(2000 + i) + R"(,"c":)" + (i % 2 ? int32_min : int32_max) + "}}";
    }
    records += R"({"ref-area":{"id":"x"}}{"ref-area":{"id":1,"cid":["a"]}}{"nda":{"c":1.5}}{"ref-area":7})";
    records += R"({"session-param":{"area-id":2000,"area-queue":)" + std::string(int32_max) + "}}";
    ASSERT_NO_FATAL_FAILURE(push(records));

    ASSERT_NO_FATAL_FAILURE(show(area_list));
    for (int step = 0; step < 60; ++step) {
        manager->panel_for(area_list)->on_key_down_arrow();
    }
    run();
    expect_texts_in_window();
    ASSERT_NO_FATAL_FAILURE(show(panel_park_list::id, make_number_param(2000)));
    for (int step = 0; step < 60; ++step) {
        manager->panel_for(panel_park_list::id)->on_key_down_arrow();
    }
    run();
    expect_texts_in_window();

    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- messages

TEST_F(hostile_screen, AHundredMessagesOfHostileTextsAreEachShownAndRead) {
    std::string records;
    for (int i = 1; i <= 100; ++i) {
        const std::string& text = hostile_texts[static_cast<size_t>(i) % hostile_texts.size()];
        records += R"({"msg":{"id":)" + std::to_string(i) + R"(,"txt":")" + (i <= 10 ? text : "Сообщение") + R"("}})";
    }
    records += R"({"msg":{"id":"x","txt":"нет"}}{"msg":{"id":101,"txt":7}}{"msg":[]})";
    ASSERT_NO_FATAL_FAILURE(push(records));
    EXPECT_EQ(ctl().get_messages().size(), 100u);
    int read = 0;
    while (read < 100) {
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == dialog_panel && manager->lock_count() == 0; }))
            << read << " messages read";
        ASSERT_TRUE(tap_text(L"Ok"));
        ++read;
        ASSERT_TRUE(pump_until([&] { return ctl().get_messages().size() == static_cast<size_t>(100 - read); }));
    }
    ASSERT_TRUE(pump_until([&] { return current_panel_id() != dialog_panel; }));

    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- the session's clock and members

TEST_F(hostile_screen, ASessionClockAtTheEndsOfTimeLeavesEveryTimeBoxCounting) {
    std::string orders;
    for (const char* tt : {int64_max, int64_min, "0", "-1"}) {
        orders += order(std::string("T") + tt, 3, std::string(R"("st":2,"ttp":1,"tt":)") + tt);
    }
    ASSERT_NO_FATAL_FAILURE(push(orders));
    for (const auto& [dt, tzo] : {std::pair{int64_max, int64_max}, std::pair{int64_min, int64_min},
                                  std::pair{int64_max, int64_min}, std::pair{"0", "0"}}) {
        SCOPED_TRACE(std::string(dt) + " " + tzo);
        ASSERT_NO_FATAL_FAILURE(push(R"({"session-param":{"dt":)" + std::string(dt) + R"(,"tzo":)" + tzo +
                                     R"(,"driver-status":)" + int32_max + R"(,"area-queue":)" + int32_min + "}}"));
        ASSERT_NO_FATAL_FAILURE(show(menu_panel));
        screen_texts();
        ASSERT_NO_FATAL_FAILURE(show(panel_orders_list::id, make_number_param(3)));
        expect_texts_in_window();
        ASSERT_NO_FATAL_FAILURE(
            show(panel_take_order::id, make_take_order_param(3, std::wstring(L"T") + utf8_to_wide(dt))));
        screen_texts();
        advance(std::chrono::seconds(11)); // the preliminary-order check runs
    }
    ASSERT_NO_FATAL_FAILURE(
        push(R"({"session-param":{"dt":)" + std::to_string(session_dt_ms) + R"(,"tzo":10800000,"driver-status":0}})"));
    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

// --- members missing or of the wrong type, of every record

TEST_F(hostile_screen, RecordsWithMissingMembersOrWrongTypesAreSkippedWhileTheScreensRun) {
    const char* broken[] = {
        R"({"session-param":{"balance":"много"}})",
        R"({"session-param":{"dt":1.5,"tzo":"x"}})",
        R"({"session-param":[]})",
        R"({"session-fix-param":{"driver-fio":7}})",
        R"({"session-fix-param":{}})",
        R"({"currency":{"precision":null}})",
        R"({"currency":{"precision":1e999}})",
        R"({"ref-tariff":{"s-id":"T-15","pp":"дорого"}})",
        R"({"ref-tariff":{"s-id":"T-16","btax-dist":1e308,"btax-time":-1e308}})",
        R"({"ref-tariff":{}})",
        R"({"cars":{"freecars":[{"id":"x"}]}})",
        R"({"cars":{"freecars":{}}})",
        R"({"odel":{"l-type":"x","s-ids":[1]}})",
        R"({"odel":{}})",
        R"({"msg-del":{"ids":[-1,"x"]}})",
        R"({"shift-del":{"ids":{}}})",
        R"({"order-offer-cancel":[]})",
        R"({"order-offer-timeout":7})",
        R"({"cmd-result":{"cmd-name":7,"ok":"yes"}})",
        R"({"cmd-result":{}})",
        R"({"obj-update":{"man":"1"}})",
        R"({"reply-error":{"code":[]}})",
        R"({"adc":{"id":"x"}})",
        R"({"riv":{"v":1e308}})",
        R"({"unknown-record":{"x":1}})",
        R"([1,2,3])",
        R"("text")",
        R"({})",
    };
    for (int id : {menu_panel, panel_balance::id, panel_my_info::id, area_list}) {
        ASSERT_NO_FATAL_FAILURE(show(id));
        for (const char* record : broken) {
            SCOPED_TRACE(record);
            ASSERT_NO_FATAL_FAILURE(push(record));
            EXPECT_EQ(current_panel_id(), id);
        }
        screen_texts();
    }
    const auto session = ctl().get_session_param();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->balance, 150.5f);
    ASSERT_NO_FATAL_FAILURE(ordinary_order_round_trip());
}

} // namespace
} // namespace zel::form::test
