// The main window as the program runs it: each case forks a child that sets up a program folder of its own,
// starts the window shell on the headless display with a controller made from the deployment values (login
// servers on loopback) and reports back through a pipe; the parent checks the report, the exit status and
// the child's log.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "controller/controller.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_base.h"
#include "foundation/app_paths.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"
#include "platform/headless.h"
#include "platform/named_event.h"
#include "tests/controller/controller_fixture.h"
#include "tests/support/temp_folder.h"

namespace zel::form::test {
namespace {

namespace headless = platform::headless;
using zel::test::temp_folder;

// The child's side of the pipe: one line per report.
class reporter {
public:
    explicit reporter(int fd) : fd_(fd) {}
    void line(const std::string& text) const {
        const std::string l = text + "\n";
        [[maybe_unused]] auto written = ::write(fd_, l.data(), l.size());
    }

private:
    int fd_;
};

struct child {
    pid_t pid = -1;
    int from_child = -1;

    // The next reported line (empty at the end of the child's output).
    std::string read_line() const {
        std::string l;
        char c = 0;
        while (::read(from_child, &c, 1) == 1) {
            if (c == '\n') {
                return l;
            }
            l += c;
        }
        return l;
    }
    // The exit status, or -signal.
    int wait() {
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(from_child);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
};

// Sets the child up as a program in the folder: its identity files, a GPS service that searches nothing, the
// uploads and login servers on loopback, the headless display and a log file.
void prepare_program(const std::filesystem::path& folder, const std::string& login_servers) {
    set_app_folder(folder.wstring());
    std::ofstream(folder / "profile.info") << "351234567890123";
    std::ofstream(folder / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    device_info::set_machine_id_files({folder / "machine-id"});
    auto* gps_service =
        new gps::gps_manager(std::make_unique<gps::manual_fix_source>(), {std::chrono::milliseconds(1000), false});
    gps::gps_manager::set_instance(gps_service);
    ::setenv("MORVIK_API_HOST", ("127.0.0.1:" + std::to_string(controller_::test::unused_port())).c_str(), 1);
    ::setenv("MORVIK_LOGIN_SERVERS", login_servers.c_str(), 1);
    ::setenv("MORVIK_RUNTIME_DIR", folder.c_str(), 1);
    headless::start();
    logger::create(0);
    logger::instance()->set_output_fd(::open((folder / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
}

// Forks; the child runs body and ends with its result (body may end the process itself).
child fork_child(const std::function<int(const reporter&)>& body) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    child c;
    c.pid = ::fork();
    if (c.pid == 0) {
        ::close(fds[0]);
        const reporter out(fds[1]);
        int code = 99;
        try {
            code = body(out);
        } catch (...) {
            out.line("exception");
        }
        _exit(code);
    }
    ::close(fds[1]);
    c.from_child = fds[0];
    return c;
}

// Dispatches until the manager shows the panel (a safety net: the login exchange answers from its thread).
bool run_until_panel(int id) {
    for (int i = 0; i < 3000; ++i) {
        headless::run_until_idle();
        manager_2* m = main_manager();
        if (m && m->current_panel() && m->current_panel()->panel_id() == id) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string unused_login_server() {
    return "127.0.0.1:" + std::to_string(controller_::test::unused_port());
}

TEST(main_window, LogsKeysUnknownMessagesAndAnEmptyPaintThatStillCountsAsActivity) {
    temp_folder folder;
    child c = fork_child([&](const reporter& out) {
        prepare_program(folder.path(), unused_login_server());
        out.line("init " + std::to_string(init_instance(nullptr)));
        out.line(run_until_panel(2) ? "panel 2" : "no panel 2");
        HWND window = FindWindowW(L"PDACLIENT", L"Morvik");
        headless::key_up(VK_RETURN);
        PostMessageW(window, 70, 0, 0);
        headless::run_until_idle();
        const int backlight = platform::event_set_count(L"BackLightChangeEvent");
        const int activity = platform::event_set_count(L"PowerManager/ReloadActivityTimeouts");
        PostMessageW(window, WM_PAINT, 0, 0); // nothing invalid
        headless::run_until_idle();
        out.line("events " + std::to_string(platform::event_set_count(L"BackLightChangeEvent") - backlight) + " " +
                 std::to_string(platform::event_set_count(L"PowerManager/ReloadActivityTimeouts") - activity));
        return 0;
    });
    EXPECT_EQ(c.read_line(), "init 1");
    EXPECT_EQ(c.read_line(), "panel 2");
    EXPECT_EQ(c.read_line(), "events 1 1");
    EXPECT_EQ(c.wait(), 0);
    const std::string log = folder.read("log");
    EXPECT_NE(log.find("] : WM_CREATE\n"), std::string::npos);
    EXPECT_NE(log.find("] : WM_KEYUP13\n"), std::string::npos);
    EXPECT_NE(log.find("] : default:70\n"), std::string::npos);
    const size_t last_paint = log.rfind("paint time = ");
    ASSERT_NE(last_paint, std::string::npos);
    EXPECT_NE(
        log.find("\n\tpaint rect.x = 0\n\tpaint rect.y = 0\n\tpaint rect.w = 0\n\tpaint rect.h = 0\n", last_paint),
        std::string::npos)
        << log.substr(last_paint);
}

TEST(main_window, ClosingEndsTheProcessWithZeroAfterFlushingTheTrack) {
    struct close_case {
        const char* how;
        int signal_number; // 0: the window is closed
    };
    for (const close_case& k :
         {close_case{"window closed", 0}, close_case{"SIGINT", SIGINT}, close_case{"SIGTERM", SIGTERM}}) {
        SCOPED_TRACE(k.how);
        temp_folder folder;
        child c = fork_child([&](const reporter& out) {
            prepare_program(folder.path(), unused_login_server());
            if (!init_instance(nullptr) || !run_until_panel(2)) {
                return 2;
            }
            gps::location fix;
            fix.accuracy = 5.0f;
            fix.latitude = 55.7;
            fix.longitude = 37.6;
            controller_::controller::instance()->on_gps_position(fix); // a point the recorder holds
            log(logger::info, L"closing now");
            if (k.signal_number == 0) {
                headless::close_window();
            }
            out.line("ready");
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0)) {
                DispatchMessageW(&msg);
            }
            return 3; // the loop must not end
        });
        EXPECT_EQ(c.read_line(), "ready");
        if (k.signal_number != 0) {
            ::kill(c.pid, k.signal_number);
        }
        EXPECT_EQ(c.wait(), 0);
        const std::string log = folder.read("log");
        const size_t closing = log.find("closing now");
        ASSERT_NE(closing, std::string::npos);
        EXPECT_EQ(log.find("WM_CLOSE", closing), std::string::npos);
        EXPECT_EQ(log.find("default:16", closing), std::string::npos);
        bool track = false;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
            track = track || entry.path().extension() == ".trk";
        }
        EXPECT_TRUE(track) << "no track file written at close";
    }
}

TEST(main_window, ASecondStartReturnsZeroWithoutASecondManager) {
    temp_folder folder;
    child c = fork_child([&](const reporter& out) {
        prepare_program(folder.path(), unused_login_server());
        out.line("first " + std::to_string(init_instance(nullptr)));
        manager_2* first = main_manager();
        out.line("second " + std::to_string(init_instance(nullptr)));
        out.line(main_manager() == first ? "same manager" : "another manager");
        return 0;
    });
    EXPECT_EQ(c.read_line(), "first 1");
    EXPECT_EQ(c.read_line(), "second 0");
    EXPECT_EQ(c.read_line(), "same manager");
    EXPECT_EQ(c.wait(), 0);
    EXPECT_EQ(folder.read("log").find("WM_CREATE"), folder.read("log").rfind("WM_CREATE"));
}

TEST(main_window, StartsFromTheLogoToTheMainMenuThroughTheLoginServers) {
    temp_folder folder;
    auto server = controller_::test::dispatch_server("login_server.script",
                                                     {{"DISPATCH", std::to_string(controller_::test::unused_port())}});
    child c = fork_child([&](const reporter& out) {
        prepare_program(folder.path(), "127.0.0.1:" + std::to_string(server->port()));
        init_instance(nullptr);
        out.line("logo " + std::to_string(main_manager()->current_panel()->panel_id()));
        out.line(run_until_panel(2) ? "panel 2" : "no panel 2");
        out.line("stack " + std::to_string(main_manager()->stack().size()) + " " +
                 std::to_string(main_manager()->stack().front().id));
        out.line(std::filesystem::exists(folder.path() / "cache" / "servers") ? "servers written" : "no servers file");
        return 0;
    });
    EXPECT_EQ(c.read_line(), "logo 0");
    EXPECT_EQ(c.read_line(), "panel 2");
    EXPECT_EQ(c.read_line(), "stack 1 2");
    EXPECT_EQ(c.read_line(), "servers written");
    EXPECT_EQ(c.wait(), 0);
    controller_::test::expect_script_done(*server);
}

} // namespace
} // namespace zel::form::test
