#include "app/step_mode.h"

#include <signal.h>
#include <stdlib.h>

#include <memory>

#include "app/pinned_clock.h"
#include "app/screen_texts.h"
#include "app/step_file.h"
#include "app/step_runner.h"
#include "form/main_window.h"
#include "form/manager_2.h"
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
    logger::create(0);
    const step_file file = step_file::read(step_file_path);
    if (!file.error().empty()) {
        log(logger::error, utf8_to_wide(file.error()));
        process_control::current().end_this_process(3);
        return 3;
    }
    ::signal(SIGPIPE, SIG_IGN);
    ::setenv("MORVIK_DISPLAY", "headless", 1);
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
    step_runner::parts parts;
    parts.window = form::main_manager()->get_hwnd();
    parts.clock = wall;
    parts.gps = gps_service;
    parts.receiver = receiver;
    parts.texts = texts;
    step_runner(file.steps(), parts).run();
    return 0;
}

} // namespace zel::app
