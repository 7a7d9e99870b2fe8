// The order offer (panel 30) on the program's own screens, offered by the test dispatch server after a real
// login: the countdown, the corner badges, the offer's text, the offer the buttons answer when a newer one
// replaced it, an offer of an order that is the driver's without an accept of it taken, the one offer panel for
// two offers, the scrolling text, back and Enter, what the real font draws clear of the badge and the scroll
// buttons, and its pictures.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/controls/image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/order/offer_take_button.h"
#include "form/shell/dialog_request.h"
#include "platform/headless.h"
#include "tests/form/order/offer_scene.h"
#include "tests/support/golden.h"

namespace zel::form::test {
namespace {

constexpr std::uint32_t white = 0xFFFFFF;

class offer_panel_screen : public ::testing::Test, public offer_scene {};

// --- countdown

TEST(offer_countdown, TheTakeButtonCountsDownToTheDeadlineOnTheServersClock) {
    struct countdown_case {
        int64_t seconds_left;
        const wchar_t* shown;
    };
    // Minutes are not capped; a deadline that passed before the offer was shown reads 00:00, its text drawn all
    // the same.
    const countdown_case cases[] = {{125, L"02:05"}, {5, L"00:05"}, {3725, L"62:05"}, {-10, L"00:00"}};
    for (const countdown_case& c : cases) {
        SCOPED_TRACE(c.seconds_left);
        offer_scene scene;
        offer_record offer;
        offer.seconds_left = c.seconds_left;
        scene.open_offer("offer_push.script", offer);
        EXPECT_EQ(utf8(scene.offer_panel().take_button()->time_text()), utf8(c.shown));
        EXPECT_EQ(scene.shown(c.shown).size(), 1u);
        EXPECT_EQ(scene.shown(L"Ленина 1").size(), 1u);
        EXPECT_EQ(scene.shown(L"НАЗНАЧЕН ЗАКАЗ").size(), 1u);
    }
}

TEST_F(offer_panel_screen, TheCountdownStepsEachSecondAndStopsAtZeroWhileTheTextStays) {
    offer_record offer;
    offer.seconds_left = 3;
    open_offer("offer_push.script", offer);
    const offer_take_button& take = *offer_panel().take_button();
    EXPECT_EQ(utf8(take.time_text()), "00:03");
    advance(std::chrono::seconds(1));
    EXPECT_EQ(utf8(take.time_text()), "00:02");
    advance(std::chrono::seconds(2));
    EXPECT_EQ(utf8(take.time_text()), "00:00");
    for (int i = 0; i < 3; ++i) {
        advance(std::chrono::seconds(1));
    }
    EXPECT_EQ(utf8(take.time_text()), "00:00");
    EXPECT_EQ(shown(L"Ленина 1").size(), 1u);
    EXPECT_EQ(current_panel_id(), 30);
}

// --- badges

TEST(offer_badges, EachCornerBadgeFollowsItsField) {
    struct badge_case {
        const char* order;
        bool cashless, trade, option, osid5;
    };
    const badge_case cases[] = {
        {R"("af":{"t":"Ленина 1"})", false, false, false, false},
        {R"("of":32)", false, false, true, false},
        {R"("of":33)", false, false, true, false},
        {R"("of":16)", false, false, false, false},
        {R"("trade":1)", false, true, false, false},
        {R"("trade":0)", false, false, false, false},
        {R"("trade":1,"osid":5)", false, false, false, true},
        {R"("osid":4)", false, false, false, false},
        {R"("icl":1)", true, false, false, false},
        {R"("icl":2)", false, false, false, false},
        {R"("icl":1,"trade":1,"of":32)", true, true, true, false},
    };
    for (const badge_case& c : cases) {
        SCOPED_TRACE(c.order);
        offer_scene scene;
        offer_record offer;
        offer.order = c.order;
        scene.open_offer("offer_push.script", offer);
        const panel_order_offer& panel = scene.offer_panel();
        EXPECT_EQ(panel.badge_control(panel_order_offer::cashless)->is_visible(), c.cashless);
        EXPECT_EQ(panel.badge_control(panel_order_offer::trade)->is_visible(), c.trade);
        EXPECT_EQ(panel.badge_control(panel_order_offer::option)->is_visible(), c.option);
        EXPECT_EQ(panel.badge_control(panel_order_offer::osid5)->is_visible(), c.osid5);
    }
}

// --- texts

TEST_F(offer_panel_screen, TheOfferReadsAddressNoteInformationPriceDistanceAndDestinations) {
    offer_record offer;
    offer.order = R"("af":{"t":"Ленина 1","tx":"подъезд 2"},"i":"Багаж","msum":350.7,"dist-to-driver":2360,)"
                  R"("at":[{"t":"Мира 5"},{"t":"Парк","tx":"вход"}])";
    open_offer("offer_push.script", offer);
    screen_texts();
    const rect view = offer_panel().text_view()->get_rect();

    auto one = [&](const std::wstring& text, std::uint32_t colour) {
        const auto found = find_texts(text);
        EXPECT_EQ(found.size(), 1u) << utf8(text);
        if (found.empty()) {
            return rect{};
        }
        EXPECT_EQ(found[0].colour, colour) << utf8(text);
        return found[0].r;
    };
    one(L"НАЗНАЧЕН ЗАКАЗ", 0xFFD430);
    const rect address = one(L"Ленина 1", white);
    const rect note = one(L"подъезд 2", white);
    const rect information = one(L"Багаж", 0xCFD3D3);
    const rect price = one(L"350", 0xFFC300);
    const rect rouble = one(L" р.", 0xFFC300);
    const rect figure = one(L"2.4", 0x329B05);
    const rect km = one(L" км.", 0x329B05);
    const rect destinations = one(L"Мира 5, Парк (вход)", white);

    // One line under the other, the price's line below the information, the destinations below the separator.
    EXPECT_EQ(address.y, view.y);
    EXPECT_GT(note.y, address.y);
    EXPECT_GT(information.y, note.y);
    EXPECT_GT(price.y, information.y);
    EXPECT_GT(destinations.y, price.y);
    // The unit right after the price, lowered; the distance at the view's right edge, its figure before " км.".
    EXPECT_EQ(price.x, view.x);
    EXPECT_EQ(rouble.x, view.x + 3 * 22); // three digits of the 45-pixel box font
    EXPECT_GT(rouble.y, price.y);
    EXPECT_EQ(km.x + km.w, view.x + view.w);
    EXPECT_EQ(figure.x + figure.w, km.x);
    EXPECT_EQ(figure.y, price.y);

    // Not fineable: the buttons carry their ratings but show no badge.
    EXPECT_EQ(utf8(offer_panel().take_button()->badge_text()), "+3");
    EXPECT_EQ(utf8(offer_panel().reject_button()->badge_text()), "-5");
    EXPECT_FALSE(offer_panel().take_button()->active());
    EXPECT_FALSE(offer_panel().reject_button()->active());
    EXPECT_TRUE(find_texts(L"+3").empty());
    EXPECT_TRUE(find_texts(L"-5").empty());
}

TEST(offer_texts, RowsThatAreMissingLeaveNoGap) {
    struct text_case {
        const char* order;
        std::vector<const wchar_t*> shown;
        std::vector<const wchar_t*> absent;
    };
    const text_case cases[] = {
        // No price: no " р.", the distance sets the line; 150 m reads 0.2.
        {R"("af":{"t":"Ленина 1"},"dist-to-driver":150)", {L"0.2", L" км."}, {L" р."}},
        {R"("af":{"t":"Ленина 1"},"msum":0,"dist-to-driver":2360)", {L"2.4"}, {L"0", L" р."}},
        {R"("af":{"t":"Ленина 1"},"msum":99)", {L"99", L" р."}, {L" км."}},
        {R"("af":{"t":"Ленина 1"},"at":[{"t":"Мира 5","tx":"дом"}])", {L"Мира 5 (дом)"}, {L" р.", L" км."}},
        // A distance that came is shown, 0 included (the take order panel shows only one above 0).
        {R"("af":{"t":"Ленина 1"},"dist-to-driver":0)", {L"0.0", L" км."}, {L" р."}},
    };
    for (const text_case& c : cases) {
        SCOPED_TRACE(c.order);
        offer_scene scene;
        offer_record offer;
        offer.order = c.order;
        scene.open_offer("offer_push.script", offer);
        scene.screen_texts();
        for (const wchar_t* text : c.shown) {
            EXPECT_EQ(scene.find_texts(text).size(), 1u) << utf8(text);
        }
        for (const wchar_t* text : c.absent) {
            EXPECT_TRUE(scene.find_texts(text).empty()) << utf8(text);
        }
    }
}

TEST_F(offer_panel_screen, AnAddressWithoutANoteHasTheInformationRightBelowIt) {
    offer_record offer;
    offer.order = R"("af":{"t":"Ленина 1"},"i":"Багаж")";
    open_offer("offer_push.script", offer);
    const auto address = shown(L"Ленина 1");
    const auto information = find_texts(L"Багаж");
    ASSERT_EQ(address.size(), 1u);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_EQ(information[0].r.y, address[0].r.y + 40); // one line of the 40-pixel font
}

// --- the offer the buttons answer

// Between the store taking a newer offer and the screens hearing of it, the buttons answer the offer drawn: the
// one before it until a fill drew the newer one (the one-second tick here), the newer one after.
TEST(offer_answers, TheButtonsAnswerTheOfferOnTheScreen) {
    enum class tap { take, refuse, refuse_on_warning };
    struct answer_case {
        tap button;
        bool tick;
        const char* sent;
    };
    const answer_case cases[] = {
        {tap::take, true, R"({"order-offer-accept":{"s-order-id":"O-2"}})"},
        {tap::take, false, R"({"order-offer-accept":{"s-order-id":"O-1"}})"},
        {tap::refuse, true, R"({"order-offer-reject":{"s-order-id":"O-2"}})"},
        {tap::refuse, false, R"({"order-offer-reject":{"s-order-id":"O-1"}})"},
        {tap::refuse_on_warning, true, R"({"order-offer-reject":{"s-order-id":"O-2"}})"},
        {tap::refuse_on_warning, false, R"({"order-offer-reject":{"s-order-id":"O-1"}})"},
    };
    for (const answer_case& c : cases) {
        SCOPED_TRACE(c.sent);
        SCOPED_TRACE(c.tick ? "after a tick" : "before a tick");
        offer_scene scene;
        const bool warning = c.button == tap::refuse_on_warning;
        offer_record first;
        first.fineable = warning;
        offer_record second = first;
        second.id = "O-2";
        second.order = R"("af":{"t":"Мира 5"})";
        scene.open_offer("offer_news.script", first, {{"NEXT", offer_packet(second)}});
        if (warning) {
            scene.tap(*scene.offer_panel().reject_button());
            ASSERT_EQ(scene.current_panel_id(), 34);
        }
        // The newer offer reaches the store; the screens do not hear of it.
        scene.listener.forward_to(nullptr);
        scene.cue();
        ASSERT_FALSE(scene.listener.wait_for(L"order-offer", 2).empty());
        if (c.tick) {
            scene.advance(std::chrono::seconds(1));
        }
        if (!warning) {
            EXPECT_EQ(scene.shown(L"Мира 5").size(), c.tick ? 1u : 0u);
            EXPECT_EQ(scene.shown(L"Ленина 1").size(), c.tick ? 0u : 1u);
        }
        const control& button = c.button == tap::take ? *scene.offer_panel().take_button()
                                : c.button == tap::refuse
                                    ? static_cast<const control&>(*scene.offer_panel().reject_button())
                                    : *scene.fine_warning().reject_button();
        scene.tap(button);
        EXPECT_TRUE(scene.wait_received(c.sent)) << scene.dispatch_server->transcript();
        EXPECT_EQ(scene.received_containing("order-offer-").size(), 1u);
    }
}

// --- an offer of the driver's own order

// The offer leaves on the order listed as the driver's only after an accept whose answer the link took (the
// link-drop tests): an order that was the driver's before it was offered, or that became the driver's after a
// refused accept, keeps the offer until the server's news, here its timeout, whose notice then shows. A refused
// accept holds no lock of the offer's any more: a lock taken meanwhile (the test's, standing for any other
// request on its way) stays held.
TEST(offer_own_order, AnOfferOfTheDriversOwnOrderStaysUntilTheServerEndsIt) {
    const std::string own = R"({"order":{"s-id":"O-1","l-type":4,"s":2,"af":{"t":"Ленина, 1"}}})";
    const std::string timeout = R"({"order-offer-timeout":{"s-order-id":"O-1"}})";
    struct own_case {
        const char* name;
        std::string login_orders;
        bool refused_accept;
        std::string next;
    };
    const own_case cases[] = {
        {"the driver's before the offer", own, false, timeout},
        {"listed after a refused accept", "", true, own + timeout},
    };
    for (const own_case& c : cases) {
        SCOPED_TRACE(c.name);
        offer_scene scene;
        ASSERT_NO_FATAL_FAILURE(
            scene.open_offer("offer_own_order.script", offer_record{}, {{"OWN", c.login_orders}, {"NEXT", c.next}}));
        int held = 0;
        if (c.refused_accept) {
            scene.tap(*scene.offer_panel().take_button());
            ASSERT_TRUE(scene.pump_until([&] {
                return scene.listener.results(L"order-offer-accept") == 1 && scene.manager->lock_count() == 0;
            })) << scene.dispatch_server->transcript();
            scene.manager->lock();
            held = 1;
        }
        scene.advance(std::chrono::seconds(2));
        EXPECT_EQ(scene.stack_ids(), (std::vector<int>{30, 2}));
        scene.cue();
        ASSERT_TRUE(scene.pump_until([&] { return scene.current_panel_id() != 30; }))
            << scene.dispatch_server->transcript();
        scene.run();
        EXPECT_EQ(scene.stack_ids(), (std::vector<int>{31, 30, 2}));
        EXPECT_EQ(scene.manager->lock_count(), held);
        EXPECT_EQ(scene.received_containing("order-offer-").size(), c.refused_accept ? 1u : 0u);
        ASSERT_NE(scene.ctl().get_current_order(), nullptr);
        EXPECT_EQ(scene.ctl().get_current_order()->s_id, L"O-1");
        scene.manager->unlock();
        scene.run();
    }
}

// --- one offer panel

TEST(offer_one_panel, ANewerOfferTakesTheOnePanelToTheTopAndShowsItAfresh) {
    struct one_panel_case {
        const char* name;
        // What lies over the offer when the newer one comes, and the stack after it.
        int over;
        std::vector<int> after;
    };
    const one_panel_case cases[] = {
        {"the offer on top", 0, {30, 2}},
        {"the fine warning over it", 34, {30, 2}},
        {"the timeout notice over it", 31, {30, 2}},
        // A message keeps its place, below the offer.
        {"a message over it", manager_2::dialog_id, {30, manager_2::dialog_id, 2}},
    };
    for (const one_panel_case& c : cases) {
        SCOPED_TRACE(c.name);
        offer_scene scene;
        offer_record first;
        first.fineable = true;
        offer_record second = first;
        second.id = "O-2";
        second.seconds_left = 60;
        second.order = R"("af":{"t":"Мира 5"})";
        scene.open_offer("offer_news.script", first, {{"NEXT", offer_packet(second)}});
        if (c.over == 34) {
            scene.tap(*scene.offer_panel().reject_button());
        } else if (c.over == manager_2::dialog_id) {
            scene.manager->push_panel(manager_2::dialog_id,
                                      std::make_shared<dialog_request>(dialog_request::message, L"Текст", [](int) {}));
        } else if (c.over != 0) {
            scene.manager->push_panel(c.over);
        }
        scene.run();
        ASSERT_EQ(scene.current_panel_id(), c.over == 0 ? 30 : c.over);
        const int offer_sounds = scene.sound_count(3);

        scene.cue();
        ASSERT_TRUE(scene.pump_until([&] {
            const auto& shown = scene.offer_panel().shown_offer();
            return scene.current_panel_id() == 30 && shown && shown->s_order_id == L"O-2";
        })) << scene.dispatch_server->transcript();
        EXPECT_EQ(scene.stack_ids(), c.after);
        const auto* id = param_as<text_param>(scene.manager->top_panel().param.get());
        ASSERT_NE(id, nullptr);
        EXPECT_EQ(utf8(id->value), "O-2");
        // Shown as a fresh show shows it: the sound, the newer text and its deadline.
        EXPECT_EQ(scene.sound_count(3), offer_sounds + 1);
        EXPECT_EQ(scene.shown(L"Мира 5").size(), 1u);
        EXPECT_EQ(utf8(scene.offer_panel().take_button()->time_text()), "01:00");
    }
}

// --- scrolling, back and Enter

TEST_F(offer_panel_screen, TheScrollButtonsAndKeysMoveTheTextNoFurtherThanItsEnds) {
    offer_record offer;
    std::string points;
    for (int i = 1; i <= 12; ++i) {
        points += (points.empty() ? "" : ",") + std::string(R"({"t":"Улица )") + std::to_string(i) + R"("})";
    }
    offer.order = R"("af":{"t":"Ленина 1","tx":"подъезд 2"},"i":"Багаж","msum":350,"at":[)" + points + "]";
    open_offer("offer_push.script", offer);
    panel_order_offer& panel = offer_panel();
    const scroll_view& view = *panel.text_view();
    ASSERT_GT(view.content_height(), view.get_rect().h);
    EXPECT_FALSE(panel.scroll_up_button()->is_visible());
    ASSERT_TRUE(panel.scroll_down_button()->is_visible());

    tap(*panel.scroll_down_button());
    EXPECT_EQ(view.offset(), -40);
    EXPECT_TRUE(panel.scroll_up_button()->is_visible());

    // The keys stop where the buttons would: the last line stays in the view, the first never leaves its top.
    for (int i = 0; i < 20; ++i) {
        platform::headless::key_down(VK_DOWN);
        platform::headless::key_up(VK_DOWN);
        run();
    }
    EXPECT_LE(view.get_rect().h - view.offset(), view.content_height() + 40);
    EXPECT_GE(view.get_rect().h - view.offset(), view.content_height());
    EXPECT_FALSE(panel.scroll_down_button()->is_visible());
    for (int i = 0; i < 20; ++i) {
        platform::headless::key_down(VK_UP);
        platform::headless::key_up(VK_UP);
        run();
    }
    EXPECT_EQ(view.offset(), 0);
    EXPECT_FALSE(panel.scroll_up_button()->is_visible());
    EXPECT_TRUE(panel.scroll_down_button()->is_visible());
}

TEST_F(offer_panel_screen, BackLeavesTheOfferAndEnterRemovesItSendingNothing) {
    open_offer("offer_push.script", offer_record{});
    manager->back();
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{30, 2}));
    platform::headless::key_down(VK_RETURN);
    platform::headless::key_up(VK_RETURN);
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_TRUE(received_containing("order-offer").empty());
}

TEST_F(offer_panel_screen, WithoutAStoredOfferTheOfferAndItsNoticesLeaveAtOnce) {
    // The default dispatch script offers nothing.
    open();
    log_in();
    struct leave_case {
        int id;
        bool stays;
    };
    for (const leave_case& c : {leave_case{30, false}, leave_case{31, false}, leave_case{32, true},
                                leave_case{33, false}, leave_case{34, false}}) {
        SCOPED_TRACE(c.id);
        manager->push_panel(c.id, make_text_param(L"O-1"));
        run();
        const std::vector<int> expected = c.stays ? std::vector<int>{c.id, 2} : std::vector<int>{2};
        EXPECT_EQ(stack_ids(), expected);
        manager->pop_to_first();
        run();
    }
    // The offer played its sound before finding nothing to show.
    EXPECT_EQ(sound_count(3), 1);
}

// --- with the real font

// Drawn with the real font at both screen sizes: the countdown keeps clear of the rating badge beside it, and
// while the text scrolls (the landscape box is too low for it) every text in the view ends left of the scroll
// buttons, which stand over the view's right edge.
class offer_real_font_screen : public offer_panel_screen,
                               public ::testing::WithParamInterface<platform::screen_size> {};

TEST_P(offer_real_font_screen, TheCountdownAndTheTextKeepClearOfTheBadgeAndTheScrollButtons) {
    if (!real_font_scope::installed()) {
        GTEST_SKIP() << "Wine's Tahoma (fonts-wine) is not installed";
    }
    offer_record offer;
    offer.fineable = true;
    offer.order = R"("af":{"t":"Ленина, 1","tx":"подъезд 2"},"i":"Багаж","dist-to-driver":2360,)"
                  R"("at":[{"t":"Мира, 5","tx":"Вокзал"}])";
    open_offer("offer_push.script", offer, {}, GetParam());
    real_font_scope real;
    panel_order_offer& panel = offer_panel();
    panel.offer_text();
    const std::vector<drawn_text> texts = screen_texts();

    const offer_take_button& take = *panel.take_button();
    ASSERT_TRUE(take.active());
    const auto countdown = std::find_if(texts.begin(), texts.end(), [&](const drawn_text& t) {
        return t.text == take.time_text() && rect_overlaps(t.r, take.get_rect());
    });
    ASSERT_NE(countdown, texts.end());
    const int width = text_extent(window, font_holder(scaled(50, manager->get_scale()), 700), take.time_text()).width;
    // Centred in the rectangle it is drawn in.
    EXPECT_LE(countdown->r.x + (countdown->r.w + width) / 2, take.badge_rect().x) << utf8(take.time_text());

    const rect view = panel.text_view()->get_rect();
    const bool scrolls = panel.scroll_down_button()->is_visible();
    EXPECT_EQ(scrolls, GetParam().width > GetParam().height);
    const int right = scrolls ? panel.scroll_down_button()->get_rect().x : view.x + view.w;
    for (const drawn_text& t : texts) {
        if (rect_overlaps(t.r, view)) {
            EXPECT_LE(t.r.x + t.r.w, right) << utf8(t.text);
        }
    }
    EXPECT_FALSE(find_texts(L" км.").empty());
}

INSTANTIATE_TEST_SUITE_P(sizes, offer_real_font_screen,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

// --- pictures

TEST_F(offer_panel_screen, OfferPicture) {
    offer_record offer;
    offer.fineable = true;
    offer.order = R"("af":{"t":"Ленина 1","tx":"подъезд 2"},"i":"Багаж, кондиционер","msum":350,)"
                  R"("dist-to-driver":2360,"icl":1,"at":[{"t":"Мира 5"},{"t":"Парк","tx":"вход"}])";
    open_offer("offer_push.script", offer);
    EXPECT_EQ(golden("offer"), "");
}

TEST_F(offer_panel_screen, OfferBoxOnTheLandscapeScreen) {
    offer_record offer;
    offer.fineable = true;
    offer.order = R"("af":{"t":"Ленина 1","tx":"подъезд 2"},"i":"Багаж","msum":350,"dist-to-driver":2360,)"
                  R"("trade":1,"at":[{"t":"Мира 5"}])";
    open_offer("offer_push.script", offer, {}, platform::screen_size{800, 480, 192});
    // Centred on the screen, the 507 x 480 box would lie under the strip, which would cover its title: it fills
    // the work area below the strip instead.
    EXPECT_EQ(offer_panel().content_rect(), (rect{147, 54, 507, 426}));
    EXPECT_EQ(golden("offer_landscape"), "");
}

} // namespace
} // namespace zel::form::test
