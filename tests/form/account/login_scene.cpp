#include "tests/form/account/login_scene.h"

#include <cstdlib>
#include <fstream>

#include "api/command_names.h"
#include "form/controls/keypad.h"
#include "form/controls/list_view.h"
#include "foundation/device_info.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"

namespace zel::form::test {

namespace {

constexpr int master_id = manager_2::master_id;

} // namespace

std::string device_serial() {
    return "351234567890123"; // the harness's "profile.info"
}

std::string device_id() {
    if (const device_info* device = device_info::instance()) {
        return wide_to_utf8(device->device_id());
    }
    // Before the first harness of the process made the record: the same machine id gives the same device id.
    zel::test::temp_folder folder;
    std::ofstream(folder.path() / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    device_info::set_machine_id_files({folder.path() / "machine-id"});
    const std::string id = device_unique_id();
    device_info::set_machine_id_files({});
    return id;
}

void login_scene::open_scene(const scene_options& options) {
    screen_options settings;
    settings.screen = options.screen;
    settings.login_script = options.login_script;
    settings.dispatch_script = options.dispatch_script;
    settings.values = options.values;
    settings.values["ZERO"] = options.zero;
    settings.values["LOCAL_ID"] = device_serial();
    settings.values["MAIN_ID"] = device_id();
    settings.values["VER"] = wide_to_utf8(zel_api::program_version());
    open(settings);
    ASSERT_TRUE(reach_menu());
    ASSERT_EQ(ctl().get_device_servers().size(), 2u) << (login_server ? login_server->transcript() : "");
}

void login_scene::go_to_start() {
    ASSERT_EQ(current_panel_id(), master_id);
    ASSERT_TRUE(tap_text(L"Организация"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_start2::id; }));
    run();
}

point login_scene::row_centre(const list_view& list, int row) const {
    const rect& r = list.get_rect();
    const int h = list.source()->row_size(row).height;
    return {r.x + r.w / 2, r.y + row * h + h / 2};
}

face login_scene::row_face(int row) {
    screen_texts();
    int w = 0, h = 0;
    const auto pixels = platform::headless::window_pixels(window, w, h);
    const list_view& list = *start().list();
    const int row_h = list.source()->row_size(row).height;
    // Inside the row's frame, above its icon and text.
    const int x = list.get_rect().x + list.get_rect().w / 2;
    const int y = list.get_rect().y + row * row_h + 5 + 4;
    const std::uint32_t p = pixels.at(static_cast<std::size_t>(y * w + x));
    const int r = static_cast<int>(p >> 16 & 0xFF), g = static_cast<int>(p >> 8 & 0xFF), b = static_cast<int>(p & 0xFF);
    if (r > 180 && g > 140 && b < 80) {
        return face::yellow;
    }
    if (g > r + 30 && g > b + 30) {
        return face::green;
    }
    if (std::abs(r - g) < 16 && std::abs(g - b) < 16) {
        return face::grey;
    }
    return face::other;
}

void login_scene::tap_key(int code) {
    const rect& key = pin_screen().keys()->key_rect(code);
    tap(key.x + key.w / 2, key.y + key.h / 2);
}

std::string login_scene::screen_golden(const std::string& name, const control* in_band) {
    screen_texts();
    int w = 0, h = 0;
    auto pixels = platform::headless::window_pixels(window, w, h);
    const int band = manager->current_panel()->own_rect().y;
    const rect keep = in_band ? in_band->get_rect() : rect{};
    for (int y = 0; y < band && y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!(x >= keep.x && x < keep.x + keep.w && y >= keep.y && y < keep.y + keep.h)) {
                pixels[static_cast<std::size_t>(y * w + x)] = 0x404040;
            }
        }
    }
    return zel::test::compare_with_golden("tests/form/golden", name, w, h, pixels);
}

} // namespace zel::form::test
