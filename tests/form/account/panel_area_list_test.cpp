// The area list (9), the parking list (10) and the car panel (20) on the program's screens, against the test
// dispatch server: their rows and figures, where a tap leads by order, driver status and free cars, the requests
// they send and what their results do, the number plates, and their pictures.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/car_param.h"
#include "form/account/panel_park_list.h"
#include "form/account/panel_set_car.h"
#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
#include "form/controls/plate_box.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/account/parking_scene.h"

namespace zel::form::test {
namespace {

using rows = std::vector<std::vector<std::wstring>>;

class parking_screen : public ::testing::Test, public parking_scene {};

// --- area list

TEST_F(parking_screen, AreaListShowsTheType2AreasInStoreOrderWithTheirDriverCounts) {
    ASSERT_NO_FATAL_FAILURE(open_world({}));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    // "Север" has no "nda": its count is 0, drawn all the same; the parkings and the type-4 area are no rows.
    EXPECT_EQ(row_texts(), (rows{{L"Север", L"0"}, {L"Центр", L"5"}}));
}

TEST_F(parking_screen, AreaTapWithoutAnOrderOpensItsParkingsAndSendsNothing) {
    ASSERT_NO_FATAL_FAILURE(open_world({}));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    tap_row(1);
    ASSERT_EQ(current_panel_id(), 10);
    EXPECT_EQ(static_cast<panel_park_list&>(*manager->panel_for(10)).area_id(), 12);
    EXPECT_EQ(row_texts(), (rows{{L"Вокзал", L"3"}, {L"Рынок", L"4", L"2"}}));
    ASSERT_NO_FATAL_FAILURE(fence());
    EXPECT_TRUE(received_containing("set-parking").empty());
    EXPECT_EQ(manager->lock_count(), 0);
}

TEST_F(parking_screen, AreaTapWithACurrentOrderSendsSetParkingAndItsSuccessGoesToTheFirstPanel) {
    parking_world world;
    world.order = current_order;
    ASSERT_NO_FATAL_FAILURE(open_world(world));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    tap_row(1);
    EXPECT_NE(current_panel_id(), 10);
    ASSERT_TRUE(wait_received(R"({"set-parking":{"area-id":12}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return stack_ids().size() == 1 && manager->lock_count() == 0; }));
    EXPECT_EQ(current_panel_id(), manager_2::master_id);
}

TEST_F(parking_screen, RefusedSetParkingOnlyUnlocksWhateverListSentIt) {
    struct refusal_case {
        int screen;
        int64_t area;
        std::string order;
        std::string sent;
    };
    // The area list sends only with a current order; the parking list sends without one at driver status 0.
    const refusal_case cases[] = {{9, 0, current_order, R"({"set-parking":{"area-id":12}})"},
                                  {10, 12, "", R"({"set-parking":{"area-id":13}})"}};
    for (const refusal_case& c : cases) {
        SCOPED_TRACE(c.screen);
        parking_scene scene;
        parking_world world;
        world.order = c.order;
        ASSERT_NO_FATAL_FAILURE(scene.open_world(
            world, "parking_answer.script",
            {{"EXPECT", R"({"set-parking":)"}, {"ANSWER", R"({"cmd-result":{"cmd-name":"set-parking","ok":0}})"}}));
        ASSERT_NO_FATAL_FAILURE(scene.open_screen(c.screen, c.area ? make_number_param(c.area) : nullptr));
        scene.tap_row(c.screen == 9 ? 1 : 0);
        ASSERT_TRUE(scene.wait_received(c.sent)) << scene.dispatch_server->transcript();
        ASSERT_TRUE(scene.pump_until([&] { return scene.manager->lock_count() == 0; }));
        EXPECT_EQ(scene.current_panel_id(), c.screen);
        EXPECT_EQ(scene.stack_ids().size(), 2u);
    }
}

TEST_F(parking_screen, NewFiguresRepaintTheRowsWhichAreNotReadAgain) {
    // The answer brings new counts and a new type-2 area in one packet: the counts show at once, the area only
    // at the next show.
    ASSERT_NO_FATAL_FAILURE(open_world(
        {}, "parking_answer.script",
        {{"EXPECT", R"({"set-option":)"},
         {"ANSWER", R"({"ref-area":{"id":17,"n":"Юг","t":2}}{"nda":{"id":15,"c":7}}{"adc":{"id":13,"c":6,"q":0}})"}}));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    ASSERT_EQ(row_texts(), (rows{{L"Север", L"0"}, {L"Центр", L"5"}}));
    clear_texts();
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return !find_texts(L"7").empty(); })) << dispatch_server->transcript();
    EXPECT_EQ(row_texts(), (rows{{L"Север", L"7"}, {L"Центр", L"5"}}));
    manager->pop_panel();
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    EXPECT_EQ(row_texts(), (rows{{L"Север", L"7"}, {L"Центр", L"5"}, {L"Юг", L"0"}}));
    // "c" 6 and "q" 0: the first place only.
    ASSERT_NO_FATAL_FAILURE(open_screen(10, make_number_param(12)));
    EXPECT_EQ(row_texts(), (rows{{L"Вокзал", L"6"}, {L"Рынок", L"4", L"2"}}));
}

TEST_F(parking_screen, TheArrowsAndTheKeysScrollTheListByOneRow) {
    parking_world world;
    for (int i = 0; i < 8; ++i) {
        world.extra +=
            R"({"ref-area":{"id":)" + std::to_string(100 + i) + R"(,"n":"Район )" + std::to_string(i) + R"(","t":2}})";
    }
    ASSERT_NO_FATAL_FAILURE(open_world(world));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    const list_panel& shown = *shown_list();
    // The arrows stand at the screen's right-hand corners.
    EXPECT_EQ(shown.up_arrow()->get_rect().y, 0);
    EXPECT_EQ(shown.down_arrow()->get_rect().y + shown.down_arrow()->get_rect().h, 800);
    EXPECT_EQ(shown.down_arrow()->get_rect().x + shown.down_arrow()->get_rect().w, 480);
    tap(*shown.down_arrow());
    EXPECT_EQ(shown.list()->first_row(), 1);
    platform::headless::key_down(VK_DOWN);
    run();
    EXPECT_EQ(shown.list()->first_row(), 2);
    platform::headless::key_up(VK_UP);
    run();
    EXPECT_EQ(shown.list()->first_row(), 1);
    tap(*shown.up_arrow());
    EXPECT_EQ(shown.list()->first_row(), 0);
    // A new show starts at the first row again.
    platform::headless::key_down(VK_DOWN);
    run();
    manager->pop_panel();
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    EXPECT_EQ(shown_list()->list()->first_row(), 0);
}

// --- parking list

TEST_F(parking_screen, ParkingFiguresKeepTheirPlacesAndNonPositiveOnesStayEmpty) {
    ASSERT_NO_FATAL_FAILURE(open_world({}));
    ASSERT_NO_FATAL_FAILURE(open_screen(10, make_number_param(12)));
    const float s = manager->get_scale();
    const int left = shown_list()->list()->get_rect().x;
    const auto vokzal = row_drawn(0);
    ASSERT_EQ(vokzal.size(), 2u);
    // "c" 0 leaves the first place empty; "q" 3 stands in the second place.
    EXPECT_EQ(vokzal[1].text, L"3");
    EXPECT_EQ(vokzal[1].r.x, static_cast<int>(177 * s + static_cast<float>(left)));
    const auto market = row_drawn(1);
    ASSERT_EQ(market.size(), 3u);
    EXPECT_EQ(market[1].r.x, static_cast<int>(67 * s + static_cast<float>(left)));
    EXPECT_EQ(market[2].r.x, static_cast<int>(177 * s + static_cast<float>(left)));
}

TEST_F(parking_screen, AnAreaWithoutKnownParkingsHasNoRows) {
    ASSERT_NO_FATAL_FAILURE(open_world({}));
    for (int64_t area : {int64_t{15}, int64_t{16}, int64_t{404}}) {
        SCOPED_TRACE(area);
        ASSERT_NO_FATAL_FAILURE(open_screen(10, make_number_param(area)));
        EXPECT_EQ(shown_list()->row_count(), 0);
        tap_row(0);
        EXPECT_EQ(current_panel_id(), 10);
        EXPECT_EQ(manager->lock_count(), 0);
        manager->pop_panel();
        run();
    }
}

TEST(parking_tap, DriverStatusAndFreeCarsChooseBetweenSetParkingAndTheCarPanel) {
    struct tap_case {
        const char* session;
        const char* cars;
        bool car_panel;
    };
    // Only a driver not on a shift (-2) with more than one free car chooses a car first.
    const tap_case cases[] = {
        {R"(,"driver-status":-2)", one_free_car, false}, {R"(,"driver-status":-2)", two_free_cars, true},
        {R"(,"driver-status":0)", one_free_car, false},  {R"(,"driver-status":0)", two_free_cars, false},
        {R"(,"driver-status":2)", two_free_cars, false}, {"", two_free_cars, false},
        {R"(,"driver-status":-2)", "", false},
    };
    for (const tap_case& c : cases) {
        SCOPED_TRACE(std::string(c.session) + " " + c.cars);
        parking_scene scene;
        parking_world world;
        world.session = c.session;
        world.cars = c.cars;
        ASSERT_NO_FATAL_FAILURE(scene.open_world(world));
        ASSERT_NO_FATAL_FAILURE(scene.open_screen(10, make_number_param(12)));
        scene.tap_row(1);
        if (c.car_panel) {
            ASSERT_EQ(scene.current_panel_id(), 20);
            const auto* given = param_as<car_param>(scene.manager->top_panel().param.get());
            ASSERT_NE(given, nullptr);
            EXPECT_EQ(given->mode, car_param::begin_shift);
            EXPECT_EQ(given->parking_id, 14);
            EXPECT_EQ(scene.manager->lock_count(), 0);
            ASSERT_NO_FATAL_FAILURE(scene.fence());
            EXPECT_TRUE(scene.received_containing("set-parking").empty());
        } else {
            EXPECT_TRUE(scene.wait_received(R"({"set-parking":{"area-id":14}})"))
                << scene.dispatch_server->transcript();
            ASSERT_TRUE(scene.pump_until([&] { return scene.stack_ids().size() == 1; }));
            EXPECT_EQ(scene.manager->lock_count(), 0);
        }
    }
}

// --- car panel

TEST(car_plate, PlateLettersFollowTheWideCharacterClasses) {
    init_text_locale();
    struct plate_case {
        const wchar_t* text;
        plate_box::plate_kind kind;
        std::vector<std::wstring> pieces;
    };
    const plate_case cases[] = {
        {L"ав123с[777]", plate_box::letters_first, {L"ав", L"123", L"с", L"777"}},
        {L"а123вс[77]", plate_box::ordinary, {L"а", L"123", L"вс", L"77"}},
        {L"1а23вс[77]", plate_box::ordinary, {L"1", L"а23", L"вс", L"77"}},
        {L"ав123с[77]", plate_box::letters_first, {L"ав", L"123", L"с", L"77"}},
        {L"а123вс[777", plate_box::plain, {L"", L"", L"", L""}},
        {L"Н 001 РУС", plate_box::plain, {L"", L"", L"", L""}},
        {L"", plate_box::plain, {L"", L"", L"", L""}},
    };
    for (const plate_case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        const plate_box::layout layout = plate_box::layout_for(c.text);
        EXPECT_EQ(layout.kind, c.kind);
        EXPECT_EQ(std::vector<std::wstring>(std::begin(layout.pieces), std::end(layout.pieces)), c.pieces);
    }
}

TEST_F(parking_screen, CarRowsShowNameColourAndThePlatesPieces) {
    parking_world world;
    world.cars = R"({"cars":{"freecars":[{"id":1,"color":"белый","regnum":"ав123с[777]","name":"Лада Гранта"},)"
                 R"({"id":2,"color":"чёрный","regnum":"а123вс[77]","name":"Киа Рио"},)"
                 R"({"id":3,"color":"синий","regnum":"Н 001 РУС","name":"Шкода"}]}})";
    ASSERT_NO_FATAL_FAILURE(open_world(world));
    ASSERT_NO_FATAL_FAILURE(open_screen(20, std::make_shared<car_param>(car_param::change_car, 0)));
    EXPECT_EQ(row_texts(), (rows{{L"Лада Гранта", L"белый", L"ав", L"с", L"123", L"777"},
                                 {L"Киа Рио", L"чёрный", L"а", L"вс", L"123", L"77"},
                                 {L"Шкода", L"синий", L"Н 001 РУС"}}));
}

TEST(car_choice, EachModeSendsItsRequestAndSuccessGoesToTheFirstPanel) {
    struct mode_case {
        int32_t mode;
        std::string sent; // empty: nothing
    };
    const mode_case cases[] = {{car_param::begin_shift, R"({"shift-begin":{"area-id":13,"car-id":2}})"},
                               {car_param::change_car, R"({"set-work-wheel":{"car-id":2}})"},
                               {2, ""}};
    for (const mode_case& c : cases) {
        SCOPED_TRACE(c.mode);
        parking_scene scene;
        parking_world world;
        world.cars = two_free_cars;
        ASSERT_NO_FATAL_FAILURE(scene.open_world(world));
        ASSERT_NO_FATAL_FAILURE(scene.open_screen(20, std::make_shared<car_param>(c.mode, 13)));
        scene.tap_row(1);
        if (c.sent.empty()) {
            EXPECT_EQ(scene.manager->lock_count(), 0);
            ASSERT_NO_FATAL_FAILURE(scene.fence());
            EXPECT_TRUE(scene.received_containing("shift-begin").empty());
            EXPECT_TRUE(scene.received_containing("set-work-wheel").empty());
            EXPECT_EQ(scene.current_panel_id(), 20);
            continue;
        }
        EXPECT_TRUE(scene.wait_received(c.sent)) << scene.dispatch_server->transcript();
        ASSERT_TRUE(scene.pump_until([&] { return scene.stack_ids().size() == 1; }));
        EXPECT_EQ(scene.manager->lock_count(), 0);
    }
}

TEST_F(parking_screen, RefusedShiftBeginUnlocksAndKeepsTheCars) {
    parking_world world;
    world.cars = two_free_cars;
    ASSERT_NO_FATAL_FAILURE(open_world(
        world, "parking_answer.script",
        {{"EXPECT", R"({"shift-begin":)"}, {"ANSWER", R"({"cmd-result":{"cmd-name":"shift-begin","ok":0}})"}}));
    ASSERT_NO_FATAL_FAILURE(open_screen(20, std::make_shared<car_param>(car_param::begin_shift, 13)));
    tap_row(0);
    ASSERT_TRUE(wait_received(R"({"shift-begin":{"area-id":13,"car-id":1}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    EXPECT_EQ(current_panel_id(), 20);
    EXPECT_EQ(shown_list()->row_count(), 2);
}

TEST_F(parking_screen, WithoutACarsRecordTheCarPanelHasNoRows) {
    parking_world world;
    world.cars = "";
    ASSERT_NO_FATAL_FAILURE(open_world(world));
    ASSERT_NO_FATAL_FAILURE(open_screen(20, std::make_shared<car_param>(car_param::begin_shift, 13)));
    EXPECT_EQ(shown_list()->row_count(), 0);
    tap_row(0);
    EXPECT_EQ(manager->lock_count(), 0);
}

// --- pictures

TEST_F(parking_screen, Pictures) {
    parking_world world;
    world.cars = two_free_cars;
    ASSERT_NO_FATAL_FAILURE(open_world(world));
    ASSERT_NO_FATAL_FAILURE(open_screen(9));
    EXPECT_EQ(golden("parking_areas"), "");
    ASSERT_NO_FATAL_FAILURE(open_screen(10, make_number_param(12)));
    EXPECT_EQ(golden("parking_parkings"), "");
    ASSERT_NO_FATAL_FAILURE(open_screen(20, std::make_shared<car_param>(car_param::begin_shift, 13)));
    EXPECT_EQ(golden("parking_cars"), "");
}

} // namespace
} // namespace zel::form::test
