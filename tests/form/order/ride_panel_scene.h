// The ride panel (24) and the bill (25) on the program's screens against the test dispatch server: the ride's
// order, the screen test that opens the ride after a real login (the close's answer, what comes between, a
// free ride, the keep-alives as the test chooses), the ride data files, the close's answers and a reading of
// a receiver on the ride's meridian.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "api/bill_record.h"
#include "api/command/received/order.h"
#include "api/command/sent/close_order.h"
#include "controller/order_close.h"
#include "form/controls/caption_radio_button.h"
#include "form/controls/list_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/order/bill_money.h"
#include "form/order/icon_button.h"
#include "form/order/panel_work_bill_hor.h"
#include "form/order/panel_work_execute.h"
#include "form/order/progress_switch.h"
#include "form/order/ride_areas_list.h"
#include "form/order/ride_rows_widget.h"
#include "form/order/taximeter_display.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_dialog_gui.h"
#include "foundation/app_paths.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/taximeter.h"
#include "gps/trip_data_file.h"
#include "platform/headless.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

// The ride's order: the driver's current order (list 4) with the client on board ("s" 8).
inline std::string ride_order(const std::string& extra = "") {
    return R"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15","af":{"t":"Ленина, 1"},"at":[{"t":"Мира, 5"}])" +
           extra + "}}";
}

class ride_panel_screen : public screen_fixture {
protected:
    void open_ride(const std::string& records, const std::string& session = "",
                   platform::screen_size screen = platform::screen_size{480, 800, 192}) {
        screen_options options;
        options.screen = screen;
        options.dispatch_script = !own_script.empty()    ? "tests/form/fixtures/" + own_script
                                  : free_rides           ? "tests/form/fixtures/ride_free.script"
                                  : !between.empty()     ? "tests/form/fixtures/ride_close_late.script"
                                  : close_answer.empty() ? "tests/form/fixtures/ride_login.script"
                                                         : "tests/form/fixtures/ride_close.script";
        options.values = more_values;
        options.values.insert(
            {{"RECORDS", records}, {"SESSION", session}, {"CLOSE_ANSWER", close_answer}, {"BETWEEN", between}});
        options.keepalive_ms = keepalive_ms;
        ASSERT_NO_FATAL_FAILURE(open(options));
        ASSERT_TRUE(reach_menu());
        ASSERT_NO_FATAL_FAILURE(log_in());
        manager->pop_to_first_quiet();
        manager->push_panel(panel_work_execute::id);
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_work_execute::id; }));
        run();
    }

    panel_work_execute& ride() {
        return static_cast<panel_work_execute&>(*manager->panel_for(panel_work_execute::id));
    }

    // Finishes the ride into the bill and taps "Завершить заказ".
    void finish_and_close() {
        ride().finish_ride();
        run();
        ASSERT_EQ(current_panel_id(), 25);
        EXPECT_TRUE(tap_text(L"Завершить заказ"));
        run();
    }

    // The text of the message box on top; empty when none is.
    std::wstring dialog_text() {
        if (current_panel_id() != manager_2::dialog_id) {
            return L"";
        }
        const auto* request = static_cast<panel_dialog_gui&>(*manager->panel_for(manager_2::dialog_id)).request();
        return request ? request->text : L"";
    }

    // How the test dispatch server answers "close-order"; empty: with a successful result only.
    std::string close_answer;
    // What the server pushes after "close-order" and before its answer; empty: nothing, the answer at once.
    std::string between;
    // The server answers work with the taximeter with a free ride, as the trial's server does.
    bool free_rides = false;
    // The server's keep-alive period (ms of real time); 0: none.
    int keepalive_ms = 0;
    // A script of the test's own (below tests/form/fixtures) in place of the ones above, and its own values.
    std::string own_script;
    std::map<std::string, std::string> more_values;
};

// Files of one extension in the ride data folder.
inline std::vector<std::filesystem::path> trip_files(const std::filesystem::path& folder,
                                                     const std::string& extension) {
    std::vector<std::filesystem::path> found;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == extension) {
                found.push_back(entry.path());
            }
        }
    }
    return found;
}

// The answers to "close-order" of the close tests.
inline const std::string removed_and_closed =
    R"({"odel":{"l-type":4,"s-ids":["R-1"]}}{"cmd-result":{"cmd-name":"close-order","ok":1}})";
inline const std::string refused = R"({"cmd-result":{"cmd-name":"close-order","ok":0,"err":"Заказ не закрыт"}})";

// A reading of a receiver on a meridian, `metres` north of the ride's start, at `speed` km/h.
inline gps::gps_fix fix_at(double metres, double speed) {
    gps::gps_fix f;
    f.valid = 1;
    f.fix = 1;
    f.fix_3d = 1;
    f.satellites = 9;
    f.pdop = 1.4f;
    f.hdop = 0.9f;
    f.latitude = 55.75 + metres / 111195.0;
    f.longitude = 37.62;
    f.speed = speed;
    return f;
}

} // namespace zel::form::test
