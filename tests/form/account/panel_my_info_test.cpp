// The driver's account screens on the program's own manager: the card (13) with the session's texts and plate,
// the information menu (11) with its enabled rows, its rating total and the news page, and the rating (14) with
// its colours, after a real login on the test dispatch server whose answer carries the account's records.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/panel_balance.h"
#include "form/account/panel_my_info.h"
#include "form/account/panel_my_rating.h"
#include "form/controls/plate_box.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/screen_fixture.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t grey = 0xCFD3D3;
constexpr std::uint32_t green = 0x6AA752;
constexpr std::uint32_t red = 0xBE3004;
constexpr std::uint32_t yellow = 0xFBC100;

const std::string full_session =
    R"({"session-param":{"driver-status":0,"balance":1234.56,"callsign":"A7","car-name":"Гранта",)"
    R"("car-color":"белый","car-regnum":"А123ВС[77]"}})";
// Rate 1 at its maximum, 2 without a value, 3 (maximum 0) without a value, 4 above its maximum, 5 (maximum 0)
// with a value.
const std::string values = R"({"riv":{"id":1,"v":10}}{"riv":{"id":4,"v":60}}{"riv":{"id":5,"v":2}})";

const char* const news_variable = "MORVIK_NEWS_URL";
const std::wstring news_page = L"http://127.0.0.1:9/pda/news";

::testing::AssertionResult same_text(const std::wstring& shown, const std::wstring& expected) {
    if (shown == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\n  shown:    " << wide_to_utf8(shown)
                                         << "\n  expected: " << wide_to_utf8(expected);
}

class account_scene : public screen_harness {
public:
    // The menu, logged in (or not) on a dispatch server whose login answer carries the session and the values.
    void open_account(bool logged_in, const std::string& session = full_session, const std::string& riv = values) {
        screen_options options;
        options.dispatch_script = "tests/form/fixtures/account_login.script";
        options.values["SESSION"] = session;
        options.values["RIV"] = riv;
        open(options);
        ASSERT_TRUE(reach_menu());
        if (logged_in) {
            log_in();
        }
        run();
    }

    // The information menu through the main menu's cell.
    void open_info() {
        screen_texts();
        ASSERT_TRUE(tap_text(L"Моя информация"));
        ASSERT_EQ(current_panel_id(), panel_my_info::id);
    }

    template <class Panel> Panel& panel(int id) {
        return static_cast<Panel&>(*manager->panel_for(id));
    }

    // The text drawn last with exactly this content in the current screen; none gives an empty record.
    drawn_text shown(const std::wstring& text) {
        drawn_text found;
        for (const drawn_text& t : screen_texts()) {
            if (t.text == text) {
                found = t;
            }
        }
        return found;
    }
    bool is_shown(const std::wstring& text) {
        return !shown(text).text.empty();
    }
    // Every text of one paint joined by blanks (multi-line texts come line by line).
    std::wstring all_text() {
        std::wstring out;
        for (const drawn_text& t : screen_texts()) {
            out += t.text + L"|";
        }
        return out;
    }
};

class account_fixture : public ::testing::Test, public account_scene {};

// --- the card

TEST_F(account_fixture, card_shows_the_session_and_the_chosen_service) {
    ASSERT_NO_FATAL_FAILURE(open_account(true));
    ASSERT_NO_FATAL_FAILURE(open_info());
    ASSERT_TRUE(tap_text(L"Моя информация"));
    ASSERT_EQ(current_panel_id(), panel_balance::id);

    const std::wstring texts = all_text();
    for (const wchar_t* expected : {L"1234.6", L"Баланс", L"A7", L"Гранта белый", L"4070001"}) {
        EXPECT_TRUE(is_shown(expected)) << wide_to_utf8(expected) << " in " << wide_to_utf8(texts);
    }
    EXPECT_EQ(shown(L"1234.6").colour, 0xF9A218u);
    auto& card = panel<panel_balance>(panel_balance::id);
    EXPECT_TRUE(same_text(card.account_caption(), L"Счет в \"Таксопарк\""));
    EXPECT_NE(texts.find(L"Петров"), std::wstring::npos);
    ASSERT_NE(card.plate(), nullptr);
    EXPECT_TRUE(same_text(card.plate()->text(), L"А123ВС[77]"));
    EXPECT_EQ(plate_box::layout_for(card.plate()->text()).kind, plate_box::ordinary);
    EXPECT_EQ(golden("account_balance"), "");

    // Back, and again with no server chosen: the service's name is empty between its quotes.
    manager->pop_panel();
    run();
    ctl().set_server_index(-1);
    ASSERT_TRUE(tap_text(L"Моя информация"));
    EXPECT_TRUE(same_text(panel<panel_balance>(panel_balance::id).account_caption(), L"Счет в \"\""));
}

TEST_F(account_fixture, card_without_session_parameters_leaves_the_balance_and_the_plate_empty) {
    ASSERT_NO_FATAL_FAILURE(open_account(true, "", ""));
    manager->push_panel(panel_balance::id);
    run();
    ASSERT_EQ(current_panel_id(), panel_balance::id);
    auto& card = panel<panel_balance>(panel_balance::id);
    EXPECT_TRUE(card.balance_text().empty());
    ASSERT_NE(card.plate(), nullptr);
    EXPECT_TRUE(card.plate()->text().empty());
    EXPECT_EQ(plate_box::layout_for(L"").kind, plate_box::plain);
    EXPECT_TRUE(is_shown(L"Баланс"));
    EXPECT_TRUE(is_shown(L"4070001"));
    EXPECT_FALSE(is_shown(L"A7"));
}

// --- the information menu

TEST_F(account_fixture, logged_out_only_the_news_row_reacts) {
    struct news_setting {
        news_setting() {
            ::setenv(news_variable, wide_to_utf8(news_page).c_str(), 1);
        }
        ~news_setting() {
            ::unsetenv(news_variable);
        }
    } setting;
    ASSERT_NO_FATAL_FAILURE(open_account(false));
    ASSERT_NO_FATAL_FAILURE(open_info());
    auto& info = panel<panel_my_info>(panel_my_info::id);
    ASSERT_EQ(info.row_count(), panel_my_info::row_total);
    for (int row = 0; row < panel_my_info::row_total; ++row) {
        EXPECT_EQ(info.row_enabled(row), row == 0) << "row " << row;
    }
    // A disabled "Рейтинг" has no total on its icon, and its rows ignore the pen.
    EXPECT_FALSE(is_shown(L"0"));
    for (const wchar_t* caption : {L"Моя информация", L"Рейтинг", L"Смены", L"Настройки таксометра"}) {
        ASSERT_TRUE(tap_text(caption));
        EXPECT_EQ(current_panel_id(), panel_my_info::id) << wide_to_utf8(caption);
    }
    EXPECT_TRUE(processes.starts().empty());

    ASSERT_TRUE(tap_text(L"Новости"));
    ASSERT_EQ(processes.starts().size(), 1u);
    EXPECT_EQ(processes.starts()[0].program, L"xdg-open");
    EXPECT_EQ(processes.starts()[0].arguments, std::vector<std::wstring>{news_page});
    EXPECT_EQ(current_panel_id(), panel_my_info::id);
}

TEST_F(account_fixture, logged_in_rows_open_their_panels_and_the_rating_total_is_on_its_icon) {
    ASSERT_NO_FATAL_FAILURE(open_account(true));
    ASSERT_NO_FATAL_FAILURE(open_info());
    auto& info = panel<panel_my_info>(panel_my_info::id);
    const std::vector<bool> enabled = {true, true, true, true, false};
    for (int row = 0; row < panel_my_info::row_total; ++row) {
        EXPECT_EQ(info.row_enabled(row), enabled[static_cast<std::size_t>(row)]) << "row " << row;
    }
    // 10 + 60 + 2, in black on the icon.
    const drawn_text total = shown(L"72");
    EXPECT_EQ(total.text, L"72");
    EXPECT_EQ(total.colour, black);
    EXPECT_EQ(golden("account_my_info"), "");

    const std::vector<std::pair<std::wstring, int>> rows = {{L"Моя информация", 13}, {L"Рейтинг", 14}, {L"Смены", 15}};
    for (const auto& [caption, id] : rows) {
        ASSERT_TRUE(tap_text(caption));
        EXPECT_EQ(stack_ids().front(), id) << wide_to_utf8(caption);
        manager->pop_panel();
        run();
        ASSERT_EQ(current_panel_id(), panel_my_info::id);
        // Each show builds the five rows anew.
        EXPECT_EQ(info.row_count(), panel_my_info::row_total);
    }
    ASSERT_TRUE(tap_text(L"Настройки таксометра"));
    EXPECT_EQ(current_panel_id(), panel_my_info::id);
}

// A total of five digits or more shows whole, its font stepped down until it fits inside the icon's frame (a
// 4-pixel border on the 96-pixel icon): nothing of it covers the icon's sides.
TEST_F(account_fixture, rating_totals_of_many_digits_show_whole_inside_the_icon) {
    ASSERT_NO_FATAL_FAILURE(open_account(true, full_session, ""));
    ASSERT_NO_FATAL_FAILURE(open_info());
    // The rows read the values at each paint; a value replaces the one of its id.
    const struct {
        std::string riv;
        const wchar_t* total;
    } cases[] = {
        {R"({"riv":{"id":1,"v":12000}}{"riv":{"id":4,"v":345}})", L"12345"},
        {R"({"riv":{"id":1,"v":-99999}}{"riv":{"id":4,"v":0}})", L"-99999"},
        {R"({"riv":{"id":1,"v":2000000000}}{"riv":{"id":4,"v":2000000000}})", L"4000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.total));
        manager->post_command(ctl().store().process_packet(utf8_to_wide(c.riv)));
        run();
        const drawn_text total = shown(c.total);
        ASSERT_EQ(total.text, c.total) << wide_to_utf8(all_text());
        EXPECT_EQ(total.colour, black);
        int width = 0;
        int height = 0;
        const auto pixels = platform::headless::window_pixels(window, width, height);
        for (int y = total.r.y; y < total.r.y + total.r.h; ++y) {
            for (const int x : {total.r.x, total.r.x + 3, total.r.x + total.r.w - 4, total.r.x + total.r.w - 1}) {
                EXPECT_NE(pixels.at(static_cast<std::size_t>(y) * width + x) & 0xFFFFFF, black) << x << "," << y;
            }
        }
    }
}

TEST_F(account_fixture, rating_total_is_0_without_values_and_a_failed_browser_is_logged) {
    ASSERT_NO_FATAL_FAILURE(open_account(true, full_session, ""));
    ASSERT_NO_FATAL_FAILURE(open_info());
    EXPECT_EQ(shown(L"0").colour, black);
    EXPECT_TRUE(is_shown(L"0"));

    zel::test::log_capture log;
    processes.set_starts_succeed(false);
    ASSERT_TRUE(tap_text(L"Новости"));
    ASSERT_EQ(processes.starts().size(), 1u);
    EXPECT_EQ(processes.starts()[0].arguments, std::vector<std::wstring>{panel_my_info::news_address()});
    EXPECT_NE(log.wide_text().find(L"news page: xdg-open could not be started"), std::wstring::npos) << log.text();
}

// --- the rating

TEST(rating_colour, follows_the_maximum_and_the_value) {
    struct colour_case {
        std::int32_t max;
        std::int32_t value;
        rgb colour;
    };
    const rgb g{106, 167, 82}, r{190, 48, 4}, y{251, 193, 0};
    const std::vector<colour_case> table = {
        {0, 0, g},   {-3, 0, g}, {0, 5, r},  {-1, -1, r}, {10, 0, r},  {1, 0, r},
        {10, 10, g}, {1, 1, g},  {10, 3, y}, {10, 11, y}, {10, -2, y},
    };
    for (const auto& c : table) {
        EXPECT_EQ(panel_my_rating::value_colour(c.max, c.value), c.colour) << c.max << " " << c.value;
    }
}

TEST_F(account_fixture, rating_rows_show_each_value_against_its_maximum) {
    ASSERT_NO_FATAL_FAILURE(open_account(true));
    ASSERT_NO_FATAL_FAILURE(open_info());
    ASSERT_TRUE(tap_text(L"Рейтинг"));
    ASSERT_EQ(current_panel_id(), panel_my_rating::id);
    ASSERT_EQ(panel<panel_my_rating>(panel_my_rating::id).row_count(), 5);

    // Rows in the store's order: name, value and "/max" with the value's colour.
    const std::vector<drawn_text> texts = screen_texts();
    struct row {
        std::wstring name, value, max;
        std::uint32_t colour;
    };
    const std::vector<row> rows = {{L"Вежливость", L"10", L"/10", green},
                                   {L"Пунктуальность", L"0", L"/10", red},
                                   {L"Жалобы", L"0", L"/0", green},
                                   {L"Заказы за неделю", L"60", L"/50", yellow},
                                   {L"Отказы", L"2", L"/0", red}};
    std::size_t at = 0;
    for (const row& expected : rows) {
        while (at < texts.size() && texts[at].text != expected.name) {
            ++at;
        }
        ASSERT_LT(at + 2, texts.size()) << wide_to_utf8(expected.name);
        EXPECT_EQ(texts[at].colour, white);
        EXPECT_TRUE(same_text(texts[at + 1].text, expected.max));
        EXPECT_EQ(texts[at + 1].colour, grey);
        EXPECT_TRUE(same_text(texts[at + 2].text, expected.value));
        EXPECT_EQ(texts[at + 2].colour, expected.colour) << wide_to_utf8(expected.name);
    }
    EXPECT_EQ(golden("account_rating"), "");
}

TEST_F(account_fixture, card_and_rating_read_the_store_at_show_only) {
    ASSERT_NO_FATAL_FAILURE(open_account(true));
    const auto receive = [&](const std::string& packet) {
        manager->post_command(ctl().store().process_packet(utf8_to_wide(packet)));
        run();
    };
    manager->push_panel(panel_balance::id);
    run();
    receive(R"({"session-param":{"balance":99.0}})");
    EXPECT_TRUE(is_shown(L"1234.6"));
    EXPECT_FALSE(is_shown(L"99.0"));
    manager->pop_panel();
    manager->push_panel(panel_balance::id);
    run();
    EXPECT_TRUE(is_shown(L"99.0"));

    manager->pop_panel();
    manager->push_panel(panel_my_rating::id);
    run();
    receive(R"({"riv":{"id":2,"v":7}})");
    EXPECT_FALSE(is_shown(L"7"));
    manager->pop_panel();
    manager->push_panel(panel_my_rating::id);
    run();
    EXPECT_EQ(shown(L"7").colour, yellow);
}

} // namespace
} // namespace zel::form::test
