// What the status, exit and shift screens' tests share: a screen harness on a test dispatch server of
// tests/form/fixtures (shifts.script: four shifts on sale and the driver's purchases), the screens as the
// manager built them, and the commands that reached the server.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "form/account/panel_take_shift.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

class shift_scene : public screen_fixture {
public:
    // Opens the harness on shifts.script and logs in (the main menu is current).
    void open_shifts(platform::screen_size screen = platform::screen_size{480, 800, 192});
    // Opens the harness on this script of tests/form/fixtures (with these ${NAME} values), without logging in.
    void open_on(const std::string& script, platform::screen_size screen = platform::screen_size{480, 800, 192},
                 const std::map<std::string, std::string>& values = {});
    // Pushes the panel and pumps until it is current.
    void show_panel(int id);
    // One track point, so that a flushed track leaves a file.
    void record_track_point();
    // Pushes the shift list and over it the take-shift screen of the shift; pumps until that is current.
    void show_take_shift(int64_t shift_id);

    panel_take_shift& take_shift();
};

} // namespace zel::form::test
