// Registration over HTTP on the program's own screens, from the start screen's "Создать профиль": the country
// list, the telephone number and the code, against the loopback HTTP server (tests/controller/peers/
// http_server.py), which records every request and answers with its bodies in turn; goldens of the three
// screens in both shapes, and the hints' lines with the real font.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/panel_change_country.h"
#include "form/account/panel_http_reg_pincode.h"
#include "form/account/panel_http_reg_telephone.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/controls/list_view.h"
#include "form/controls/multiline_text.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/shell/dialog_request.h"
#include "foundation/device_info.h"
#include "foundation/text_utils.h"
#include "tests/form/account/login_scene.h"

namespace zel::form::test {
namespace {

constexpr int master_id = manager_2::master_id;
constexpr int country_id = panel_change_country::id;
constexpr int telephone_id = panel_http_reg_telephone::id;
constexpr int code_id = panel_http_reg_pincode::id;
constexpr int ok = keypad_dialog::ok_code;
constexpr int cancel = keypad_dialog::cancel_code;
constexpr int erase = 11;

const std::string accepted = R"({"status":"ok","text":"Устройство зарегистрировано","errors":[]})";
const std::string refused = R"({"status":"error","errors":[{"id":"1","text":"Неверный номер"}]})";
const std::string refused_twice =
    R"({"status":"error","errors":[{"id":"1","text":"Неверный номер"},{"id":"2","text":"Попробуйте позже"}]})";
const std::wstring unreachable = L"Не удается подключиться к серверу регистрации устройств.";

// The keypad code of a digit character.
int key_of(wchar_t digit) {
    return digit == L'0' ? 10 : digit - L'1';
}

class registration : public login_scene {
protected:
    ~registration() override {
        ::unsetenv("MORVIK_REG_HOST");
    }

    // The registration server answers with these bodies in turn; none: nothing listens. Before the scene opens,
    // as the controller reads MORVIK_REG_HOST when it is built.
    void serve(const std::vector<std::string>& bodies) {
        int port = zel::test::unused_port();
        if (!bodies.empty()) {
            std::vector<std::string> arguments{"--record", record.path().string()};
            for (const std::string& body : bodies) {
                arguments.push_back("--body");
                arguments.push_back(body);
            }
            http = std::make_unique<zel::test::test_peer>("tests/controller/peers/http_server.py", arguments);
            port = http->port();
        }
        ::setenv("MORVIK_REG_HOST", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    }

    // From the start screen's "Создать профиль" (no SMS number) to the country list.
    void open_countries(const std::vector<std::string>& bodies, platform::screen_size screen = {480, 800, 192}) {
        serve(bodies);
        ASSERT_NO_FATAL_FAILURE(open_scene(with("", zero_without_sms, screen)));
        ASSERT_NO_FATAL_FAILURE(go_to_start());
        tap(*start().create_profile_button());
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == country_id; }));
        run();
    }
    // The country list, then the country's row.
    void open_telephone(const std::vector<std::string>& bodies, int row = 0,
                        platform::screen_size screen = {480, 800, 192}) {
        ASSERT_NO_FATAL_FAILURE(open_countries(bodies, screen));
        const point centre = row_centre(*countries().list(), row);
        tap(centre.x, centre.y);
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
        run();
    }
    // The telephone screen with 9161234567 sent and accepted: the code screen.
    void open_code(const std::vector<std::string>& bodies, platform::screen_size screen = {480, 800, 192}) {
        ASSERT_NO_FATAL_FAILURE(open_telephone(bodies, 0, screen));
        type(L"9161234567");
        press_key(ok);
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == code_id; })) << requests();
        run();
    }

    panel_change_country& countries() {
        return *static_cast<panel_change_country*>(manager->panel_for(country_id));
    }
    panel_http_reg_telephone& telephone() {
        return *static_cast<panel_http_reg_telephone*>(manager->panel_for(telephone_id));
    }
    panel_http_reg_pincode& code() {
        return *static_cast<panel_http_reg_pincode*>(manager->panel_for(code_id));
    }
    // The keypad of the registration screen shown.
    keypad_dialog& keys() {
        auto* entry = dynamic_cast<panel_http_reg_entry*>(manager->current_panel());
        EXPECT_NE(entry, nullptr);
        return *entry->keys();
    }
    std::wstring field_text() {
        auto* entry = dynamic_cast<panel_http_reg_entry*>(manager->current_panel());
        return entry && entry->label() ? entry->label()->text() : L"<no field>";
    }

    void press_key(int code) {
        keypad_dialog& k = keys();
        const rect r = code == ok ? k.ok_rect() : code == cancel ? k.cancel_rect() : k.pad().key_rect(code);
        tap(r.x + r.w / 2, r.y + r.h / 2);
    }
    void type(const std::wstring& digits) {
        for (const wchar_t d : digits) {
            press_key(key_of(d));
        }
    }

    // The text of the message dialog on top; "<no dialog>" when none is.
    std::wstring dialog_text() {
        if (current_panel_id() != manager_2::dialog_id) {
            return L"<no dialog>";
        }
        const auto* request = param_as<dialog_request>(manager->top_panel().param.get());
        return request ? request->text : L"<no request>";
    }
    // Waits for the answer of the registration server (the dialog or the next screen) and the unlock.
    bool answered(int panel) {
        return pump_until([&] { return current_panel_id() == panel && manager->lock_count() == 0; });
    }

    // "request N GET PATH" lines of the HTTP server; its request N as received.
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const std::string& line : http ? http->lines("request ") : std::vector<std::string>{}) {
            const auto at = line.find(" GET ");
            out.push_back(at == std::string::npos ? line : line.substr(at + 5));
        }
        return out;
    }
    std::string requests() const {
        return http ? http->transcript() : std::string("no server");
    }
    std::string recorded(int n) const {
        std::ifstream in(record.path() / (std::to_string(n) + ".request"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    zel::test::temp_folder record;
    std::unique_ptr<zel::test::test_peer> http;
};

// --- country

TEST_F(registration, countries_are_the_seven_in_order_with_their_flags_and_a_row_opens_the_telephone_entry) {
    ASSERT_NO_FATAL_FAILURE(open_countries({}));
    EXPECT_EQ(stack_ids(), (std::vector<int>{country_id, panel_start2::id, master_id}));
    const std::vector<std::wstring> names = {L"Россия", L"Казахстан",  L"Белоруссия", L"Украина",
                                             L"США",    L"Португалия", L"Кыргызстaн"};
    const std::vector<int> flags = {2196, 2195, 2194, 2197, 2198, 2199, 2206};
    ASSERT_EQ(countries().row_count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(panel_change_country::country_name(i), names[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(panel_change_country::flag_image_id(i), flags[static_cast<std::size_t>(i)]) << i;
    }
    // The Kyrgyz name keeps its Latin "a".
    EXPECT_EQ(names[6][8], L'a');
    EXPECT_EQ(panel_change_country::country_name(7), L"");
    EXPECT_EQ(panel_change_country::flag_image_id(-1), 0);

    // The rows as drawn, top to bottom: the first ones, then the rest after scrolling down.
    auto drawn_names = [&] {
        std::vector<drawn_text> rows;
        for (const drawn_text& t : screen_texts()) {
            if (std::find(names.begin(), names.end(), t.text) != names.end()) {
                rows.push_back(t);
            }
        }
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.r.y < b.r.y; });
        std::vector<std::wstring> out;
        for (const auto& t : rows) {
            EXPECT_EQ(t.colour, 0xFFFFFFu) << wide_to_utf8(t.text);
            out.push_back(t.text);
        }
        return out;
    };
    const auto first = drawn_names();
    ASSERT_GE(first.size(), 5u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), names.begin()));
    EXPECT_EQ(screen_golden("registration_country"), "");
    for (int i = 0; i < 3; ++i) {
        countries().on_key_down_arrow();
    }
    const auto last = drawn_names();
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back(), names.back());
    for (int i = 0; i < 3; ++i) {
        countries().on_key_up_arrow();
    }

    // Kazakhstan: the telephone entry with index 1 and the Russian prefix.
    const point second = row_centre(*countries().list(), 1);
    tap(second.x, second.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    const auto* index = param_as<number_param>(manager->top_panel().param.get());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->value, 1);
    EXPECT_EQ(field_text(), L"+7");
    press_key(cancel);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == country_id; }));
    // Belarus.
    const point third = row_centre(*countries().list(), 2);
    tap(third.x, third.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    EXPECT_EQ(field_text(), L"+37");
}

// --- telephone

TEST(registration_number, prefixes_by_country_index) {
    const std::vector<std::pair<int, std::wstring>> cases = {{0, L"+7"},  {1, L"+7"},  {2, L"+37"}, {3, L"+38"},
                                                             {4, L"+1"},  {5, L"+35"}, {6, L"+99"}, {7, L"+7"},
                                                             {-1, L"+7"}, {100, L"+7"}};
    for (const auto& [index, prefix] : cases) {
        EXPECT_EQ(panel_http_reg_telephone::dialling_prefix(index), prefix) << index;
    }
}

// Typing and deleting over every length the fixed form passes through.
TEST(registration_number, typing_and_deleting_keep_the_fixed_form) {
    struct step {
        std::wstring before;
        int key;
        std::wstring after;
    };
    const std::vector<step> steps = {
        {L"", 8, L" (9"},
        {L" (9", 0, L" (91"},
        {L" (91", 5, L" (916) "},
        {L" (916) ", 0, L" (916) 1"},
        {L" (916) 1", 1, L" (916) 12"},
        {L" (916) 12", 2, L" (916) 123"},
        {L" (916) 123", 3, L" (916) 123-4"},
        {L" (916) 123-4", 4, L" (916) 123-45"},
        {L" (916) 123-45", 5, L" (916) 123-456"},
        {L" (916) 123-456", 6, L" (916) 123-4567"},
        {L" (916) 123-4567", 10, L" (916) 123-4567"}, // an eleventh digit
        {L" (916) 123-4567", 9, L" (916) 123-4567"},  // the point
        {L"", 9, L""},
        {L"", erase, L""},
        {L" (", erase, L" ("}, // below 3: nothing
        {L" (9", erase, L""},
        {L" (91", erase, L" (9"},
        {L" (916) ", erase, L" (91"},
        {L" (916) 1", erase, L" (916) "},
        {L" (916) 123-", erase, L" (916) 12"},
        {L" (916) 123-4", erase, L" (916) 123-"},
        {L" (916) 123-", 3, L" (916) 123-4"},
        {L" (916) 123-4567", erase, L" (916) 123-456"},
        {L" (916) 123-4567", ok, L" (916) 123-4567"},
    };
    for (const step& s : steps) {
        EXPECT_EQ(panel_http_reg_telephone::after_key(s.before, s.key), s.after)
            << "\"" << wide_to_utf8(s.before) << "\" key " << s.key;
    }
}

TEST_F(registration, the_number_goes_in_url_form_with_the_agent_and_an_accepted_one_opens_the_code_entry) {
    ASSERT_NO_FATAL_FAILURE(open_telephone({accepted}));
    EXPECT_EQ(field_text(), L"+7");
    type(L"916123");
    EXPECT_EQ(field_text(), L"+7 (916) 123");
    // Short of the whole number "Ок" does nothing.
    press_key(ok);
    run();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(current_panel_id(), telephone_id);
    type(L"45678");
    EXPECT_EQ(field_text(), L"+7 (916) 123-4567"); // the eleventh digit, 8, is ignored
    EXPECT_EQ(screen_golden("registration_telephone"), "");
    press_key(ok);
    ASSERT_TRUE(answered(code_id)) << requests();
    EXPECT_EQ(paths(), (std::vector<std::string>{"/pda/?id=%2b79161234567"}));
    EXPECT_NE(recorded(1).find("User-Agent: My_Agent\r\n"), std::string::npos) << recorded(1);
    const auto* number = param_as<text_param>(manager->top_panel().param.get());
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->value, L"%2b79161234567");
    EXPECT_EQ(stack_ids(), (std::vector<int>{code_id, telephone_id, country_id, panel_start2::id, master_id}));
}

// A refusal shows the server's texts, each followed by a blank; closing the dialog returns to the number as
// typed. A fresh entry from the country list starts empty.
TEST_F(registration, a_refusal_shows_the_error_texts_and_keeps_the_number) {
    ASSERT_NO_FATAL_FAILURE(open_telephone({refused_twice}));
    type(L"9161234567");
    press_key(ok);
    ASSERT_TRUE(answered(manager_2::dialog_id)) << requests();
    EXPECT_EQ(dialog_text(), L"Неверный номер Попробуйте позже ");
    ASSERT_TRUE(tap_text(L"Ok"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    run();
    EXPECT_EQ(field_text(), L"+7 (916) 123-4567");
    // Corrected and sent again.
    press_key(erase);
    press_key(key_of(L'8'));
    press_key(ok);
    ASSERT_TRUE(answered(manager_2::dialog_id)) << requests();
    EXPECT_EQ(paths(), (std::vector<std::string>{"/pda/?id=%2b79161234567", "/pda/?id=%2b79161234568"}));
    ASSERT_TRUE(tap_text(L"Ok"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    press_key(cancel);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == country_id; }));
    const point first = row_centre(*countries().list(), 0);
    tap(first.x, first.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    run();
    EXPECT_EQ(field_text(), L"+7");
    EXPECT_EQ(telephone().number(), L"");
}

TEST_F(registration, no_registration_server_shows_that_it_cannot_be_reached) {
    ASSERT_NO_FATAL_FAILURE(open_telephone({}));
    type(L"9161234567");
    press_key(ok);
    ASSERT_TRUE(answered(manager_2::dialog_id));
    EXPECT_EQ(dialog_text(), unreachable + L" ");
    ASSERT_TRUE(tap_text(L"Ok"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    EXPECT_EQ(field_text(), L"+7 (916) 123-4567");
}

// --- code

TEST(registration_code, params_name_the_device_by_its_serial_or_by_its_device_and_main_ids) {
    EXPECT_EQ(panel_http_reg_pincode::registration_params(L"A", L"B", L"M", L"code"), L"1;A;B;code;");
    EXPECT_EQ(panel_http_reg_pincode::registration_params(L"", L"A", L"B", L"code"), L"1;A;B;code;");
    EXPECT_EQ(panel_http_reg_pincode::registration_params(L"", L"A", L"", L"1234"), L"1;A;;1234;");
    EXPECT_EQ(panel_http_reg_pincode::percent_encode_base64(L"a+b/c=="), L"a%2Bb%2Fc%3D%3D");
    EXPECT_EQ(panel_http_reg_pincode::percent_encode_base64(L"MTtBO0I7"), L"MTtBO0I7");
}

TEST_F(registration, the_code_goes_with_the_percent_encoded_params_and_success_returns_to_the_start_screen) {
    ASSERT_NO_FATAL_FAILURE(open_code({accepted, accepted}));
    EXPECT_EQ(code().telephone(), L"%2b79161234567");
    EXPECT_EQ(field_text(), L"");
    // Delete on an empty code; "Ок" short of four digits; a fifth digit.
    press_key(erase);
    EXPECT_EQ(field_text(), L"");
    type(L"123");
    press_key(ok);
    run();
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(paths().size(), 1u);
    type(L"45");
    EXPECT_EQ(field_text(), L"1234");
    press_key(erase);
    press_key(erase);
    EXPECT_EQ(field_text(), L"12");
    EXPECT_EQ(screen_golden("registration_code"), "");
    type(L"34");

    press_key(ok);
    ASSERT_TRUE(answered(manager_2::dialog_id)) << requests();
    EXPECT_EQ(dialog_text(), L"Устройство зарегистрировано");
    // The harness's device has a serial number: it goes first, then the device id.
    const device_info* device = device_info::instance();
    ASSERT_NE(device, nullptr);
    ASSERT_FALSE(device->serial().empty());
    std::string params =
        wide_to_utf8(base64_encode_w(L"1;" + device->serial() + L";" + device->device_id() + L";1234;"));
    std::string encoded;
    for (const char ch : params) {
        encoded += ch == '+' ? "%2B" : ch == '/' ? "%2F" : ch == '=' ? "%3D" : std::string(1, ch);
    }
    const auto sent = paths();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], "/pda/?id=%2b79161234567&pass=1234&params=" + encoded);
    EXPECT_EQ(sent[1].find_first_of("+/=", sent[1].find("params=") + 7), std::string::npos) << sent[1];

    // "Ok" takes away the dialog and the three registration screens.
    ASSERT_TRUE(tap_text(L"Ok"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_start2::id; }));
    EXPECT_EQ(stack_ids(), (std::vector<int>{panel_start2::id, master_id}));
    EXPECT_EQ(manager->lock_count(), 0);
}

TEST_F(registration, a_refused_code_is_typed_again) {
    ASSERT_NO_FATAL_FAILURE(open_code({accepted, refused}));
    type(L"4321");
    press_key(ok);
    ASSERT_TRUE(answered(manager_2::dialog_id)) << requests();
    EXPECT_EQ(dialog_text(), L"Неверный номер ");
    ASSERT_TRUE(tap_text(L"Ok"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == code_id; }));
    run();
    EXPECT_EQ(field_text(), L"");
    EXPECT_EQ(code().code(), L"");
    EXPECT_EQ(stack_ids(), (std::vector<int>{code_id, telephone_id, country_id, panel_start2::id, master_id}));
    // "Отмена" goes back to the number, which starts empty.
    press_key(cancel);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    EXPECT_EQ(field_text(), L"+7");
}

// --- landscape

TEST_F(registration, landscape_entries_put_the_keypad_in_the_right_half) {
    ASSERT_NO_FATAL_FAILURE(open_telephone({accepted}, 0, {800, 480, 192}));
    EXPECT_TRUE(telephone().landscape());
    EXPECT_EQ(keys().get_rect(), telephone().right_half());
    const rect field = telephone().label()->get_rect();
    EXPECT_LE(field.x + field.w, telephone().left_half().x + telephone().left_half().w);
    type(L"9161234567");
    EXPECT_EQ(screen_golden("registration_telephone_landscape"), "");
    press_key(ok);
    ASSERT_TRUE(answered(code_id)) << requests();
    run();
    EXPECT_EQ(keys().get_rect(), code().right_half());
    type(L"12");
    EXPECT_EQ(screen_golden("registration_code_landscape"), "");
}

// --- with the real font

// Each registration screen's hint, wrapped with the real font at both sizes, keeps the field's padding from the
// sides of its area (on a landscape screen the left half, beside the keypad's "Ок"): its box lies that far
// inside, and every line measured in the hint's font fits the box.
class registration_hint : public registration, public ::testing::WithParamInterface<platform::screen_size> {
protected:
    void expect_hint_inside(const panel_http_reg_entry& entry) {
        const float s = manager->get_scale();
        const int p = scaled(10, s);
        const rect area = entry.landscape() ? entry.left_half() : entry.own_rect();
        const multiline_text& hint = *entry.hint();
        const rect box = hint.get_rect();
        EXPECT_GE(box.x, area.x + p);
        EXPECT_LE(box.x + box.w, area.x + area.w - p);
        ASSERT_GT(hint.lines().size(), 1u);
        const font_holder font(scaled(25, s), 400);
        for (const std::wstring& line : hint.lines()) {
            EXPECT_LE(text_extent(window, font, line).width, box.w) << wide_to_utf8(line);
        }
    }
};

TEST_P(registration_hint, TheHintsKeepClearOfTheSidesWithTheRealFont) {
    if (!real_font_scope::installed()) {
        GTEST_SKIP() << "Wine's Tahoma (fonts-wine) is not installed";
    }
    ASSERT_NO_FATAL_FAILURE(open_countries({accepted}, GetParam()));
    real_font_scope real;
    const point centre = row_centre(*countries().list(), 0);
    tap(centre.x, centre.y);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == telephone_id; }));
    run();
    {
        SCOPED_TRACE("telephone");
        expect_hint_inside(telephone());
    }
    type(L"9161234567");
    press_key(ok);
    ASSERT_TRUE(answered(code_id)) << requests();
    run();
    SCOPED_TRACE("code");
    expect_hint_inside(code());
}

INSTANTIATE_TEST_SUITE_P(sizes, registration_hint,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

} // namespace
} // namespace zel::form::test
