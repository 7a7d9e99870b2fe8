#include "gps/gps_manager.h"

#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/gps_device.h"

#include <atomic>
#include <cmath>
#include <exception>

namespace zel::gps {
namespace {

constexpr float accurate_pdop = 7.0f;
constexpr float course_accuracy = 8.0f;
constexpr double degrees_per_radian = 57.29577951308232;

std::atomic<gps_manager*> installed{nullptr};

} // namespace

gps_manager& gps_manager::instance() {
    if (gps_manager* service = installed.load()) {
        return *service;
    }
    static gps_manager* const own = new gps_manager(std::make_unique<gps_device>());
    return *own;
}

void gps_manager::set_instance(gps_manager* service) {
    installed.store(service);
}

gps_manager::gps_manager(std::unique_ptr<fix_source> device, options settings)
    : device_(std::move(device)), settings_(settings) {
    device_->start();
}

gps_manager::~gps_manager() {
    stop_.set();
    std::thread refresh;
    {
        std::lock_guard guard(lock_);
        refresh.swap(refresh_);
    }
    if (refresh.joinable()) {
        refresh.join();
    }
}

void gps_manager::subscribe(subscriber callback) {
    std::lock_guard guard(lock_);
    subscribers_.push_back(std::move(callback));
    if (subscribers_.size() == 1 && settings_.refresh_thread) {
        refresh_ = std::thread(&gps_manager::refresh_thread, this);
    }
}

location gps_manager::last_location() {
    std::lock_guard guard(lock_);
    return last_;
}

void gps_manager::refresh_thread() {
    while (!stop_.wait_for(settings_.refresh_period)) {
        refresh_once();
    }
}

void gps_manager::refresh_once() {
    std::lock_guard refresh_guard(refresh_lock_);
    const gps_fix reading = device_->fix();
    location next;
    next.accuracy = gps_fix_is_accurate(reading) ? reading.pdop : 50.0f;
    next.altitude = reading.altitude;
    next.latitude = reading.latitude;
    next.longitude = reading.longitude;
    next.speed = static_cast<float>(reading.speed);
    next.delivery_time = static_cast<uint64_t>(now_seconds()) * 1000;
    next.gps_time = reading.gps_time;
    next.satellites = reading.satellites;
    next.course = gps_course(previous_, next);
    if (next.accuracy < course_accuracy) {
        previous_ = next;
    }
    std::vector<subscriber> subscribers;
    {
        std::lock_guard guard(lock_);
        subscribers = subscribers_;
    }
    // One failing subscriber must neither end the refresh thread (and with it the process) nor starve the rest.
    for (const auto& callback : subscribers) {
        try {
            callback(next);
        } catch (const std::exception& error) {
            log(logger::error, L"GPS: a subscriber failed: " + utf8_to_wide(error.what()));
        } catch (...) {
            log(logger::error, L"GPS: a subscriber failed");
        }
    }
    std::lock_guard guard(lock_);
    last_ = next;
}

bool gps_fix_is_accurate(const gps_fix& fix) {
    return fix.valid && fix.pdop < accurate_pdop;
}

int32_t gps_course(const location& a, const location& b) {
    if (a.accuracy > course_accuracy || b.accuracy > course_accuracy) {
        return 0;
    }
    const double dlat = b.latitude - a.latitude;
    const double dlon = b.longitude - a.longitude;
    if (a.latitude == b.latitude) {
        return dlon > 0 ? 90 : dlon < 0 ? 270 : 0;
    }
    if (a.longitude == b.longitude) {
        return dlat > 0 ? 0 : 180;
    }
    // The whole ratio, not the exact one: the course comes in steps (0, 45, 63, 71 ...).
    const double ratio = std::trunc(dlon / dlat);
    const double angle = std::atan(std::fabs(ratio)) * degrees_per_radian;
    double course;
    if (dlon > 0) {
        course = dlat > 0 ? angle : 180 - angle;
    } else {
        course = dlat < 0 ? 180 + angle : 360 - angle;
    }
    return static_cast<int32_t>(course);
}

} // namespace zel::gps
