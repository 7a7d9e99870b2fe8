#include "tests/form/order/orders_scene.h"

#include <algorithm>

#include "form/account/menu_button.h"
#include "form/account/panel_master_panel_2.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"

namespace zel::form::test {

orders_scene::orders_scene() = default;

orders_scene::~orders_scene() {
    close();
}

void orders_scene::counting_forwarder::post_command(const zel_api::update_mask& mask) {
    if (manager) {
        manager->post_command(mask);
    }
    if (mask.test(L"cmd-result") && mask.payload() && mask.payload()->cmd_name == L"login") {
        login_result = true;
    }
    ++forwarded;
}

void orders_scene::open_logged_in(const std::string& script, const std::map<std::string, std::string>& values,
                                  const platform::screen_size& screen) {
    screen_options options;
    options.screen = screen;
    options.dispatch_script = "tests/form/fixtures/" + script;
    options.values = values;
    open(options);
    forwarder_.manager = manager.get();
    listener.forward_to(&forwarder_);
    ASSERT_TRUE(reach_menu());
    log_in();
    // The harness's listener notes a mask before it hands it on: wait until the login's result is queued.
    ASSERT_TRUE(wait([&] { return forwarder_.login_result.load(); }, "the login's result"));
    run();
}

void orders_scene::server_step(int n) {
    const size_t before = forwarder_.forwarded.load();
    ctl().msg_read(n);
    ASSERT_TRUE(wait([&] { return forwarder_.forwarded.load() > before; }, "step " + std::to_string(n)));
    run();
}

void orders_scene::open_list(int mode) {
    auto& menu = static_cast<panel_master_panel_2&>(*manager->panel_for(manager_2::master_id));
    ASSERT_EQ(current_panel_id(), manager_2::master_id);
    const int number = mode == 1 ? 1 : mode == 2 ? 6 : 7;
    ASSERT_NE(menu.button(number), nullptr);
    // The login's result may still be on its way to the manager when log_in returns.
    ASSERT_TRUE(wait([&] { return menu.button(number)->is_visible() && menu.button(number)->is_enabled(); },
                     "the menu's orders button"));
    tap(*menu.button(number));
    ASSERT_EQ(current_panel_id(), panel_orders_list::id);
}

panel_orders_list& orders_scene::list() {
    return static_cast<panel_orders_list&>(*manager->panel_for(panel_orders_list::id));
}

std::vector<std::wstring> orders_scene::row_ids() {
    std::vector<std::wstring> ids;
    for (const auto& o : list().rows()) {
        ids.push_back(o->s_id);
    }
    return ids;
}

std::vector<std::wstring> orders_scene::shown_addresses() {
    std::vector<drawn_text> first_lines;
    for (const drawn_text& t : screen_texts()) {
        // Line 1 is the only white text 46 x scale high that starts at the text margin.
        if (t.colour == 0xFFFFFF && t.r.h == 46 && t.r.x == 12) {
            first_lines.push_back(t);
        }
    }
    std::stable_sort(first_lines.begin(), first_lines.end(),
                     [](const drawn_text& a, const drawn_text& b) { return a.r.y < b.r.y; });
    std::vector<std::wstring> out;
    for (const drawn_text& t : first_lines) {
        out.push_back(t.text);
    }
    return out;
}

std::uint32_t orders_scene::pixel(int x, int y, bool repaint) {
    if (repaint) {
        screen_texts();
    }
    int w = 0, h = 0;
    const auto pixels = platform::headless::window_pixels(window, w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") outside the window";
        return 0;
    }
    return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
}

::testing::AssertionResult orders_scene::wait(const std::function<bool()>& done, const std::string& what) {
    if (pump_until(done)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << what << " did not happen; the dispatch server's transcript:\n"
                                         << (dispatch_server ? dispatch_server->transcript() : std::string("none"));
}

::testing::AssertionResult same_text(const std::wstring& shown, const std::wstring& expected) {
    if (shown == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\n  shown:    " << wide_to_utf8(shown)
                                         << "\n  expected: " << wide_to_utf8(expected);
}

std::string joined(const std::vector<std::wstring>& texts) {
    std::string out;
    for (const std::wstring& t : texts) {
        out += (out.empty() ? "" : " | ") + wide_to_utf8(t);
    }
    return out;
}

} // namespace zel::form::test
