// The platform's GPS service: gpsd, reached through libgps. open() connects and starts a reader thread that
// keeps gpsd's latest position (TPV) and sky (SKY) reports; get_position() turns them into a reading as the
// device's poll asks for it. A lost gpsd is reconnected every gpsd_retry; meanwhile, and whenever no position
// report came for fix_max_age_ms, the reading is not valid.
//
// gpsd is found at localhost, port 2947, unless MORVIK_GPSD says "host:port" (or "[v6 address]:port").
#pragma once

#include "gps/gps_fix.h"
#include "gps/gps_timing.h"
#include "gps/manual_event.h"

#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct gps_data_t;

namespace zel::gps {

struct gpsd_endpoint {
    std::string host = "localhost";
    std::string port = "2947";

    // MORVIK_GPSD, else the defaults.
    static gpsd_endpoint from_env();
    // "host:port", "host", "[::1]:port"; an empty text gives the defaults.
    static gpsd_endpoint parse(const std::string& text);
};

class GpsAPI {
public:
    explicit GpsAPI(gpsd_endpoint endpoint = gpsd_endpoint::from_env(), const gps_timing& timing = {});
    ~GpsAPI();
    GpsAPI(const GpsAPI&) = delete;
    GpsAPI& operator=(const GpsAPI&) = delete;

    // Connects to gpsd and starts the reader; false when gpsd cannot be reached. Later calls return true.
    bool open();
    // The reading from gpsd's latest reports. Always true.
    bool get_position(gps_fix& fix);

private:
    // What the reader keeps of gpsd's reports; gpsd's unknown values are NaN.
    struct report {
        bool heard = false; // a position report has arrived
        uint32_t tick = 0;  // clock::tick_ms of the last position report
        int mode = 0;       // 0 not seen, 1 no fix, 2 2-D, 3 3-D
        int64_t time_seconds = 0;
        double latitude = 0.0;
        double longitude = 0.0;
        double altitude_msl = 0.0;
        double speed_ms = 0.0; // metres per second
        int satellites_used = 0;
        double pdop = std::numeric_limits<double>::quiet_NaN();
        double hdop = std::numeric_limits<double>::quiet_NaN();
    };

    bool connect();
    void disconnect();
    void reader_thread();
    void take_report();

    const gpsd_endpoint endpoint_;
    const gps_timing timing_;
    std::unique_ptr<::gps_data_t> data_; // owned by the reader thread once it runs
    bool connected_ = false;
    std::thread reader_;
    manual_event stop_;
    std::mutex report_lock_;
    report latest_;
};

} // namespace zel::gps
