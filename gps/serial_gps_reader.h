// The NMEA 0183 receiver on a serial port: the port search that finds it, and the reader thread that keeps
// its fix.
//
// Threads: the reader thread (one at a time, for the open port) writes the fix under the fix lock; the search
// thread opens one port and baud rate after another; any thread copies the fix and the found port. The found
// port and baud are guarded by the name lock. The two locks are never nested. A reader is stopped only by its
// port's stop() and joined, so no thread ends while it holds a lock.
//
// Search, for each port in the search order and each baud rate in the baud order:
//   arm the pair signal for this pair -> open (rest port_settle) -> wait pair_wait for a sentence
//   answered: store port and baud, report found, leave the port open with its reader
//   silent:   stop and join the reader, rest reader_stop_pause, close, next pair
// A search stopped from outside ends at its next wait and closes a port that has not answered.
#pragma once

#include "gps/gps_timing.h"
#include "gps/manual_event.h"
#include "gps/nmea_fix.h"
#include "gps/pair_signal.h"
#include "platform/serial_port.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace zel::gps {

class serial_gps_reader {
public:
    static constexpr std::array<const wchar_t*, 8> search_ports = {L"COM1:", L"COM2:", L"COM4:", L"COM3:",
                                                                   L"COM5:", L"COM6:", L"COM7:", L"COM8:"};
    static constexpr std::array<uint32_t, 8> search_bauds = {4800, 9600, 57600, 115200, 1200, 2400, 19200, 38400};

    explicit serial_gps_reader(const gps_timing& timing = {});
    // Stops the search and the reader and closes the port.
    ~serial_gps_reader();
    serial_gps_reader(const serial_gps_reader&) = delete;
    serial_gps_reader& operator=(const serial_gps_reader&) = delete;

    // Opens the port ("COM1:") at the baud rate and starts its reader; false when the port cannot be opened.
    bool open(const std::wstring& port, uint32_t baud);
    // Starts the port search on its own thread (once; a running search is left alone).
    bool start_search();
    // Waits until the search has found a port or has ended; true when a port was found within the time.
    bool wait_port_found(std::chrono::milliseconds timeout);
    // Ends the search at its next wait and joins it; a port it has found stays open.
    void stop_search();
    // The port and baud found by the search (or opened), empty and 0 when none.
    void port_and_baud(std::wstring& port, uint32_t& baud);
    void copy_fix(nmea_fix& fix);

private:
    bool open_pair(const std::wstring& port, uint32_t baud, uint64_t pair);
    void stop_reader();
    void reader_thread(uint64_t pair);
    void search_thread();
    void store_found(const std::wstring& port, uint32_t baud);

    const gps_timing timing_;
    serial_port port_;
    std::thread reader_;
    std::thread search_;
    std::atomic<bool> searching_{false};
    manual_event search_stop_;
    manual_event search_ended_;
    pair_signal answered_; // "GET_CORRECT_COMMAND"
    uint64_t last_pair_ = 0;
    std::recursive_mutex name_lock_;
    std::wstring found_port_;
    uint32_t found_baud_ = 0;
    std::recursive_mutex fix_lock_;
    nmea_fix fix_;
};

} // namespace zel::gps
