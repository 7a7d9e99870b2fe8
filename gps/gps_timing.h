// Every wait and pause of the GPS chain, with the values the program runs with. Tests shorten them so that a
// port search or a refresh runs in milliseconds.
#pragma once

#include <chrono>

namespace zel::gps {

struct gps_timing {
    using ms = std::chrono::milliseconds;

    ms refresh_period{1000};    // the GPS service hands a location to its subscribers
    ms poll_period{500};        // the device copies its source's reading
    ms detection_wait{600000};  // the detection waits this long for the serial search, then stops it
    ms port_settle{3000};       // a freshly opened port rests before its reader starts
    ms pair_wait{5000};         // the search waits this long for a sentence at one port and baud rate
    ms reader_stop_pause{3000}; // the search rests after stopping a silent pair's reader
    ms read_pause{10};          // the serial reader lets bytes gather between reads
    ms gpsd_poll{200};          // the gpsd reader looks for its stop request this often
    ms gpsd_retry{5000};        // the gpsd reader reconnects after losing gpsd
};

} // namespace zel::gps
