#include "app/step_runner.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <optional>
#include <thread>

#include "app/pinned_clock.h"
#include "form/order/taximeter_display.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_base.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/fix_source.h"
#include "gps/gps_manager.h"
#include "platform/headless.h"
#include "platform/process_control.h"
#include "platform/window.h"

namespace zel::app {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int failed_exit_code = 3;
constexpr int ran_out_exit_code = 4;
constexpr milliseconds check_pause{5};
constexpr int64_t virtual_step_ms = 1000;
constexpr double position_tolerance = 0.00001; // degrees
constexpr std::size_t max_route_line = 200;

std::string quoted(const std::wstring& text) {
    std::string out = "\"";
    out += wide_to_utf8(text);
    out += '"';
    return out;
}

std::string seconds_text(milliseconds limit) {
    const int64_t ms = limit.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        text += "." + fraction;
    }
    return text + " s";
}

int shown_panel_id() {
    form::manager_2* manager = form::main_manager();
    const form::panel_base* panel = manager ? manager->current_panel() : nullptr;
    return panel ? panel->panel_id() : -1000;
}

// "LAT LON" in decimal degrees, blanks around and between.
std::optional<std::pair<double, double>> position_of(const std::string& line) {
    double values[2] = {};
    const char* at = line.data();
    const char* const end = line.data() + line.size();
    for (double& value : values) {
        while (at < end && (*at == ' ' || *at == '\t')) {
            ++at;
        }
        const auto [stop, error] = std::from_chars(at, end, value);
        if (error != std::errc() || !std::isfinite(value)) {
            return std::nullopt;
        }
        at = stop;
    }
    while (at < end && (*at == ' ' || *at == '\t')) {
        ++at;
    }
    if (at != end || std::fabs(values[0]) > 90 || std::fabs(values[1]) > 180) {
        return std::nullopt;
    }
    return std::make_pair(values[0], values[1]);
}

} // namespace

step_runner::step_runner(std::vector<step> steps, parts with)
    : steps_(std::move(steps)), parts_(with), route_closed_(with.route_in < 0) {}

void step_runner::run() {
    for (const step& s : steps_) {
        log(logger::info, utf8_to_wide(s.title()));
        dispatch();
        const std::string reason = run_step(s);
        if (!reason.empty()) {
            log(logger::error, utf8_to_wide(s.title() + ": " + reason));
            process_control::current().end_this_process(failed_exit_code);
            return;
        }
    }
    dispatch();
    log(logger::error, L"the steps ran out");
    process_control::current().end_this_process(ran_out_exit_code);
}

std::string step_runner::run_step(const step& s) {
    using kind = step::kind;
    switch (s.what) {
    case kind::clock:
        parts_.clock->pin(s.number);
        return {};
    case kind::wait_panel:
        if (!wait_until([&] { return shown_panel_id() == s.number; }, s.limit)) {
            return "no panel " + std::to_string(s.number) + " within " + seconds_text(s.limit) + " (panel " +
                   std::to_string(shown_panel_id()) + " shown)";
        }
        return {};
    case kind::wait_text:
        if (!wait_until([&] { return drawn(s.text); }, s.limit)) {
            return quoted(s.text) + " not drawn within " + seconds_text(s.limit);
        }
        return {};
    case kind::wait_gone:
        if (!wait_until([&] { return !drawn(s.text); }, s.limit)) {
            return quoted(s.text) + " still drawn after " + seconds_text(s.limit);
        }
        return {};
    case kind::wait_gps:
        if (!wait_until([&] { return parts_.receiver->fix().valid != 0; }, s.limit)) {
            return "no valid fix from the receiver within " + seconds_text(s.limit);
        }
        parts_.gps->refresh_once();
        dispatch();
        return {};
    case kind::tap_text:
        return tap_text(s.text);
    case kind::tap_point: {
        if (std::string reason = wait_unlocked(); !reason.empty()) {
            return reason;
        }
        RECT client{};
        GetClientRect(parts_.window, &client);
        const int x = s.x < 0 ? client.right + s.x : s.x;
        const int y = s.y < 0 ? client.bottom + s.y : s.y;
        if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) {
            return std::to_string(s.x) + " " + std::to_string(s.y) + " is outside the window (" +
                   std::to_string(client.right) + "x" + std::to_string(client.bottom) + ")";
        }
        tap(x, y);
        return {};
    }
    case kind::type:
        for (wchar_t key : s.text) {
            if (std::string reason = tap_text(std::wstring(1, key)); !reason.empty()) {
                return reason;
            }
        }
        return {};
    case kind::advance:
        advance(s.number);
        return {};
    case kind::drive:
        return drive(s);
    case kind::snapshot:
        // A settled screen: the hourglass of a request whose answer is on its way (its records may have come
        // first) is not the picture. A screen that stays busy is taken as it is once the wait gives up.
        if (std::string reason = wait_unlocked(); !reason.empty()) {
            log(logger::warning, utf8_to_wide(s.title() + ": " + reason + "; the picture shows it busy"));
        }
        // The taximeter's lamp blinks with every paint: the picture shows it lit, however many paints came before.
        form::taximeter_display::reset_lamp_blink();
        repaint();
        if (!platform::headless::save_png(parts_.window, s.name + ".png")) {
            return "cannot write " + s.name + ".png";
        }
        return {};
    case kind::close:
        platform::headless::close_window();
        dispatch();
        return {};
    }
    return "unknown step";
}

void step_runner::dispatch() {
    platform::headless::run_until_idle();
}

template <typename Done> bool step_runner::wait_until(Done done, milliseconds limit) {
    const auto deadline = steady_clock::now() + limit;
    for (;;) {
        dispatch();
        if (done()) {
            return true;
        }
        if (steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(check_pause);
    }
}

std::vector<screen_texts::drawn_text> step_runner::repaint() {
    dispatch();
    parts_.texts->begin();
    InvalidateRect(parts_.window, nullptr, FALSE);
    dispatch();
    return parts_.texts->end();
}

bool step_runner::drawn(const std::wstring& text) {
    return screen_texts::find(repaint(), text).has_value();
}

void step_runner::tap(int x, int y) {
    platform::headless::pen_down(x, y);
    dispatch();
    platform::headless::pen_up(x, y);
    dispatch();
}

std::string step_runner::wait_unlocked() {
    const auto unlocked = [] {
        const form::manager_2* manager = form::main_manager();
        return !manager || manager->lock_count() == 0;
    };
    if (!wait_until(unlocked, default_step_limit)) {
        return "the screen stayed busy (locked) for " + seconds_text(default_step_limit);
    }
    return {};
}

std::string step_runner::tap_text(const std::wstring& text) {
    if (std::string reason = wait_unlocked(); !reason.empty()) {
        return reason;
    }
    const std::optional<RECT> where = screen_texts::find(repaint(), text);
    if (!where) {
        return quoted(text) + " is not on the screen";
    }
    tap((where->left + where->right) / 2, (where->top + where->bottom) / 2);
    return {};
}

void step_runner::advance(int64_t ms) {
    while (ms > 0) {
        const int64_t part = std::min(ms, virtual_step_ms);
        platform::headless::advance(static_cast<std::uint32_t>(part));
        parts_.gps->refresh_once();
        dispatch();
        ms -= part;
    }
}

std::string step_runner::drive(const step& s) {
    for (int64_t second = 0; second < s.number; ++second) {
        if (!write_all(parts_.route_out, "fix\n")) {
            return "standard output closed";
        }
        std::string line;
        switch (read_route_line(line, s.limit)) {
        case input::closed:
            return "standard input closed";
        case input::timed_out:
            return "no position on standard input within " + seconds_text(s.limit);
        case input::line:
            break;
        }
        const auto position = position_of(line);
        if (!position) {
            return "unreadable line \"" + line + "\"";
        }
        const auto [latitude, longitude] = *position;
        const bool reached = wait_until(
            [&] {
                const gps::gps_fix reading = parts_.receiver->fix();
                return reading.valid && std::fabs(reading.latitude - latitude) <= position_tolerance &&
                       std::fabs(reading.longitude - longitude) <= position_tolerance;
            },
            s.limit);
        if (!reached) {
            return "the receiver did not reach " + line + " within " + seconds_text(s.limit);
        }
        advance(virtual_step_ms);
    }
    return {};
}

step_runner::input step_runner::read_route_line(std::string& line, milliseconds limit) {
    const auto deadline = steady_clock::now() + limit;
    for (;;) {
        if (const std::size_t end = route_buffer_.find('\n'); end != std::string::npos) {
            line = route_buffer_.substr(0, end);
            route_buffer_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return input::line;
        }
        if (route_buffer_.size() > max_route_line) {
            // A line that never ends is unreadable, not a reason to keep reading.
            line = route_buffer_.substr(0, max_route_line);
            route_buffer_.clear();
            return input::line;
        }
        if (route_closed_) {
            return input::closed;
        }
        if (steady_clock::now() >= deadline) {
            return input::timed_out;
        }
        pollfd ready{parts_.route_in, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(check_pause.count()));
        if (polled > 0) {
            char bytes[256];
            const ssize_t n = ::read(parts_.route_in, bytes, sizeof bytes);
            if (n > 0) {
                route_buffer_.append(bytes, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                route_closed_ = true;
            }
        } else if (polled < 0 && errno != EINTR) {
            route_closed_ = true;
        }
        dispatch();
    }
}

} // namespace zel::app
