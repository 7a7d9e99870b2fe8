#include "tests/form/screen_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "api/command_names.h"
#include "controller/server_address.h"
#include "form/shell/main_window.h"
#include "form/shell/panel_base.h"
#include "foundation/app_paths.h"
#include "foundation/device_info.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/headless.h"
#include "platform/text/font_engine.h"
#include "platform/window.h"
#include "tests/support/dispatch_peer.h"
#include "tests/support/golden.h"

namespace zel::form::test {

real_font_scope::real_font_scope() : box_was_(platform::box_font()) {
    platform::set_box_font(false);
}

real_font_scope::~real_font_scope() {
    platform::set_box_font(box_was_);
}

bool real_font_scope::installed() {
    platform::font_engine& engine = platform::font_engine::instance();
    std::lock_guard<std::mutex> lock(engine.lock());
    return engine.resolve("Tahoma", true).find("tahomabd.ttf") != std::string::npos;
}

namespace fs = std::filesystem;
using controller_::controller;

namespace {

// The program's own procedure, without its start-up: the harness builds the manager and the controller itself.
LRESULT screen_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        return 0;
    }
    return main_window_proc(window, message, wparam, lparam);
}

int track_files() {
    int count = 0;
    std::error_code error;
    for (fs::directory_iterator it(app_file(L"\\track"), error), end; !error && it != end; it.increment(error)) {
        count += it->path().extension() == ".trk" ? 1 : 0;
    }
    return count;
}

} // namespace

std::string update_record(const std::string& version, int man, const std::string& ftp_path) {
    return R"({"obj-update":{"device-type":1,"version":")" + version + R"(","srv-ftp":"127.0.0.1","ftp-path":")" +
           ftp_path + R"(","man":)" + std::to_string(man) + "}}";
}

// --- records

void text_record::drawn(const std::wstring& text, const RECT& r, COLORREF colour, UINT format) {
    const std::uint32_t rgb_colour =
        static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    std::lock_guard guard(lock_);
    texts_.push_back({text, rect{r.left, r.top, r.right - r.left, r.bottom - r.top}, rgb_colour, format});
}

std::vector<drawn_text> text_record::texts() const {
    std::lock_guard guard(lock_);
    return texts_;
}

void text_record::clear() {
    std::lock_guard guard(lock_);
    texts_.clear();
}

bool process_recorder::start_program(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    std::lock_guard guard(lock_);
    starts_.push_back({program, arguments});
    return starts_succeed_;
}

void process_recorder::end_this_process(int exit_code) {
    const int files = track_files();
    std::lock_guard guard(lock_);
    ends_.push_back({exit_code, files});
}

std::vector<process_recorder::start> process_recorder::starts() const {
    std::lock_guard guard(lock_);
    return starts_;
}

std::vector<process_recorder::end> process_recorder::ends() const {
    std::lock_guard guard(lock_);
    return ends_;
}

void process_recorder::set_starts_succeed(bool succeed) {
    std::lock_guard guard(lock_);
    starts_succeed_ = succeed;
}

// --- building and closing

screen_harness::screen_harness()
    : gps_service(controller_::test::new_fix_source(fix_source), {std::chrono::milliseconds(1000), false}) {}

screen_harness::~screen_harness() {
    close();
}

void screen_harness::open(const screen_options& options) {
    ASSERT_FALSE(opened_) << "open() once per test";
    opened_ = true;
    // The built default skin, as the program finds it beside itself.
    fs::create_directory_symlink(MORVIK_SKIN_DIR, folder.path() / "skin");
    // The device's identity is made once per process; this one has a serial number and a machine id.
    std::ofstream(folder.path() / "profile.info") << "351234567890123";
    std::ofstream(folder.path() / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    device_info::set_machine_id_files({folder.path() / "machine-id"});
    device_info::create(nullptr);
    box_was_ = platform::box_font();
    platform::set_box_font(true);
    ::setenv("MORVIK_POWER_SUPPLY", power_root.path().c_str(), 1);
    // The track and trip-data uploads stay on loopback, where nothing answers.
    ::setenv("MORVIK_API_HOST", ("127.0.0.1:" + std::to_string(zel::test::unused_port())).c_str(), 1);
    gps::gps_manager::set_instance(&gps_service);
    process_control::install(&processes);
    platform::set_text_recorder(&text_log);

    std::map<std::string, std::string> values = options.values;
    // The session's clock: 07:05 at UTC+3 when the stepped clock starts; no update offered.
    values.emplace("DT", "1600056300000");
    values.emplace("TZO", "10800000");
    values.emplace("UPDATE", "");
    if (!options.dispatch_script.empty()) {
        dispatch_server = zel::test::dispatch_server(options.dispatch_script, values, options.keepalive_ms);
    }
    values["DISPATCH"] = std::to_string(dispatch_server ? dispatch_server->port() : zel::test::unused_port());
    if (!options.login_script.empty()) {
        login_server = zel::test::dispatch_server(options.login_script, values);
    }

    platform::headless::start(options.screen);
    WNDCLASSW wc{};
    wc.lpfnWndProc = screen_window_proc;
    wc.lpszClassName = L"SCREENTEST";
    RegisterClassW(&wc); // a second registration in the same process fails harmlessly
    window = CreateWindowExW(0, L"SCREENTEST", L"Morvik", WS_VISIBLE, 0, 0, options.screen.width, options.screen.height,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);

    controller::options settings;
    const int login_port = login_server ? login_server->port() : zel::test::unused_port();
    settings.login_servers = {{L"127.0.0.1", std::to_wstring(login_port)}};
    // The registration server of MORVIK_REG_HOST when the test set one, else a port where nothing listens.
    settings.registration = std::getenv("MORVIK_REG_HOST")
                                ? controller_::registration_server()
                                : controller_::registration_host{L"127.0.0.1", zel::test::unused_port()};
    settings.play_sound = [this](int id) {
        std::lock_guard guard(sounds_lock_);
        sounds_.push_back(id);
    };
    controller_ = std::make_unique<controller>(&listener, std::move(settings));
    controller::set_instance(controller_.get());

    manager = std::make_unique<manager_2>(window, manager_2::default_table());
    manager->set_sound([this](int id) {
        std::lock_guard guard(sounds_lock_);
        sounds_.push_back(id);
    });
    set_main_manager(manager.get());
    listener.forward_to(manager.get());
    manager->start();
    manager->await_load();
}

void screen_harness::close() {
    listener.forward_to(nullptr);
    controller_.reset();
    controller::set_instance(nullptr);
    if (manager) {
        manager->await_load();
    }
    set_main_manager(nullptr);
    manager.reset();
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
    if (opened_) {
        opened_ = false;
        platform::set_text_recorder(nullptr);
        process_control::install(nullptr);
        gps::gps_manager::set_instance(nullptr);
        ::unsetenv("MORVIK_API_HOST");
        ::unsetenv("MORVIK_POWER_SUPPLY");
        platform::set_box_font(box_was_);
    }
    if (ftp_server) {
        ::unsetenv("MORVIK_FTP_PORT");
    }
    login_server.reset();
    dispatch_server.reset();
    ftp_server.reset();
}

void screen_harness::start_ftp_server(const std::vector<std::string>& options) {
    std::vector<std::string> arguments{"--root", ftp_root.path().string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ftp_server = std::make_unique<zel::test::test_peer>("tests/controller/peers/ftp_server.py", arguments);
    ::setenv("MORVIK_FTP_PORT", std::to_string(ftp_server->port()).c_str(), 1);
}

// --- pumping and time

void screen_harness::run() {
    platform::headless::run_until_idle();
}

bool screen_harness::pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        run();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool screen_harness::reach_menu() {
    return pump_until([&] { return current_panel_id() == manager_2::master_id; });
}

void screen_harness::log_in() {
    ASSERT_TRUE(reach_menu()) << "the login exchange did not end";
    ASSERT_FALSE(ctl().get_device_servers().empty()) << "the login server named no dispatch server";
    ctl().connect_org(0, L"1234", 77);
    ASSERT_TRUE(pump_until([&] { return ctl().is_logged_in() && listener.results(zel_api::login_name()) > 0; }))
        << (dispatch_server ? dispatch_server->transcript() : std::string("no dispatch server"));
    run();
}

void screen_harness::advance(std::chrono::milliseconds step) {
    clock.advance_ms(step.count());
    platform::headless::advance(static_cast<std::uint32_t>(step.count()));
    run();
}

void screen_harness::refresh_gps(const gps::gps_fix& fix) {
    fix_source->set(fix);
    gps_service.refresh_once();
    run();
}

// --- the finger

void screen_harness::press(int x, int y) {
    platform::headless::pen_down(x, y);
    run();
}

void screen_harness::release(int x, int y) {
    platform::headless::pen_up(x, y);
    run();
}

void screen_harness::tap(int x, int y) {
    press(x, y);
    release(x, y);
}

void screen_harness::tap(const control& c) {
    const rect& r = c.get_rect();
    tap(r.x + r.w / 2, r.y + r.h / 2);
}

// --- what the screen shows

int screen_harness::current_panel_id() const {
    const panel_base* current = manager ? manager->current_panel() : nullptr;
    return current ? current->panel_id() : -1000;
}

std::vector<int> screen_harness::stack_ids() const {
    std::vector<int> ids;
    for (const panel_entry& e : manager->stack()) {
        ids.push_back(e.id);
    }
    return ids;
}

std::vector<drawn_text> screen_harness::texts() const {
    return text_log.texts();
}

void screen_harness::clear_texts() {
    text_log.clear();
}

std::vector<drawn_text> screen_harness::screen_texts() {
    run();
    text_log.clear();
    InvalidateRect(window, nullptr, FALSE);
    run();
    return text_log.texts();
}

std::vector<drawn_text> screen_harness::find_texts(const std::wstring& text) const {
    std::vector<drawn_text> found;
    for (const drawn_text& t : text_log.texts()) {
        if (t.text == text) {
            found.push_back(t);
        }
    }
    return found;
}

bool screen_harness::tap_text(const std::wstring& text) {
    std::optional<drawn_text> found;
    for (const drawn_text& t : screen_texts()) {
        if (t.text == text) {
            found = t;
        }
    }
    if (!found) {
        ADD_FAILURE() << "no text \"" << wide_to_utf8(text) << "\" on the screen";
        return false;
    }
    tap(found->r.x + found->r.w / 2, found->r.y + found->r.h / 2);
    return true;
}

std::string screen_harness::golden(const std::string& name) {
    run();
    InvalidateRect(window, nullptr, FALSE);
    run();
    int w = 0, h = 0;
    const auto pixels = platform::headless::window_pixels(window, w, h);
    return zel::test::compare_with_golden("tests/form/golden", name, w, h, pixels);
}

// --- what the servers received

std::vector<std::string> screen_harness::received() const {
    return dispatch_server ? zel::test::received_commands(*dispatch_server) : std::vector<std::string>{};
}

std::vector<std::string> screen_harness::received_containing(const std::string& piece) const {
    std::vector<std::string> found;
    for (const std::string& payload : received()) {
        if (payload.find(piece) != std::string::npos) {
            found.push_back(payload);
        }
    }
    return found;
}

bool screen_harness::wait_received(const std::string& payload) {
    return pump_until([&] {
        const auto all = received();
        return std::find(all.begin(), all.end(), payload) != all.end();
    });
}

std::vector<int> screen_harness::sounds() const {
    std::lock_guard guard(sounds_lock_);
    return sounds_;
}

} // namespace zel::form::test
