// The program's GPS source and its current reading. A start-up thread chooses the source once (from
// "\cache\gps", else by detection: gpsd first, then the serial port search) and a poll thread copies the
// source's reading every poll_period into the current reading.
//
// Start-up:  load the cache -> cached gpsd or serial port opens? -> poll
//                              otherwise detect: gpsd -> serial search (stopped after detection_wait) -> save
//                              the cache -> poll when a source was found, else stay without a source
// The current reading is guarded by the reading lock (written by the poll thread, copied by fix()). The mode
// and the source texts are written by the start-up thread alone, before the poll thread starts.
#pragma once

#include "gps/fix_source.h"
#include "gps/gps_api.h"
#include "gps/gps_timing.h"
#include "gps/manual_event.h"
#include "gps/serial_gps_reader.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace zel::gps {

class gps_device : public fix_source {
public:
    enum source_mode : int { no_source = 0, gpsd_source = 1, serial_source = 2 };

    explicit gps_device(const gps_timing& timing = {}, gpsd_endpoint gpsd = gpsd_endpoint::from_env());
    // Stops every thread of the device and its sources.
    ~gps_device() override;

    // Starts the start-up thread once; later calls do nothing.
    void start() override;
    gps_fix fix() override;

    // True once the start-up thread has chosen (or failed to find) a source within the time-out.
    bool wait_started(std::chrono::milliseconds timeout);
    int mode() const {
        return mode_;
    }
    // "GPSAPI", a port and its baud rate ("COM1:4800"), or empty.
    std::wstring source_text();

    // "\cache\gps": the chosen source as UTF-8 text.
    void load_cache();
    void save_cache();

private:
    void startup_thread();
    void detect_source();
    void poll_thread();
    gps_fix read_serial();

    const gps_timing timing_;
    std::atomic<int> mode_{no_source};
    std::mutex text_lock_;
    std::wstring source_text_;
    std::wstring port_;
    uint32_t baud_ = 0;
    GpsAPI api_;
    serial_gps_reader serial_;
    manual_event shutdown_; // "GPS Shutdown Event"
    manual_event started_;
    std::mutex search_start_lock_; // a search never starts after shutdown
    std::atomic<bool> start_called_{false};
    std::thread startup_;
    std::thread poll_;
    std::recursive_mutex reading_lock_;
    gps_fix reading_;
};

} // namespace zel::gps
