// The scene of the login screens' tests: the program's screens with a login server that names two dispatch
// servers ("Таксопарк (Город)", organisation 7, and "Второй парк" without a city, organisation 8; both the test's
// dispatch server), the way from the main menu to the start screen, the screens themselves, their rows' faces and
// what the dispatch server received.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/panel_login.h"
#include "form/account/panel_set_signcall.h"
#include "form/account/panel_start2.h"
#include "form/controls/image_button.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

// "obj-zero-params" as the login server sends it: with an SMS number, without one, or none at all.
inline const std::string zero_with_sms = R"({"obj-zero-params":{"sms":"+79000000000","sms-key":"K1"}})";
inline const std::string zero_without_sms = R"({"obj-zero-params":{"sms":"","sms-key":"K1"}})";
inline const std::string zero_none;

// The face of a row as the driver sees it.
enum class face { grey, yellow, green, other };

// The device's ids as the requests carry them: its serial number and its device id (the harness's device has a
// serial number).
std::string device_serial();
std::string device_id();

class login_scene : public ::testing::Test, public screen_harness {
protected:
    struct scene_options {
        // The dispatch server's script; empty: none.
        std::string dispatch_script;
        std::string zero = zero_with_sms;
        platform::screen_size screen{480, 800, 192};
        std::map<std::string, std::string> values;
        std::string login_script = "tests/form/fixtures/login_profile.script";
    };

    static scene_options with(std::string dispatch_script = "", std::string zero = zero_with_sms,
                              platform::screen_size screen = {480, 800, 192},
                              std::map<std::string, std::string> values = {}) {
        scene_options options;
        options.dispatch_script = std::move(dispatch_script);
        options.zero = std::move(zero);
        options.screen = screen;
        options.values = std::move(values);
        return options;
    }

    // Opens the scene (LOCAL_ID, MAIN_ID and VER set for the scripts) and waits for the main menu.
    void open_scene(const scene_options& options);
    // From the main menu through "Организация" to the start screen.
    void go_to_start();

    panel_start2& start() {
        return *static_cast<panel_start2*>(manager->panel_for(panel_start2::id));
    }
    panel_set_signcall& call_signs() {
        return *static_cast<panel_set_signcall*>(manager->panel_for(panel_set_signcall::id));
    }
    panel_login& pin_screen() {
        return *static_cast<panel_login*>(manager->panel_for(panel_login::id));
    }

    // The centre of a row of a list view (the first row at its top).
    point row_centre(const list_view& list, int row) const;
    // The face of the start screen's row, read from the window's pixels near the row's top.
    face row_face(int row);
    // Taps the keypad's key of that code.
    void tap_key(int code);

    // The whole window compared with tests/form/golden/NAME.png, the status strip's band blanked but for the
    // screen's own control drawn there (the strip is another screen with goldens of its own).
    std::string screen_golden(const std::string& name, const control* in_band = nullptr);
};

} // namespace zel::form::test
