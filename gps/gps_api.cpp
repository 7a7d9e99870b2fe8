#include "gps/gps_api.h"

#include "foundation/clock.h"
#include "foundation/host_port.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gps.h>

namespace zel::gps {
namespace {

constexpr double ms_to_kmh = 3.6;

float dop_or_default(double value) {
    return std::isfinite(value) && std::fabs(value) < 1.0e6 ? static_cast<float>(value) : 50.0f;
}

double finite_or_zero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

gpsd_endpoint gpsd_endpoint::from_env() {
    const char* text = std::getenv("MORVIK_GPSD");
    return parse(text ? text : "");
}

gpsd_endpoint gpsd_endpoint::parse(const std::string& text) {
    gpsd_endpoint endpoint;
    if (text.empty()) {
        return endpoint;
    }
    const host_port parts = host_port::parse(text);
    if (!parts.host.empty()) {
        endpoint.host = parts.host;
    }
    if (!parts.port.empty()) {
        endpoint.port = parts.port;
    }
    return endpoint;
}

GpsAPI::GpsAPI(gpsd_endpoint endpoint, const gps_timing& timing)
    : endpoint_(std::move(endpoint)), timing_(timing), data_(std::make_unique<::gps_data_t>()) {}

GpsAPI::~GpsAPI() {
    stop_.set();
    if (reader_.joinable()) {
        reader_.join();
    }
    disconnect();
}

bool GpsAPI::open() {
    if (reader_.joinable()) {
        return true;
    }
    if (!connect()) {
        log(logger::info, L"GPS: no gpsd at " + utf8_to_wide(endpoint_.host + ":" + endpoint_.port));
        return false;
    }
    reader_ = std::thread(&GpsAPI::reader_thread, this);
    return true;
}

bool GpsAPI::connect() {
    std::memset(data_.get(), 0, sizeof(::gps_data_t));
    if (::gps_open(endpoint_.host.c_str(), endpoint_.port.c_str(), data_.get()) != 0) {
        return false;
    }
    if (::gps_stream(data_.get(), WATCH_ENABLE | WATCH_JSON, nullptr) != 0) {
        ::gps_close(data_.get());
        return false;
    }
    connected_ = true;
    return true;
}

void GpsAPI::disconnect() {
    if (connected_) {
        ::gps_close(data_.get());
        connected_ = false;
    }
}

void GpsAPI::reader_thread() {
    const int poll_us = static_cast<int>(std::chrono::microseconds(timing_.gpsd_poll).count());
    while (!stop_.is_set()) {
        if (!connected_) {
            if (stop_.wait_for(timing_.gpsd_retry)) {
                return;
            }
            if (connect()) {
                log(logger::info, L"GPS: connected to gpsd again");
            }
            continue;
        }
        if (!::gps_waiting(data_.get(), poll_us)) {
            continue;
        }
        if (::gps_read(data_.get(), nullptr, 0) < 0) {
            log(logger::warning, L"GPS: lost the connection to gpsd");
            disconnect();
            continue;
        }
        take_report();
    }
}

void GpsAPI::take_report() {
    const ::gps_data_t& data = *data_;
    std::lock_guard guard(report_lock_);
    if (data.set & MODE_SET) {
        latest_.heard = true;
        latest_.tick = clock::tick_ms();
        latest_.mode = data.fix.mode;
        latest_.time_seconds = (data.set & TIME_SET) ? static_cast<int64_t>(data.fix.time.tv_sec) : 0;
        latest_.latitude = data.fix.latitude;
        latest_.longitude = data.fix.longitude;
        latest_.altitude_msl = data.fix.altMSL;
        latest_.speed_ms = data.fix.speed;
    }
    if (data.set & SATELLITE_SET) {
        latest_.satellites_used = data.satellites_used;
        latest_.pdop = data.dop.pdop;
        latest_.hdop = data.dop.hdop;
    }
}

bool GpsAPI::get_position(gps_fix& fix) {
    report r;
    {
        std::lock_guard guard(report_lock_);
        r = latest_;
    }
    fix = gps_fix{};
    fix.stamp = unique_stamp_ms();
    if (!r.heard || clock::tick_ms() - r.tick > fix_max_age_ms) {
        return true;
    }
    fix.valid = 1;
    // A reading needs its time, position and speed; without them it stands at 0,0 with no precision.
    if (r.time_seconds <= 0 || !std::isfinite(r.latitude) || !std::isfinite(r.longitude) ||
        !std::isfinite(r.speed_ms)) {
        return true;
    }
    fix.gps_time = static_cast<uint64_t>(r.time_seconds) * 1000;
    fix.longitude = r.longitude;
    fix.latitude = r.latitude;
    fix.altitude = finite_or_zero(r.altitude_msl);
    fix.satellites = r.satellites_used > 0 ? r.satellites_used : 0;
    fix.pdop = dop_or_default(r.pdop);
    fix.hdop = dop_or_default(r.hdop);
    fix.speed = r.speed_ms * ms_to_kmh;
    fix.fix = r.mode >= MODE_2D;
    fix.fix_3d = r.mode == MODE_3D;
    return true;
}

} // namespace zel::gps
