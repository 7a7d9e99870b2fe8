#include "tests/form/account/shift_scene.h"

#include <algorithm>

namespace zel::form::test {

void shift_scene::open_on(const std::string& script, platform::screen_size screen,
                          const std::map<std::string, std::string>& values) {
    screen_options options;
    options.screen = screen;
    options.values = values;
    options.dispatch_script = "tests/form/fixtures/" + script;
    open(options);
}

void shift_scene::open_shifts(platform::screen_size screen) {
    ASSERT_NO_FATAL_FAILURE(open_on("shifts.script", screen));
    ASSERT_NO_FATAL_FAILURE(log_in());
}

void shift_scene::show_panel(int id) {
    manager->push_panel(id);
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == id; }));
}

void shift_scene::record_track_point() {
    gps::gps_fix fix;
    fix.valid = 1;
    fix.fix = 1;
    fix.latitude = 55.75;
    fix.longitude = 37.62;
    fix.satellites = 8;
    fix.pdop = 1.0f;
    fix.hdop = 1.0f;
    refresh_gps(fix);
}

void shift_scene::show_take_shift(int64_t shift_id) {
    manager->push_panel(15);
    manager->push_panel(panel_take_shift::id, make_number_param(shift_id));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_take_shift::id; }));
}

panel_take_shift& shift_scene::take_shift() {
    return static_cast<panel_take_shift&>(*manager->panel_for(panel_take_shift::id));
}

} // namespace zel::form::test
