// The ride widgets on a host screen with the default skin and the box font: the tariff description's texts,
// its purchase line rule and the height it reports to a scroll view; the taximeter display's sum texts and
// layouts; the ride rows' digits; the waiting switch through the pen; and the golden of the four together.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form/graphics.h"
#include "form/manager_2.h"
#include "form/order/tariff_widget.h"
#include "form/scroll_view.h"
#include "foundation/text_utils.h"
#include "tests/form/ride_scene.h"

namespace zel::form::test {
namespace {

const platform::screen_size tall{480, 800, 192};

using texts = std::vector<std::wstring>;

// --- tariff widget

class tariff_scene : public ride_scene {
protected:
    // The widget at (20, 70), 440 wide, straight on the host screen.
    tariff_widget& show_tariff(int kind) {
        open(tall, [this, kind](host_panel& host, manager_2& m) {
            widget = host.own(std::make_unique<tariff_widget>(&m, rect{20, 70, 440, 300}, kind));
        });
        return *widget;
    }
    // The texts of one line of the widget, in drawing order.
    texts line_texts(const rect& line) {
        return texts_in(screen_texts(), line);
    }

    tariff_widget* widget = nullptr;
};

TEST_F(tariff_scene, TheFareLinesWriteTheirFiguresWholeOrWithOneDecimal) {
    tariff_widget& w = show_tariff(tariff_widget::kind_plain);
    w.set_base_price(99.5f);
    w.set_included_km(2.5f);
    w.set_included_minutes(10);
    w.set_price_per_km(20);
    w.set_price_per_minute(4.25f);
    w.set_price_per_waiting_minute(0);
    EXPECT_EQ(line_texts(w.fare_line_rect(1)), (texts{L"МИНИМАЛКА", L"ВКЛЮЧАЕТ 2.5 КМ ИЛИ 10 МИН", L" р.", L"99.5"}));
    EXPECT_EQ(line_texts(w.fare_line_rect(2)), (texts{L"КИЛОМЕТР", L"", L" р.", L"20"}));
    // 4.25 has hundredths: one decimal, as printf rounds it.
    EXPECT_EQ(line_texts(w.fare_line_rect(3)), (texts{L"МИНУТА", L"", L" р.", L"4.2"}));
    EXPECT_EQ(line_texts(w.fare_line_rect(4)), (texts{L"МИНУТА ОЖИДАНИЯ", L"", L" р.", L"0"}));
}

TEST(tariff_widget_round_value, WholeFiguresLoseTheirPointOthersKeepOneDecimal) {
    struct number_case {
        float value;
        const wchar_t* text;
    };
    const number_case cases[] = {
        {2.5f, L"2.5"},   {20.0f, L"20"},           {0.0f, L"0"}, {149.9f, L"149.9"}, {3.0f, L"3"},
        {-2.5f, L"-2.5"}, {1e12f, L"999999995904"}, // far beyond any fare: no overflow, the whole number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tariff_widget::round_value(c.value), c.text) << c.value;
    }
}

struct purchase_case {
    const char* name;
    int kind;
    float percent;
    float minimum;
    bool shown;
};

const purchase_case purchase_cases[] = {
    {"both figures, purchase kind", tariff_widget::kind_purchase, 10, 150, true},
    {"just above the threshold", tariff_widget::kind_purchase, 0.0011f, 0.0011f, true},
    {"no percentage", tariff_widget::kind_purchase, 0, 150, false},
    {"percentage at the threshold", tariff_widget::kind_purchase, 0.001f, 150, false},
    {"minimum at the threshold", tariff_widget::kind_purchase, 10, 0.001f, false},
    {"plain kind", tariff_widget::kind_plain, 10, 150, false},
};

TEST_F(tariff_scene, ThePurchaseLineShowsOnlyWithBothFiguresOnAPurchaseWidgetAndTheHeightFollowsIt) {
    for (const auto& c : purchase_cases) {
        SCOPED_TRACE(c.name);
        teardown();
        tariff_widget& w = show_tariff(c.kind);
        w.set_purchase_percent(c.percent);
        w.set_purchase_minimum(c.minimum);
        EXPECT_EQ(w.shows_purchase_line(), c.shown);
        const texts all = line_texts(rect{0, 0, 480, 800});
        const bool drawn = std::find(all.begin(), all.end(), L"ПОКУПКА ЗАКАЗА") != all.end();
        EXPECT_EQ(drawn, c.shown);
        // The reported rectangle keeps x, y and width and ends with the last line shown.
        const rect last = c.shown ? w.purchase_line_rect() : w.fare_line_rect(4);
        EXPECT_EQ(w.get_rect(), (rect{20, 70, 440, last.y + last.h - 70}));
        EXPECT_EQ(w.extent(), w.get_rect());
        if (c.shown) {
            EXPECT_EQ(line_texts(w.purchase_line_rect()),
                      (texts{L"ПОКУПКА ЗАКАЗА", L"НО НЕ МЕНЕЕ " + tariff_widget::round_value(c.minimum) + L" РУБ.",
                             tariff_widget::round_value(c.percent) + L"%"}));
        }
    }
}

// In a scroll view lower than the description, scrolling down as far as the view allows brings the last
// line wholly into sight, purchase line included.
TEST_F(tariff_scene, AScrollViewScrollsTheWholeDescriptionIntoSight) {
    scroll_view* view = nullptr;
    open(tall, [&](host_panel& host, manager_2& m) {
        view = host.own(std::make_unique<scroll_view>(&m, rect{20, 300, 440, 200}));
        // Layer 0: the host owns it, the view paints it.
        widget = host.own(std::make_unique<tariff_widget>(&m, rect{0, 0, 440, 200}, tariff_widget::kind_purchase), 0);
        view->add(widget);
    });
    ASSERT_NE(view, nullptr);
    widget->set_purchase_percent(15);
    widget->set_purchase_minimum(120);
    int steps = 0;
    while (view->can_scroll_down() && steps < 100) {
        view->scroll_down();
        ++steps;
    }
    EXPECT_GT(steps, 0);
    const rect purchase = widget->purchase_line_rect();
    const int bottom_on_screen = 300 + view->offset() + purchase.y + purchase.h;
    EXPECT_LE(bottom_on_screen, 300 + 200);
    EXPECT_GT(bottom_on_screen, 300 + 200 - 40); // no more than one step of blank below it
    const texts shown = texts_in(screen_texts(), rect{20, 300, 440, 200});
    EXPECT_NE(std::find(shown.begin(), shown.end(), L"ПОКУПКА ЗАКАЗА"), shown.end());
}

} // namespace
} // namespace zel::form::test
