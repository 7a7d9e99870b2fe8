#include "app/step_mode.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <memory>

#include "app/pinned_clock.h"
#include "app/screen_texts.h"
#include "app/step_file.h"
#include "app/step_runner.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/gps_device.h"
#include "gps/gps_manager.h"
#include "platform/headless.h"
#include "platform/process_control.h"
#include "platform/screen.h"
#include "platform/text.h"

namespace zel::app {

namespace {

// Takes standard input and output for the route alone: programs the terminal starts (a navigator, a browser) get
// /dev/null as input and the log as output, so they can neither eat a route line nor add a line of their own,
// nor keep the runner's pipe open after the terminal has ended. -1 for a descriptor that is not open.
void take_route_channel(int& in, int& out) {
    in = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC); nothing >= 0) {
        ::dup2(nothing, STDIN_FILENO);
        ::close(nothing);
    }
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
}

} // namespace

gps::gps_timing step_mode_gps_timing() {
    using std::chrono::milliseconds;
    gps::gps_timing timing;
    timing.poll_period = milliseconds(10);
    timing.port_settle = milliseconds(5);
    timing.pair_wait = milliseconds(500);
    timing.reader_stop_pause = milliseconds(5);
    timing.read_pause = milliseconds(2);
    return timing;
}

int run_step_mode(const std::string& step_file_path) {
    ::signal(SIGPIPE, SIG_IGN);
    logger::create(0);
    const step_file file = step_file::read(step_file_path);
    if (!file.error().empty()) {
        log(logger::error, utf8_to_wide(file.error()));
        process_control::current().end_this_process(3);
        return 3;
    }
    step_runner::parts parts;
    take_route_channel(parts.route_in, parts.route_out);
    platform::headless::start(platform::current_screen());

    auto* wall = new pinned_clock(file.start_seconds());
    clock::set_source(wall);
    auto device = std::make_unique<gps::gps_device>(step_mode_gps_timing());
    gps::gps_device* receiver = device.get();
    auto* gps_service = new gps::gps_manager(std::move(device), {std::chrono::milliseconds(1000), false});
    gps::gps_manager::set_instance(gps_service);
    auto* texts = new screen_texts;
    platform::set_text_recorder(texts);

    if (!form::start_program(nullptr)) {
        return 0;
    }
    parts.window = form::main_manager()->get_hwnd();
    parts.clock = wall;
    parts.gps = gps_service;
    parts.receiver = receiver;
    parts.texts = texts;
    step_runner(file.steps(), parts).run();
    return 0;
}

} // namespace zel::app
