// The program's single GPS service. Once a refresh period it copies the reading of its fix source (the
// gps_device), turns it into a location, gives it the course from the last accurate location, and calls every
// subscriber with it on the refresh thread. A subscriber that throws is logged and the others still run.
//
// Locks: the service's lock guards the subscriber list and the last location; subscribers are called from a
// copy of the list without it, so a subscriber may subscribe or read the last location. The refresh lock keeps
// refresh steps one at a time.
//
// Tests and programs that must not search for a receiver build a service on their own fix source (such as
// manual_fix_source) and install it with set_instance before anything asks for instance().
#pragma once

#include "gps/fix_source.h"
#include "gps/gps_fix.h"
#include "gps/location.h"
#include "gps/manual_event.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zel::gps {

class gps_manager {
public:
    using subscriber = std::function<void(const location&)>;

    struct options {
        std::chrono::milliseconds refresh_period{1000};
        // False: no refresh thread; the owner calls refresh_once itself.
        bool refresh_thread = true;
    };

    // The process-wide service: the installed one, else the program's own on a gps_device (created on first
    // use and never destroyed, which starts the source detection).
    static gps_manager& instance();
    // Installs a service for the whole process (the caller keeps it alive while installed); null restores
    // the program's own.
    static void set_instance(gps_manager* service);

    // Starts the source at once.
    explicit gps_manager(std::unique_ptr<fix_source> device, options settings);
    explicit gps_manager(std::unique_ptr<fix_source> device) : gps_manager(std::move(device), options{}) {}
    // Stops the refresh thread.
    ~gps_manager();
    gps_manager(const gps_manager&) = delete;
    gps_manager& operator=(const gps_manager&) = delete;

    // Appends a subscriber; the first one starts the refresh thread.
    void subscribe(subscriber callback);
    // The last delivered location (accuracy 50.0 and zeros before the first).
    location last_location();
    // One refresh step: build the location from the source's reading, set its course, call the
    // subscribers, store it as the last location.
    void refresh_once();

private:
    void refresh_thread();

    const std::unique_ptr<fix_source> device_;
    const options settings_;
    std::recursive_mutex lock_;
    std::vector<subscriber> subscribers_;
    location last_;
    std::mutex refresh_lock_;
    location previous_; // the last location with accuracy below 8.0; refresh lock
    manual_event stop_; // "refresh_thread_event_stop"
    std::thread refresh_;
};

// True when the reading is valid and its PDOP is below 7.0.
bool gps_fix_is_accurate(const gps_fix& fix);

// Course from a to b in whole degrees (0 to 360, clockwise from north), latitude and longitude taken as flat
// coordinates; 0 when either location is less accurate than 8.0.
int32_t gps_course(const location& a, const location& b);

} // namespace zel::gps
