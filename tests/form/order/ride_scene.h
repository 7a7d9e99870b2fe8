// The scene of the ride widgets' and ride lists' tests: the control scene's host screen (panel 5, its controls
// built by each test at show) on the headless display, but with the built default skin and the box font, and a
// record of every text drawn. The ride lists read the store through the controller, so a test may also
// connect(): a controller of the scene's own logs in on the test dispatch server, whose login answer carries
// the records the test gives, and becomes the process-wide controller. The stepped clock starts at the same
// instant as the screen tests' (07:05 at UTC+3 by the session's clock).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controller/controller.h"
#include "foundation/manual_clock.h"
#include "gps/gps_manager.h"
#include "tests/controller/controller_fixture.h"
#include "tests/form/controls/control_scene.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

class ride_scene : public control_scene {
protected:
    ride_scene();
    ~ride_scene() override;
    void SetUp() override;
    void TearDown() override;

    // Logs in on the test dispatch server; the login's answer carries `records` (JSON objects one after the
    // other). The controller stays the process-wide one until the test ends.
    void connect(const std::string& records);
    // Repaints the whole window and returns exactly the texts of that one paint.
    std::vector<drawn_text> screen_texts();
    // The texts of the last screen_texts() whose rectangle's centre lies in r, in drawing order.
    std::vector<std::wstring> texts_in(const std::vector<drawn_text>& texts, const rect& r) const;

    manual_clock clock;
    text_record text_log;
    std::unique_ptr<zel::test::test_peer> dispatch;
    controller_::test::recording_listener listener;
    std::unique_ptr<controller_::controller> ctl;

private:
    gps::manual_fix_source* fix_source_ = nullptr; // owned by the service
    gps::gps_manager gps_service_;
};

} // namespace zel::form::test
