// The ride screen's two row sources through a list view on a host screen with the default skin, their records
// from the store of a controller logged in on the test dispatch server: what an order row writes for the
// order's fields (a table), its class tag, badges and stars in pixels, the area rows' driver counts, the taps,
// the not-yet-drawn flags, and the cached faces, also when a face is first needed for a row cut at the list's
// bottom.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "form/controls/list_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/order/ride_areas_list.h"
#include "form/order/ride_orders_list.h"
#include "form/shell/manager_2.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/order/ride_scene.h"

namespace zel::form::test {
namespace {

const platform::screen_size tall{480, 800, 192};
using texts = std::vector<std::wstring>;

// The session's clock reads 1600056300 s (07:05 at UTC+3) while the stepped clock stands still.
constexpr int64_t server_now_ms = 1600056300000LL;
std::string minutes_ahead(int minutes) {
    return std::to_string(server_now_ms + minutes * 60000LL);
}

std::string order(const std::string& id, const std::string& fields) {
    return R"({"order":{"s-id":")" + id + R"(","l-type":1)" + (fields.empty() ? "" : "," + fields) + "}}";
}

const std::string session = R"({"session-param":{"dt":1600056300000,"tzo":10800000,"area-id":12}})";

const std::string orders_records =
    session + order("bare", R"("st":2)") +
    order("near", R"("ttp":0,"msum":0,"dist-to-driver":500,"af":{"t":"Ленина 1","tx":"подъезд 2"},)"
                  R"("at":[{"t":"Вокзал","tx":""},{"t":"Мира 5","tx":", кв. 3"}])") +
    order("priced", R"("ttp":0,"msum":149.9,"dist-to-driver":2300,"af":{"t":"Садовая 7"}})") +
    order("null-sum", R"("ttp":0,"msum":null,"af":{"t":"Садовая 9","tx":"у кафе"}})") +
    order("no-ttp", R"("msum":300,"dist-to-driver":900,"af":{"tx":"у аптеки"}})") +
    order("in-45", R"("ttp":1,"tt":)" + minutes_ahead(45) + "}") +
    order("in-75", R"("ttp":1,"tt":)" + minutes_ahead(75) + "}") +
    order("in-150", R"("ttp":1,"tt":)" + minutes_ahead(150) + "}") +
    order("own-tariff", R"("st":2,"dct":{"n":"Эконом","p":100},"star":3,"of":32,"trade":1,"icl":1})");

// The view over the work area; order rows are 230 high, area rows 130.
const rect list_rect{0, 54, 480, 746};

class ride_list_scene : public ride_scene {
protected:
    // Logs in with the records, then shows a list view at r over the orders (the store's list 1) or the
    // areas of type 2.
    void show_orders(const std::string& records, const rect& r = list_rect) {
        connect(records);
        open(tall, [this, r](host_panel& host, manager_2& m) {
            orders = std::make_unique<ride_orders_list>(&m, r.w, [this](int row) { clicks.push_back(row); });
            orders->set_rows(ctl->get_orders_1());
            attach(host, m, r, orders.get());
        });
    }
    void show_areas(const std::string& records, const rect& r = list_rect) {
        connect(records);
        open(tall, [this, r](host_panel& host, manager_2& m) {
            areas = std::make_unique<ride_areas_list>(&m, r.w, [this](int row) { clicks.push_back(row); });
            areas->set_rows(ctl->get_type2_areas());
            attach(host, m, r, areas.get());
        });
    }
    void attach(host_panel& host, manager_2& m, const rect& r, list_row_source* source) {
        view = host.own(std::make_unique<list_view>(&m, r));
        view->set_source(source);
        view->set_enabled(true);
        view->set_visible(true);
        view->reset_first_row();
    }
    // Shows only this order of the store's list 1.
    void only(const std::string& id) {
        orders->set_rows({ctl->find_order(1, utf8_to_wide(id))});
        ASSERT_TRUE(orders->orders().front()) << id;
        manager->invalidate_rect(list_rect);
        run();
    }
    rect row_rect(int row, int height) const {
        return rect{view->get_rect().x, view->get_rect().y + row * height, view->get_rect().w, height};
    }
    std::uint32_t pixel(int x, int y) {
        int w = 0, h = 0;
        return platform::headless::window_pixels(window, w, h).at(static_cast<std::size_t>(y * w + x));
    }

    std::unique_ptr<ride_orders_list> orders;
    std::unique_ptr<ride_areas_list> areas;
    list_view* view = nullptr;
    std::vector<int> clicks;
};

constexpr int order_height = 230;
constexpr int area_height = 130;

// --- order rows

struct order_text_case {
    const char* id;
    texts shown;
};

TEST_F(ride_list_scene, AnOrderRowWritesWhatItsFieldsSay) {
    const order_text_case cases[] = {
        // No pick-up text, note or destinations: nothing written.
        {"bare", {}},
        // A current order with a distance and no sum: only the distance on line 2; the last destination.
        {"near", {L"Ленина 1", L" км", L"0.5", L"Мира 5, кв. 3"}},
        {"priced", {L"Садовая 7", L"149", L" р.", L" км", L"2.3"}},
        // A null sum is no sum: with no distance either, line 2 is the pick-up note.
        {"null-sum", {L"Садовая 9", L"у кафе"}},
        // Sum and distance are for orders whose "ttp" is 0; others show the note.
        {"no-ttp", {L"у аптеки"}},
        // Preliminary: minutes below an hour, else whole hours; then its time of day.
        {"in-45", {L"45", L"07", L"50"}}, // the empty unit draws nothing
        {"in-75", {L"1", L"ч", L"08", L"20"}},
        {"in-150", {L"2", L"ч", L"09", L"35"}},
        // The own tariff's tag carries its name, whatever the class.
        {"own-tariff", {L"Эконом"}},
    };
    show_orders(orders_records);
    for (const order_text_case& c : cases) {
        SCOPED_TRACE(c.id);
        only(c.id);
        EXPECT_EQ(texts_in(screen_texts(), row_rect(0, order_height)), c.shown);
    }
}

TEST_F(ride_list_scene, TheSecondLineStandsWhereTheRowSaysAndTheTagNameOnTheTag) {
    show_orders(orders_records);
    only("near");
    const auto shown = screen_texts();
    auto find = [&](const std::wstring& text) {
        for (const drawn_text& t : shown) {
            if (t.text == text) {
                return t;
            }
        }
        ADD_FAILURE() << "not drawn";
        return drawn_text{};
    };
    // m = (int)(230 x 0.03) = 6: texts from 12, 456 wide.
    const drawn_text km = find(L" км");
    EXPECT_EQ(km.r, (rect{12, 54 + 96, 456, 46}));
    EXPECT_EQ(km.colour, 0x329B05u);
    // The figure right-aligned just before the unit.
    const int km_width = text_extent(manager->get_hwnd(), font_holder(25, 400), L" км").width;
    ASSERT_GT(km_width, 0);
    EXPECT_EQ(find(L"0.5").r, (rect{12, 54 + 96, 456 - km_width, 46}));
    EXPECT_EQ(find(L"Ленина 1").r, (rect{12, 54 + 50, 456, 46}));
    EXPECT_EQ(find(L"Мира 5, кв. 3").r, (rect{12, 54 + 142, 456, 78}));

    only("own-tariff");
    const auto tagged = screen_texts();
    ASSERT_EQ(texts_in(tagged, row_rect(0, order_height)), texts{L"Эконом"});
    const auto name =
        std::find_if(tagged.begin(), tagged.end(), [](const drawn_text& t) { return t.text == L"Эконом"; });
    // On the tag, 4 in from each of its sides.
    EXPECT_EQ(name->r, (rect{6 + 4, 54, 110 - 8, 46}));
    EXPECT_EQ(name->colour, 0x000000u);
}

struct mark_case {
    const char* name;
    std::string fields;
    std::uint32_t tag;    // at (m + 100, 42) of the row: the tag's face, else the row's
    std::uint32_t corner; // at (w - 20, h - 36): the top badge's disc, else the row's face
    int stars;
};

constexpr std::uint32_t row_face = 0x262C34; // panel
constexpr std::uint32_t paper = 0xECEAE2;

TEST_F(ride_list_scene, TagsBadgesAndStarsFollowTheOrder) {
    const mark_case cases[] = {
        {"class 2", R"("st":2)", 0x4B8F2E, row_face, 0},
        {"class 1", R"("st":1)", 0x1A5EBB, row_face, 0},
        {"class 14", R"("st":14)", 0x3C3C46, row_face, 0},
        {"class 3 has no tag", R"("st":3)", row_face, row_face, 0},
        {"class 5 has no tag", R"("st":5)", row_face, row_face, 0},
        {"no class", "", row_face, row_face, 0},
        {"own tariff over class 2", R"("st":2,"dct":{"n":"Эконом"})", paper, row_face, 0},
        {"own tariff over an unknown class", R"("st":3,"dct":{"n":"Эконом"})", paper, row_face, 0},
        {"flag 0x20", R"("of":32)", row_face, 0xC8281E, 0},
        {"other flags", R"("of":16)", row_face, row_face, 0},
        {"trade", R"("trade":1)", row_face, 0xE37512, 0},
        {"cashless", R"("icl":1)", row_face, 0x1A5EBB, 0},
        {"not cashless", R"("icl":2)", row_face, row_face, 0},
        {"all three: cashless on top", R"("of":32,"trade":1,"icl":1)", row_face, 0x1A5EBB, 0},
        {"three stars", R"("star":3)", row_face, row_face, 3},
        {"no stars", R"("star":0)", row_face, row_face, 0},
        {"more stars than the row holds", R"("star":100000000)", row_face, row_face, 19},
    };
    auto id_of = [](std::size_t i) {
        std::string id = "o";
        id += std::to_string(i);
        return id;
    };
    std::string records = session;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        records += order(id_of(i), cases[i].fields);
    }
    show_orders(records);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const mark_case& c = cases[i];
        SCOPED_TRACE(c.name);
        only(id_of(i));
        const rect r = row_rect(0, order_height);
        EXPECT_EQ(pixel(r.x + 6 + 100, r.y + 42), c.tag);
        EXPECT_EQ(pixel(r.x + r.w - 20, r.y + r.h - 36), c.corner);
        // Star i ends 2m + 24 i left of the row's right edge, its top at half the tag's height.
        int stars = 0;
        for (int s = 0; s < 20; ++s) {
            stars += pixel(r.x + r.w - 12 - 24 * (s + 1) + 12, r.y + 23 + 12) == 0xFFC300 ? 1 : 0;
        }
        EXPECT_EQ(stars, c.stars);
    }
}

TEST_F(ride_list_scene, ATapOnAnOrderRowGivesItsIndexAndEveryRowIsNewUntilDrawn) {
    show_orders(orders_records);
    // Nine orders, four in sight (the fourth cut at the bottom).
    EXPECT_EQ(orders->row_count(), 9);
    EXPECT_EQ(orders->row_selected(0), 0);
    EXPECT_EQ(orders->row_selected(3), 0);
    EXPECT_EQ(orders->row_selected(4), 1);
    EXPECT_EQ(orders->row_selected(9), 1);
    orders->set_rows(ctl->get_orders_1());
    EXPECT_EQ(orders->row_selected(0), 1);
    EXPECT_EQ(orders->row_flag(0), 1);
    EXPECT_EQ(orders->row_value(0), 0);
    // A tap repaints the tapped row alone: it is drawn, the others stay new until the next paint of theirs.
    tap(240, 54 + order_height + 100);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(orders->row_selected(1), 0);
    EXPECT_EQ(orders->row_selected(0), 1);
}

// --- area rows

TEST_F(ride_list_scene, AnAreaRowWritesItsNameAndTheDriversInIt) {
    show_areas(session + R"({"ref-area":{"id":12,"n":"Центр","t":2}}{"ref-area":{"id":13,"n":"Вокзал","t":1}})"
                         R"({"ref-area":{"id":14,"n":"Окраина","t":2}}{"nda":{"id":12,"c":5}}{"nda":{"id":13,"c":9}})");
    ASSERT_EQ(areas->row_count(), 2);
    auto shown = screen_texts();
    EXPECT_EQ(texts_in(shown, row_rect(0, area_height)), (texts{L"Центр", L"5"}));
    EXPECT_EQ(texts_in(shown, row_rect(1, area_height)), (texts{L"Окраина", L"0"}));
    // The name beside the icon on the upper band, the count on the badge of the lower band.
    for (const drawn_text& t : shown) {
        if (t.text == L"Центр") {
            EXPECT_EQ(t.r, (rect{48 + 24, 57, 480, 56})); // after the 48-wide icon
        }
        if (t.text == L"5") {
            EXPECT_EQ(t.r, (rect{67, 57 + 56, 80, 56}));
        }
    }
    // A newer count shows at the next paint: the row reads the store, it does not keep the figure.
    ctl->store().process_packet(LR"({"nda":{"id":14,"c":2}})");
    shown = screen_texts();
    EXPECT_EQ(texts_in(shown, row_rect(1, area_height)), (texts{L"Окраина", L"2"}));
    tap(240, 54 + area_height + 60);
    EXPECT_EQ(clicks, std::vector<int>{1});
}

// --- cached faces

bool yellowish(std::uint32_t p) {
    return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) > 140 && (p & 0xFF) < 80;
}

// A list two rows high that cuts its second row: the pressed face is first needed for the cut row, and must
// still be whole when that row is pressed again in full sight.
TEST_F(ride_list_scene, AreaFacesAreWholeAlsoWhenFirstDrawnForACutRow) {
    const rect short_list{0, 54, 480, 200}; // row 0 whole, row 1 shows 70 of its 130
    show_areas(session + R"({"ref-area":{"id":12,"n":"Центр","t":2}}{"ref-area":{"id":14,"n":"Окраина","t":2}})",
               short_list);
    press(240, 54 + area_height + 30);
    EXPECT_TRUE(yellowish(pixel(300, 54 + area_height + 10)));
    EXPECT_FALSE(yellowish(pixel(300, 54 + 10)));
    release(240, 300); // below the list: no click
    EXPECT_TRUE(clicks.empty());
    view->scroll_down();
    run();
    ASSERT_EQ(view->first_row(), 1);
    const std::uint32_t normal_bottom = pixel(300, 54 + 120);
    press(240, 54 + 60);
    // The pressed face down to its bottom band: yellow, not what the cut row left.
    EXPECT_TRUE(yellowish(pixel(300, 54 + 10)));
    EXPECT_TRUE(yellowish(pixel(300, 54 + 120)));
    release(240, 54 + 60);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(pixel(300, 54 + 120), normal_bottom);
    view->scroll_up();
    run();
    // Both rows from the one normal face.
    EXPECT_EQ(pixel(300, 54 + 120), normal_bottom);
    EXPECT_FALSE(yellowish(pixel(300, 54 + 10)));
}

TEST_F(ride_list_scene, OrderFacesAreWholeAlsoWhenFirstDrawnForACutRow) {
    const rect short_list{0, 54, 480, 300}; // row 0 whole, row 1 shows 70 of its 230
    show_orders(session + order("a", "") + order("b", ""), short_list);
    constexpr std::uint32_t yellow = 0xFEDC00, edge = 0x3D4349;
    const int border_y = 54 + order_height - 5; // the face's bottom border
    EXPECT_EQ(pixel(240, border_y), edge);
    press(240, 54 + order_height + 30);
    release(240, 400);
    view->scroll_down();
    run();
    ASSERT_EQ(view->first_row(), 1);
    press(240, 54 + 100);
    EXPECT_EQ(pixel(240, border_y), yellow);
    release(240, 54 + 100);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(pixel(240, border_y), edge);
}

} // namespace
} // namespace zel::form::test
