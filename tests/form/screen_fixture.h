// What every screen test shares: the program's own panel manager with its real screens on the headless display,
// a controller of the test's that talks to the test servers on loopback, and records of what left the screens:
// the texts each paint drew, the programs started and the ends of the process.
//
// One screen_harness per test, built by open() on the UI thread (the test's thread), in this order: a program
// folder of its own with the built default skin, the stepped clock, the box font, an empty power-supply folder
// (mains, no battery: MORVIK_POWER_SUPPLY, which a power_supply built with the default root reads), a GPS
// service on a manual fix source (no refresh thread: the test calls refresh_gps), the recorder of
// process_control, the test servers, the window, the controller and the manager, both installed process-wide. The
// manager starts on the logo; its load thread asks the login server for the profile, whose end ("disconnect_global")
// brings the main menu.
//
// open() and log_in() end the test's part with a failure when a step fails: call them inside
// ASSERT_NO_FATAL_FAILURE to stop the test there.
//
// Threads: the controller's and the peers' threads post to the manager; everything else here runs on the test's
// thread. The text and process records take their own locks, as other threads may draw or start programs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controller/controller.h"
#include "form/controls/control.h"
#include "form/shell/manager_2.h"
#include "foundation/manual_clock.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"
#include "platform/process_control.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "tests/controller/controller_fixture.h"
#include "tests/controller/test_peer.h"
#include "tests/support/temp_app_folder.h"

namespace zel::form::test {

// One text as a paint drew it: its rectangle as given to the drawing, its colour as 0xRRGGBB.
struct drawn_text {
    std::wstring text;
    rect r;
    std::uint32_t colour = 0;
    UINT format = 0;
};

// Keeps every text drawn while it is installed.
// While it lives, fonts made draw and measure with the real font in place of the box font that the screens'
// tests use; installed() tells whether Wine's Tahoma is there to draw with (a test skips without it).
class real_font_scope {
public:
    real_font_scope();
    ~real_font_scope();
    real_font_scope(const real_font_scope&) = delete;
    real_font_scope& operator=(const real_font_scope&) = delete;
    static bool installed();

private:
    bool box_was_;
};

class text_record : public platform::text_recorder {
public:
    void drawn(const std::wstring& text, const RECT& rect, COLORREF colour, UINT format) override;
    std::vector<drawn_text> texts() const;
    void clear();

private:
    mutable std::mutex lock_;
    std::vector<drawn_text> texts_;
};

// process_control that notes its calls and returns: the test process survives an end of the program.
class process_recorder : public process_control {
public:
    struct start {
        std::wstring program;
        std::vector<std::wstring> arguments;
    };
    struct end {
        int exit_code = 0;
        // ".trk" files in the program folder's track folder when the end came: a flushed track left one.
        int track_files = 0;
    };

    bool start_program(const std::wstring& program, const std::vector<std::wstring>& arguments) override;
    void end_this_process(int exit_code) override;

    std::vector<start> starts() const;
    std::vector<end> ends() const;
    // What start_program answers (true: the program started).
    void set_starts_succeed(bool succeed);

private:
    mutable std::mutex lock_;
    std::vector<start> starts_;
    std::vector<end> ends_;
    bool starts_succeed_ = true;
};

// The login server's offer of an update (the UPDATE value of login_server.script): the version offered, "man"
// (0: a failed update ends the program), the folder on the FTP server; the host is the loopback FTP server.
std::string update_record(const std::string& version, int man = 1, const std::string& ftp_path = "");

struct screen_options {
    platform::screen_size screen{480, 800, 192};
    // The login server's script (relative to the source tree); empty: none listens, so the exchange fails
    // and the menu comes with no dispatch server known.
    std::string login_script = "tests/form/fixtures/login_server.script";
    // The dispatch server's script; empty: none (the login server then names a port where nothing listens).
    std::string dispatch_script = "tests/form/fixtures/dispatch_login.script";
    // --set values for both servers, beside DISPATCH (the dispatch server's port), which open() sets.
    std::map<std::string, std::string> values;
    // The dispatch server's keep-alive period in real milliseconds; 0: none. A test that rides the stepped
    // clock through minutes of a quiet link needs it, as a real server keeps its link alive: else the link
    // reaches its 31 s of silence just as the 31 s position report leaves, and a loaded machine may close it
    // before the report's answer comes.
    int keepalive_ms = 0;
};

class screen_harness {
public:
    screen_harness();
    virtual ~screen_harness();
    // Stops the controller, the manager (after its load thread), the window and the servers; uninstalls
    // everything open() installed. The destructor calls it.
    void close();

    // Builds the whole scene and starts the manager: the logo is current, nothing dispatched yet (once per
    // test). Servers and screen come from the options; DT, TZO and UPDATE default as the scripts expect.
    void open(const screen_options& options = {});
    // Dispatches until nothing is left.
    void run();
    // Dispatches until the condition holds, sleeping briefly between turns; false when the real-time limit
    // (a safety net for the peers' answers, not a timing) passed first.
    bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Pumps until the main menu is current (the login exchange is over).
    bool reach_menu();
    // Logs in with PIN "1234" and driver id 77 on the first dispatch server that the login server named, and
    // pumps until the controller is logged in and the manager has handled the "login" result.
    void log_in();

    // Starts the loopback FTP server (tests/controller/peers/ftp_server.py) on ftp_root, with its options
    // (--digest NAME=TEXT, --break-after N), and points the update's FTP port (MORVIK_FTP_PORT) at it.
    void start_ftp_server(const std::vector<std::string>& options = {});

    // Moves the stepped clock and the display's clock forward, then dispatches (due timers fire).
    void advance(std::chrono::milliseconds step);
    // One refresh step of the GPS service with this fix (the subscribers run on the test's thread).
    void refresh_gps(const gps::gps_fix& fix);

    // The finger: pen down and up at a point, or at the centre of a control's rectangle, each followed by a run.
    void tap(int x, int y);
    void tap(const control& c);
    // Taps the centre of the rectangle in which the whole screen's paint drew this text (the last one drawn
    // when several are); false, with a test failure, when no such text is shown.
    bool tap_text(const std::wstring& text);
    void press(int x, int y);
    void release(int x, int y);

    // The current panel's id (0 the logo, 2 the main menu, -2 the dialog ...), and the stack's top first.
    int current_panel_id() const;
    std::vector<int> stack_ids() const;

    // Texts drawn since the last clear (or since open).
    std::vector<drawn_text> texts() const;
    void clear_texts();
    // Repaints the whole window and returns exactly the texts of that one paint.
    std::vector<drawn_text> screen_texts();
    // The texts drawn since the last clear that equal the given one.
    std::vector<drawn_text> find_texts(const std::wstring& text) const;

    // Repaints the whole window and compares its pixels with tests/form/golden/NAME.png (empty when equal).
    std::string golden(const std::string& name);

    // Payloads of the commands the dispatch server received, in order (none without a dispatch server).
    std::vector<std::string> received() const;
    // Those whose text contains the piece.
    std::vector<std::string> received_containing(const std::string& piece) const;
    // Pumps until the server received exactly this payload; false (after the real-time limit) when it did not.
    bool wait_received(const std::string& payload);

    // Sounds the manager and the controller played, in order.
    std::vector<int> sounds() const;

    controller_::controller& ctl() {
        return *controller_;
    }

    zel::test::temp_app_folder folder;
    zel::test::temp_folder power_root;
    manual_clock clock;
    gps::manual_fix_source* fix_source = nullptr; // owned by the service
    gps::gps_manager gps_service;
    process_recorder processes;
    text_record text_log;
    // Every mask the controller posted, in order; each one is handed on to the manager.
    controller_::test::recording_listener listener;
    std::unique_ptr<zel::test::test_peer> login_server;
    std::unique_ptr<zel::test::test_peer> dispatch_server;
    // What the FTP server serves: the update's files go under public/pdaupdate/ unless the offer names a folder.
    zel::test::temp_folder ftp_root;
    std::unique_ptr<zel::test::test_peer> ftp_server;
    HWND window = nullptr;
    std::unique_ptr<manager_2> manager;

private:
    std::unique_ptr<controller_::controller> controller_;
    bool box_was_ = false;
    bool opened_ = false;
    mutable std::mutex sounds_lock_;
    std::vector<int> sounds_;
};

class screen_fixture : public ::testing::Test, public screen_harness {};

} // namespace zel::form::test
