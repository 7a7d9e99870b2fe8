#include "gps/gps_device.h"

#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zel::gps {
namespace {

constexpr uintmax_t max_cache_bytes = 100;

} // namespace

gps_device::gps_device(const gps_timing& timing, gpsd_endpoint gpsd)
    : timing_(timing), api_(std::move(gpsd), timing), serial_(timing) {}

gps_device::~gps_device() {
    shutdown_.set();
    { std::lock_guard guard(search_start_lock_); }
    serial_.stop_search();
    if (startup_.joinable()) {
        startup_.join();
    }
    if (poll_.joinable()) {
        poll_.join();
    }
}

void gps_device::start() {
    if (start_called_.exchange(true)) {
        return;
    }
    startup_ = std::thread(&gps_device::startup_thread, this);
}

gps_fix gps_device::fix() {
    std::lock_guard guard(reading_lock_);
    return reading_;
}

bool gps_device::wait_started(std::chrono::milliseconds timeout) {
    return started_.wait_for(timeout);
}

std::wstring gps_device::source_text() {
    std::lock_guard guard(text_lock_);
    return source_text_;
}

void gps_device::load_cache() {
    const auto path = app_file(L"\\cache\\gps");
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size >= max_cache_bytes) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::wstring text = utf8_to_wide(bytes);
    if (text.empty()) {
        return;
    }
    if (to_lower_w(text) == L"gpsapi") {
        mode_ = gpsd_source;
        return;
    }
    const size_t colon = text.find(L':');
    if (colon == std::wstring::npos) {
        mode_ = no_source;
        return;
    }
    const long baud = std::wcstol(text.c_str() + colon + 1, nullptr, 10);
    if (baud == 0) {
        return;
    }
    std::lock_guard guard(text_lock_);
    source_text_ = text;
    port_ = text.substr(0, colon + 1);
    baud_ = static_cast<uint32_t>(baud);
    mode_ = serial_source;
}

void gps_device::save_cache() {
    std::error_code error;
    std::filesystem::create_directories(app_file(L"\\cache"), error);
    if (!write_file_atomic(app_file(L"\\cache\\gps"), wide_to_utf8(source_text()))) {
        log(logger::warning, L"GPS: cannot write \\cache\\gps");
    }
}

void gps_device::startup_thread() {
    load_cache();
    if (mode_ == serial_source) {
        if (!serial_.open(port_, baud_)) {
            mode_ = no_source;
            detect_source();
        }
    } else if (mode_ == gpsd_source) {
        if (api_.open()) {
            std::lock_guard guard(text_lock_);
            source_text_ = L"GPSAPI";
        } else {
            mode_ = no_source;
            detect_source();
        }
    } else {
        detect_source();
    }
    if (mode_ != no_source && !shutdown_.is_set()) {
        poll_ = std::thread(&gps_device::poll_thread, this);
    }
    started_.set();
}

void gps_device::detect_source() {
    std::wstring text;
    if (api_.open()) {
        text = L"GPSAPI";
        mode_ = gpsd_source;
    } else {
        {
            std::lock_guard guard(search_start_lock_);
            if (shutdown_.is_set()) {
                return;
            }
            serial_.start_search();
        }
        // A search that outlasts the wait is stopped, so that it cannot find a receiver nobody reads.
        if (!serial_.wait_port_found(timing_.detection_wait)) {
            serial_.stop_search();
        }
        std::wstring port;
        uint32_t baud = 0;
        serial_.port_and_baud(port, baud);
        if (!port.empty()) {
            text = port + std::to_wstring(baud);
            mode_ = serial_source;
        } else {
            mode_ = no_source;
        }
    }
    {
        std::lock_guard guard(text_lock_);
        source_text_ = text;
    }
    if (!shutdown_.is_set()) {
        save_cache();
    }
}

gps_fix gps_device::read_serial() {
    nmea_fix nmea;
    serial_.copy_fix(nmea);
    gps_fix reading;
    reading.valid = nmea.valid && nmea.heard && clock::tick_ms() - nmea.position_tick <= fix_max_age_ms;
    reading.stamp = unique_stamp_ms();
    reading.gps_time = nmea.gps_time;
    reading.longitude = nmea.longitude;
    reading.latitude = nmea.latitude;
    reading.altitude = nmea.altitude;
    reading.satellites = nmea.satellites;
    reading.pdop = nmea.pdop;
    reading.hdop = nmea.hdop;
    reading.speed = nmea.speed;
    reading.fix = nmea.fix;
    reading.fix_3d = nmea.fix_3d;
    return reading;
}

void gps_device::poll_thread() {
    while (!shutdown_.wait_for(timing_.poll_period)) {
        gps_fix reading;
        if (mode_ == gpsd_source) {
            api_.get_position(reading);
        } else if (mode_ == serial_source) {
            reading = read_serial();
        }
        std::lock_guard guard(reading_lock_);
        if (reading.valid) {
            reading_ = reading;
        } else {
            reading_.valid = 0;
        }
    }
}

} // namespace zel::gps
