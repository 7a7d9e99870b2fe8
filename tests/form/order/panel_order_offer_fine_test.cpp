// The offer's flows and notices on the program's own screens against the test dispatch server: accepting,
// refusing (plainly, or through the fine warning and the fined-refusal notice), going back from the warning, the
// timeout and cancel notices, the fine boxes and the warning's countdown, and the notices' pictures.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command/received/order.h"
#include "form/controls/frame_text_button.h"
#include "form/order/caption_value_box.h"
#include "form/order/offer_take_button.h"
#include "tests/form/order/offer_scene.h"

namespace zel::form::test {
namespace {

class offer_flow_screen : public ::testing::Test, public offer_scene {};

// --- flows

TEST_F(offer_flow_screen, AcceptingSendsTheOffersIdAndReturnsToThePanelBelow) {
    open_offer("offer_accept.script", offer_record{});
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, 2}));
    EXPECT_EQ(sound_count(3), 1);
    // Another screen between the offer and the first panel: the accepted offer returns to it.
    manager->push_panel(5);
    manager->raise_panel(30, make_text_param(L"O-1"));
    run();
    ASSERT_EQ(stack_ids(), (std::vector<int>{30, 5, 2}));
    tap(*offer_panel().take_button());
    ASSERT_TRUE(pump_until([&] { return stack_ids() == std::vector<int>{5, 2}; })) << dispatch_server->transcript();
    EXPECT_EQ(manager->lock_count(), 0);
    // The accepted order is the driver's current one, on the way.
    const auto order = ctl().get_current_order();
    ASSERT_TRUE(order);
    EXPECT_EQ(utf8(order->s_id), "O-1");
    EXPECT_EQ(order->s.value_or(0), 2);
    EXPECT_EQ(received_containing("order-offer-").size(), 1u);
}

TEST_F(offer_flow_screen, AnOfferWithoutAFineIsRefusedAtOnceAndTheStackGoesDownToTheFirstPanel) {
    open_offer("offer_reject.script", offer_record{});
    // Another screen between the offer and the first panel.
    manager->push_panel(5);
    manager->raise_panel(30, make_text_param(L"O-1"));
    run();
    ASSERT_EQ(stack_ids(), (std::vector<int>{30, 5, 2}));
    tap(*offer_panel().reject_button());
    ASSERT_TRUE(pump_until([&] { return stack_ids() == std::vector<int>{2}; })) << dispatch_server->transcript();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(received_containing("order-offer-").size(), 1u);
}

TEST_F(offer_flow_screen, AFinedRefusalGoesThroughTheWarningToTheFinedRefusalNotice) {
    offer_record offer;
    offer.fineable = true;
    open_offer("offer_reject.script", offer);
    tap(*offer_panel().reject_button());
    EXPECT_EQ(stack_ids(), (std::vector<int>{34, 30, 2}));
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_TRUE(received_containing("order-offer-").empty()); // the warning comes first, nothing is sent

    tap(*fine_warning().reject_button());
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 33; })) << dispatch_server->transcript();
    EXPECT_EQ(stack_ids(), (std::vector<int>{33, 34, 30, 2}));
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(shown(L"ЗА ОТКАЗ ОТ ЗАКАЗА").size(), 1u);

    ASSERT_TRUE(tap_text(L"Прочитал"));
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_EQ(received_containing("order-offer-").size(), 1u);
}

TEST_F(offer_flow_screen, BackOnTheWarningShowsTheOfferAfreshAndSendsNothing) {
    offer_record offer;
    offer.fineable = true;
    offer.seconds_left = 60;
    open_offer("offer_push.script", offer);
    tap(*offer_panel().reject_button());
    ASSERT_EQ(current_panel_id(), 34);
    EXPECT_EQ(utf8(fine_warning().back_button()->time_text()), "01:00");
    // "Назад" on the left, "Отказаться" on the right, where the offer has "Взять заказ".
    EXPECT_LT(fine_warning().back_button()->get_rect().x, fine_warning().reject_button()->get_rect().x);
    EXPECT_EQ(shown(L"Назад").size(), 1u);
    advance(std::chrono::seconds(2));

    ASSERT_TRUE(tap_text(L"Назад"));
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, 2}));
    EXPECT_EQ(current_panel_id(), 30);
    EXPECT_EQ(sound_count(3), 2);
    EXPECT_EQ(utf8(offer_panel().take_button()->time_text()), "00:58");
    EXPECT_NE(offer_panel().refresh_timer(), -1);
    EXPECT_TRUE(received_containing("order-offer-").empty());
}

// The server's news while the offer or the warning is shown: each notice goes on top, both in one packet
// push 31 and then 32; "Прочитал" clears the stack down to the first panel.
TEST(offer_news, TimeoutAndCancelOpenTheirNotices) {
    struct news_case {
        const char* name;
        std::string next;
        bool on_warning;
        std::vector<int> stack;
    };
    const std::string timeout = R"({"order-offer-timeout":{"s-order-id":"O-1"}})";
    const std::string cancel = R"({"order-offer-cancel":{"s-order-id":"O-1"}})";
    const news_case cases[] = {
        {"timeout", timeout, false, {31, 30, 2}},
        {"cancel", cancel, false, {32, 30, 2}},
        {"both in one packet", timeout + cancel, false, {32, 31, 30, 2}},
        {"timeout over the warning", timeout, true, {31, 34, 30, 2}},
        {"cancel over the warning", cancel, true, {32, 34, 30, 2}},
        {"both over the warning", timeout + cancel, true, {32, 31, 34, 30, 2}},
    };
    for (const news_case& c : cases) {
        SCOPED_TRACE(c.name);
        offer_scene scene;
        offer_record offer;
        offer.fineable = true;
        scene.open_offer("offer_news.script", offer, {{"NEXT", c.next}});
        if (c.on_warning) {
            scene.tap(*scene.offer_panel().reject_button());
            ASSERT_EQ(scene.current_panel_id(), 34);
        }
        scene.cue();
        ASSERT_TRUE(scene.pump_until([&] { return scene.current_panel_id() == c.stack.front(); }))
            << scene.dispatch_server->transcript();
        scene.run();
        EXPECT_EQ(scene.stack_ids(), c.stack);
        EXPECT_EQ(scene.shown(c.stack.front() == 31 ? L"ЗАКАЗ НЕ ВЗЯТ ВОВРЕМЯ" : L"ВЫ НЕ УСПЕЛИ ВЗЯТЬ ЗАКАЗ").size(),
                  1u);
        ASSERT_TRUE(scene.tap_text(L"Прочитал"));
        EXPECT_EQ(scene.stack_ids(), std::vector<int>{2});
        EXPECT_TRUE(scene.received_containing("order-offer-").empty());
    }
}

// --- the fine boxes and the warning's countdown

TEST(offer_fine_boxes, EachBoxShowsItsFineOrNothing) {
    struct box_case {
        bool fineable;
        int fine_rating;
        const char* fine_sum;
        const wchar_t* rating; // nullptr: hidden
        const wchar_t* roubles;
    };
    const box_case cases[] = {
        {true, 5, "150.0", L"-5", L"-150"}, {true, 0, "150.0", nullptr, L"-150"},
        {true, 5, "99.9", L"-5", L"-99"}, // truncated, not rounded
        {true, 5, "0", L"-5", nullptr},     {false, 5, "150.0", nullptr, nullptr},
    };
    for (const box_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fine_rating) + " " + c.fine_sum + (c.fineable ? " fineable" : ""));
        offer_scene scene;
        offer_record offer;
        offer.fineable = c.fineable;
        offer.fine_rating = c.fine_rating;
        offer.fine_sum = c.fine_sum;
        scene.open_offer("offer_push.script", offer);
        for (int id : {31, 33, 34}) {
            SCOPED_TRACE(id);
            scene.manager->push_panel(id);
            scene.run();
            ASSERT_EQ(scene.current_panel_id(), id);
            caption_value_box* rating = id == 31   ? scene.timeout_notice().rating_box()
                                        : id == 33 ? scene.final_notice().rating_box()
                                                   : scene.fine_warning().rating_box();
            caption_value_box* roubles = id == 31   ? scene.timeout_notice().roubles_box()
                                         : id == 33 ? scene.final_notice().roubles_box()
                                                    : scene.fine_warning().roubles_box();
            scene.screen_texts();
            EXPECT_EQ(rating->is_visible(), c.rating != nullptr);
            EXPECT_EQ(scene.find_texts(L"РЕЙТИНГ").size(), c.rating ? 1u : 0u);
            if (c.rating) {
                EXPECT_EQ(utf8(rating->value()), utf8(c.rating));
                // The warning's refuse button carries the same rating on its badge.
                EXPECT_EQ(scene.find_texts(c.rating).size(), id == 34 ? 2u : 1u);
            }
            EXPECT_EQ(roubles->is_visible(), c.roubles != nullptr);
            EXPECT_EQ(scene.find_texts(L"РУБЛЕЙ").size(), c.roubles ? 1u : 0u);
            if (c.roubles) {
                EXPECT_EQ(utf8(roubles->value()), utf8(c.roubles));
            }
            scene.manager->pop_panel();
            scene.run();
        }
    }
}

TEST_F(offer_flow_screen, TheWarningsCountdownReadsZeroAfterTheDeadline) {
    offer_record offer;
    offer.fineable = true;
    offer.seconds_left = 2;
    open_offer("offer_push.script", offer);
    tap(*offer_panel().reject_button());
    ASSERT_EQ(current_panel_id(), 34);
    const offer_take_button& back = *fine_warning().back_button();
    EXPECT_EQ(utf8(back.time_text()), "00:02");
    advance(std::chrono::seconds(1));
    EXPECT_EQ(utf8(back.time_text()), "00:01");
    for (int i = 0; i < 4; ++i) {
        advance(std::chrono::seconds(1));
    }
    EXPECT_EQ(utf8(back.time_text()), "00:00");
    EXPECT_EQ(shown(L"00:00").size(), 1u);
    // Both buttons show their ratings on the warning.
    EXPECT_TRUE(back.active());
    EXPECT_TRUE(fine_warning().reject_button()->active());
    EXPECT_EQ(find_texts(L"+3").size(), 1u);
    EXPECT_EQ(find_texts(L"-5").size(), 2u); // the refuse button's badge and the rating box
}

TEST_F(offer_flow_screen, ARefusalThatFailsLeavesTheWarningCountingDown) {
    offer_record offer;
    offer.fineable = true;
    offer.seconds_left = 30;
    open_offer("offer_news.script", offer, {{"NEXT", R"({"cmd-result":{"cmd-name":"order-offer-reject","ok":0}})"}});
    tap(*offer_panel().reject_button());
    ASSERT_EQ(current_panel_id(), 34);
    // The failed result comes whichever request it answers here.
    manager->lock();
    cue();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; })) << dispatch_server->transcript();
    EXPECT_EQ(stack_ids(), (std::vector<int>{34, 30, 2}));
    advance(std::chrono::seconds(1));
    EXPECT_EQ(utf8(fine_warning().back_button()->time_text()), "00:29");
}

// --- pictures

TEST_F(offer_flow_screen, NoticePictures) {
    offer_record offer;
    offer.fineable = true;
    offer.seconds_left = 65;
    open_offer("offer_push.script", offer);
    tap(*offer_panel().reject_button());
    ASSERT_EQ(current_panel_id(), 34);
    EXPECT_EQ(golden("offer_fine_warning"), "");
    const struct {
        int id;
        const char* name;
    } notices[] = {{31, "offer_timeout"}, {32, "offer_cancel"}, {33, "offer_final_rejection"}};
    for (const auto& n : notices) {
        SCOPED_TRACE(n.name);
        manager->push_panel(n.id);
        run();
        ASSERT_EQ(current_panel_id(), n.id);
        EXPECT_EQ(golden(n.name), "");
        manager->pop_panel();
        run();
    }
}

} // namespace
} // namespace zel::form::test
