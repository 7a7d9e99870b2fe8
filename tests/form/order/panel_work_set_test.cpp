// The on-the-way (21) and waiting (22) screens on the program's own screens after a real login on the test
// dispatch server (tests/form/fixtures/onway.script): the timers from the status stamps, the action buttons'
// exact commands and where their success leads, orders that move the screens on untapped, "odel" by the
// session's parking area, the held order found again when it is re-sent, no current order at show, the call
// button, and the pictures of both screens in both shapes.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controller/controller.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/multiline_text.h"
#include "form/order/frame_icon_button.h"
#include "form/order/order_card.h"
#include "form/order/panel_work_card.h"
#include "gps/taximeter/taximeter.h"
#include "tests/form/order/offer_scene.h"

namespace zel::form::test {
namespace {

const platform::screen_size tall{480, 800, 192};
const platform::screen_size wide{800, 480, 96};

// An order of the driver's list 4 with its status and more members.
std::string order(const std::string& id, int status,
                  const std::string& more = R"("af":{"t":"Ленина 1","tx":"подъезд 2"})") {
    return R"({"order":{"s-id":")" + id + R"(","l-type":4,"s":)" + std::to_string(status) +
           (more.empty() ? "" : "," + more) + "}}";
}

std::string result(const std::string& name, bool ok = true) {
    return R"({"cmd-result":{"cmd-name":")" + name + R"(","ok":)" + (ok ? "1" : "0") + "}}";
}

struct onway_setup {
    std::string orders = order("O-1", 2);
    std::string area;                        // more session members
    std::string first = R"({"set-option":)"; // the command the server waits for
    std::string first_answer = "{}";
    int panel = 21;
    platform::screen_size screen = tall;
    std::string split = "off"; // how the server splits its answers: off, records-first, result-first
    int keepalive_ms = 0;      // the server's keep-alive period in real milliseconds; 0: none
};

class onway_scene : public offer_scene {
public:
    // Logs in and pushes the panel over the main menu, as the screen before it does.
    void open_onway(const onway_setup& setup) {
        screen_options options;
        options.screen = setup.screen;
        options.dispatch_script = "tests/form/fixtures/onway.script";
        options.values = {{"ORDERS", setup.orders},
                          {"AREA", setup.area},
                          {"FIRST", setup.first},
                          {"FIRST_ANSWER", setup.first_answer},
                          {"SPLIT", setup.split}};
        options.keepalive_ms = setup.keepalive_ms;
        open(options);
        ASSERT_NO_FATAL_FAILURE(log_in());
        manager->push_panel(setup.panel);
        run();
    }
    panel_work_card& panel(int id) {
        return static_cast<panel_work_card&>(*manager->panel_for(id));
    }
    // The server's moment: its answer to FIRST comes now.
    void server_moment() {
        const size_t before = listener.masks().size();
        cue();
        // The answer has reached the manager once the listener saw a mask after the cue.
        ASSERT_TRUE(pump_until(
            [&] { return !received_containing(R"({"set-option":)").empty() && listener.masks().size() > before; }));
        run();
    }
    bool stack_is(const std::vector<int>& ids) {
        return pump_until([&] { return stack_ids() == ids; }, std::chrono::seconds(5));
    }
};

// --- timers

TEST(onway_screen, TheTimerCountsFromTheScreensStatusStampAndIsZeroForAnotherOrder) {
    struct timer_case {
        const char* name;
        int panel;
        std::string orders;
        int seconds;
        const wchar_t* shown;
    };
    const timer_case cases[] = {
        {"on the way, 65 s", 21, order("O-1", 2), 65, L"0105"},
        {"waiting, 125 s", 22, order("O-1", 3), 125, L"0205"},
        {"on the way, 100 minutes", 21, order("O-1", 2), 6000, L"9999"},
        // The stamp is the other order's: it arrived with the status, the held one without.
        {"on the way, another order's stamp", 21, order("O-2", 2) + order("O-1", 4), 65, L"0000"},
        {"waiting, another order's stamp", 22, order("O-2", 3) + order("O-1", 7), 65, L"0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        onway_scene s;
        onway_setup setup;
        setup.panel = c.panel;
        setup.orders = c.orders;
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        ASSERT_EQ(s.current_panel_id(), c.panel);
        ASSERT_EQ(s.panel(c.panel).held_order()->s_id, L"O-1");
        EXPECT_EQ(s.panel(c.panel).card()->timer_text(), L"0000");
        s.advance(std::chrono::seconds(c.seconds));
        s.screen_texts();
        EXPECT_EQ(s.panel(c.panel).card()->painted_digits(), c.shown);
    }
}

// --- the action buttons

TEST(onway_screen, TheActionSendsItsExactCommandAndItsSuccessMovesOn) {
    struct action_case {
        const char* name;
        int panel;
        int status;
        const wchar_t* button;
        std::string command;
        std::string answer;
        std::vector<int> stack;
    };
    const action_case cases[] = {
        {"arrived", 21, 2, L"На месте", R"({"driver-arrive":{"s-oid":"O-1"}})", result("driver-arrive"), {22, 2}},
        {"arrived, refused",
         21,
         2,
         L"На месте",
         R"({"driver-arrive":{"s-oid":"O-1"}})",
         result("driver-arrive", false),
         {21, 2}},
        {"arrived, another command's result",
         21,
         2,
         L"На месте",
         R"({"driver-arrive":{"s-oid":"O-1"}})",
         result("set-driver"),
         {21, 2}},
        // The server moves the order on in the same packet: one switch all the same.
        {"arrived with the order at the address",
         21,
         2,
         L"На месте",
         R"({"driver-arrive":{"s-oid":"O-1"}})",
         order("O-1", 3) + result("driver-arrive"),
         {22, 2}},
        {"go", 22, 3, L"Поехали", R"({"execute-order":{"s-oid":"O-1"}})", result("execute-order"), {24, 2}},
        {"go, refused",
         22,
         3,
         L"Поехали",
         R"({"execute-order":{"s-oid":"O-1"}})",
         result("execute-order", false),
         {22, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        onway_scene s;
        onway_setup setup;
        setup.panel = c.panel;
        setup.orders = order("O-1", c.status);
        setup.first = c.command;
        setup.first_answer = c.answer;
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        s.screen_texts();
        ASSERT_TRUE(s.tap_text(c.button));
        EXPECT_TRUE(s.wait_received(c.command)) << s.dispatch_server->transcript();
        EXPECT_TRUE(s.stack_is(c.stack)) << testing::PrintToString(s.stack_ids());
        // A stack that stays as it was is reached before the answer: the answer is handled once the lock goes,
        // and it moves nothing more.
        EXPECT_TRUE(s.pump_until([&] { return s.manager->lock_count() == 0; }, std::chrono::seconds(5)));
        EXPECT_EQ(s.stack_ids(), c.stack);
        // The buttons that do nothing.
        if (s.current_panel_id() == c.panel) {
            const auto before = s.received().size();
            ASSERT_TRUE(s.tap_text(L"Отменить"));
            ASSERT_TRUE(s.tap_text(L"ТАЙМЕР"));
            s.run();
            EXPECT_EQ(s.received().size(), before);
            EXPECT_EQ(s.stack_ids(), c.stack);
        }
    }
}

// The ride's taximeter runs from the moment the ride panel opens, whichever of the order's status 8 and the
// result of "execute-order" the server sends first.
TEST(onway_screen, TheRidesTaximeterRunsWhenTheRidePanelOpensHoweverTheAnswerIsSplit) {
    for (const char* split : {"off", "records-first", "result-first"}) {
        SCOPED_TRACE(split);
        onway_scene s;
        onway_setup setup;
        setup.panel = 22;
        setup.orders = order("O-1", 3);
        setup.first = R"({"execute-order":{"s-oid":"O-1"}})";
        setup.first_answer = order("O-1", 8) + result("execute-order");
        setup.split = split;
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        ASSERT_TRUE(s.tap_text(L"Поехали"));
        bool running_at_open = false;
        ASSERT_TRUE(s.pump_until(
            [&] {
                if (s.current_panel_id() != 24) {
                    return false;
                }
                running_at_open = s.ctl().get_taximeter()->is_running();
                return true;
            },
            std::chrono::seconds(5)));
        EXPECT_TRUE(running_at_open);
        EXPECT_EQ(s.ctl().get_taximeter()->order_id(), L"O-1");
        EXPECT_TRUE(s.stack_is({24, 2})) << testing::PrintToString(s.stack_ids());
        EXPECT_TRUE(s.pump_until([&] { return s.manager->lock_count() == 0; }));
    }
}

// --- what the server sends

TEST(onway_screen, AnOrderAtTheNextStatusMovesOnUntapped) {
    struct move_case {
        int panel;
        int from;
        int to;
        std::vector<int> stack;
    };
    const move_case cases[] = {{21, 2, 3, {22, 2}}, {22, 3, 8, {24, 2}}, {21, 2, 4, {21, 2}}, {22, 3, 7, {22, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.panel << " at " << c.to);
        onway_scene s;
        onway_setup setup;
        setup.panel = c.panel;
        setup.orders = order("O-1", c.from);
        setup.first_answer = order("O-1", c.to);
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        ASSERT_NO_FATAL_FAILURE(s.server_moment());
        EXPECT_TRUE(s.stack_is(c.stack)) << testing::PrintToString(s.stack_ids());
    }
}

TEST(onway_screen, OdelLeavesByTheSessionsParkingAreaOnlyWhenNoOrderIsLeft) {
    struct odel_case {
        const char* name;
        int panel;
        std::string area;
        std::string removed;
        std::vector<int> stack;
    };
    const odel_case cases[] = {
        {"no area, 21", 21, "", "O-1", {9, 2}},
        {"area 0, 22", 22, R"(,"area-id":0)", "O-1", {9, 2}},
        {"area set, 21", 21, R"(,"area-id":5)", "O-1", {2}},
        {"area set, 22", 22, R"(,"area-id":5)", "O-1", {2}},
        {"another order removed", 21, "", "O-9", {21, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        onway_scene s;
        onway_setup setup;
        setup.panel = c.panel;
        setup.orders = order("O-1", c.panel == 21 ? 2 : 3);
        setup.area = c.area;
        setup.first_answer = R"({"odel":{"l-type":4,"s-ids":[")" + c.removed + R"("]}})";
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        ASSERT_NO_FATAL_FAILURE(s.server_moment());
        EXPECT_TRUE(s.stack_is(c.stack)) << testing::PrintToString(s.stack_ids());
    }
}

TEST(onway_screen, TheHeldOrderReSentWithANewAddressRefillsTheCard) {
    for (int id : {21, 22}) {
        SCOPED_TRACE(id);
        onway_scene s;
        onway_setup setup;
        setup.panel = id;
        setup.orders = order("O-1", id == 21 ? 2 : 3);
        setup.first_answer =
            order("O-1", id == 21 ? 2 : 3,
                  R"("af":{"t":"Мира 7","tx":"кафе"},"i":"Тихо","at":[{"t":"Аэропорт","tx":"B"}],"client-phone":"")");
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        const auto first = s.panel(id).held_order();
        EXPECT_EQ(s.panel(id).card()->block(1).lines(), std::vector<std::wstring>{L"Ленина 1 подъезд 2"});
        ASSERT_NO_FATAL_FAILURE(s.server_moment());
        ASSERT_EQ(s.current_panel_id(), id);
        EXPECT_NE(s.panel(id).held_order(), first);
        EXPECT_EQ(s.panel(id).card()->block(1).lines(), std::vector<std::wstring>{L"Мира 7 кафе"});
        EXPECT_EQ(s.panel(id).card()->block(2).lines(), std::vector<std::wstring>{L"Тихо"});
        EXPECT_EQ(s.panel(id).card()->block(3).lines(), std::vector<std::wstring>{L"Аэропорт B"});
        // The first copy is unchanged: the store wrote a new one.
        EXPECT_EQ(first->af.t, L"Ленина 1");
    }
}

TEST(onway_screen, WithNoCurrentOrderAtShowOnTheWayKeepsAnEmptyCardAndWaitingGoesBack) {
    onway_scene s;
    onway_setup setup;
    setup.orders = "";
    ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
    EXPECT_EQ(s.current_panel_id(), 21);
    EXPECT_EQ(s.panel(21).tick_timer(), -1);
    EXPECT_TRUE(s.panel(21).card()->block(1).lines().empty());
    s.advance(std::chrono::seconds(3));
    // Never ticked: the empty text is drawn, and kept, as 9999.
    EXPECT_EQ(s.panel(21).card()->timer_text(), L"9999");
    // "На месте" without an order sends nothing.
    ASSERT_TRUE(s.tap_text(L"На месте"));
    EXPECT_EQ(s.manager->lock_count(), 0);

    s.manager->push_panel(22);
    EXPECT_TRUE(s.stack_is({21, 2}));
}

TEST(onway_screen, TheCallButtonShowsForAClientsTelephoneAndATapPlacesNoCallHere) {
    for (const auto& screen : {tall, wide}) {
        onway_scene s;
        onway_setup setup;
        setup.panel = 22;
        setup.screen = screen;
        setup.orders = order("O-1", 3, R"("af":{"t":"Ленина 1"},"client-phone":"+79001234567")");
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        order_card& card = *s.panel(22).card();
        EXPECT_TRUE(card.call_button().is_visible());
        s.screen_texts();
        EXPECT_EQ(card.painted_digits(), L"");
        ASSERT_TRUE(s.tap_text(L"Позвонить клиенту"));
        EXPECT_EQ(s.current_panel_id(), 22);
        EXPECT_TRUE(s.received_containing("79001234567").empty());
    }
}

// --- pictures

TEST(onway_screen, Pictures) {
    struct picture_case {
        const char* name;
        int panel;
        platform::screen_size screen;
    };
    const picture_case cases[] = {
        {"onway_21", 21, tall}, {"onway_21_hor", 21, wide}, {"onway_22", 22, tall}, {"onway_22_hor", 22, wide}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        onway_scene s;
        onway_setup setup;
        setup.panel = c.panel;
        setup.screen = c.screen;
        setup.orders = order(
            "O-1", c.panel == 21 ? 2 : 3,
            R"("af":{"t":"Ленина 1","tx":"подъезд 2"},"i":"Детское кресло","at":[{"t":"Мира 7","tx":""}],"cc":2,"sms":1,"tt":)" +
                std::to_string(session_dt_ms + 30 * 60 * 1000) + R"(,"ttp":1)");
        // A minute of the stepped clock with the link kept alive, as a real server keeps it: a single step of
        // 65 s would leave the link silent past its limit, and the strip's connection icon would show whether
        // the listener looked before the picture was taken.
        setup.keepalive_ms = 20;
        ASSERT_NO_FATAL_FAILURE(s.open_onway(setup));
        for (int second = 0; second < 65; ++second) {
            s.advance(std::chrono::seconds(1));
        }
        EXPECT_EQ(s.golden(c.name), "");
    }
}

} // namespace
} // namespace zel::form::test
