#include "gps/serial_gps_reader.h"

#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/nmea_parser.h"

#include <array>

namespace zel::gps {
namespace {

// A backlog this large is stale: it is discarded unread.
constexpr size_t max_queued = 4096;

std::wstring pair_text(const std::wstring& port, uint32_t baud) {
    return port + std::to_wstring(baud);
}

} // namespace

serial_gps_reader::serial_gps_reader(const gps_timing& timing) : timing_(timing) {}

serial_gps_reader::~serial_gps_reader() {
    stop_search();
    stop_reader();
    port_.close();
}

bool serial_gps_reader::open(const std::wstring& port, uint32_t baud) {
    if (!open_pair(port, baud, 0)) {
        log(logger::warning, L"GPS: cannot open " + pair_text(port, baud) + L": " + utf8_to_wide(port_.last_error()));
        return false;
    }
    return true;
}

bool serial_gps_reader::open_pair(const std::wstring& port, uint32_t baud, uint64_t pair) {
    stop_reader();
    {
        std::lock_guard guard(name_lock_);
        found_port_.clear();
        found_baud_ = 0;
    }
    if (!port_.open(port, baud)) {
        return false;
    }
    // A receiver on a freshly opened USB port needs a moment before it talks.
    if (search_stop_.wait_for(timing_.port_settle)) {
        port_.close();
        return false;
    }
    {
        std::lock_guard guard(name_lock_);
        found_port_ = port;
        found_baud_ = baud;
    }
    reader_ = std::thread(&serial_gps_reader::reader_thread, this, pair);
    return true;
}

void serial_gps_reader::stop_reader() {
    if (reader_.joinable()) {
        port_.stop();
        reader_.join();
    }
}

void serial_gps_reader::reader_thread(uint64_t pair) {
    std::string buffer;
    std::string sentence;
    char chunk[4096];
    bool reported_bad_line = false;
    // A receiver that sends a broken position sends it every second: each kind is logged once.
    std::array<bool, position_fault_kinds> reported_fault{};
    for (;;) {
        const auto ready = port_.wait();
        if (ready == serial_port::wait_result::stopped) {
            return;
        }
        long got = 0;
        if (ready == serial_port::wait_result::readable) {
            if (port_.queued() >= max_queued) {
                port_.flush_input();
                continue;
            }
            got = port_.read(chunk, sizeof chunk);
        }
        if (ready == serial_port::wait_result::hangup || got < 0) {
            // The device has gone: it stays a silent receiver (its fix turns stale) until the reader is stopped.
            log(logger::warning, L"GPS: the serial receiver has gone");
            port_.wait_stopped();
            return;
        }
        buffer.append(chunk, static_cast<size_t>(got));
        for (;;) {
            const auto result = extract_sentence(buffer, sentence);
            if (result == extract_result::need_more) {
                break;
            }
            if (result == extract_result::dropped) {
                if (!reported_bad_line) {
                    log(logger::warning, L"GPS: dropped an NMEA line with a bad checksum or without an end");
                    reported_bad_line = true;
                }
                continue;
            }
            const auto record = parse_sentence(sentence);
            if (!record) {
                continue;
            }
            const position_fault fault = fault_of(*record);
            if (fault != position_fault::none && !reported_fault[static_cast<size_t>(fault)]) {
                reported_fault[static_cast<size_t>(fault)] = true;
                log(logger::warning, std::wstring(L"GPS: NMEA position refused, no fix: ") +
                                         position_fault_text(fault) + L" (each kind logged once): " +
                                         utf8_to_wide(sentence));
            }
            {
                std::lock_guard guard(fix_lock_);
                apply_sentence(fix_, *record);
                if (std::holds_alternative<nmea_gga>(*record) || std::holds_alternative<nmea_rmc>(*record)) {
                    fix_.heard = true;
                    fix_.position_tick = clock::tick_ms();
                }
            }
            answered_.signal(pair);
        }
        std::this_thread::sleep_for(timing_.read_pause);
    }
}

bool serial_gps_reader::start_search() {
    if (searching_) {
        return true;
    }
    if (search_.joinable()) {
        search_.join();
    }
    search_ended_.reset();
    searching_ = true;
    search_ = std::thread(&serial_gps_reader::search_thread, this);
    return true;
}

void serial_gps_reader::search_thread() {
    {
        std::lock_guard guard(name_lock_);
        found_port_.clear();
        found_baud_ = 0;
    }
    for (const wchar_t* port : search_ports) {
        for (uint32_t baud : search_bauds) {
            if (search_stop_.is_set()) {
                break;
            }
            // Armed before the port opens, so only this pair's reader can answer.
            const uint64_t pair = ++last_pair_;
            answered_.arm(pair);
            if (!open_pair(port, baud, pair)) {
                continue;
            }
            if (answered_.wait_for(timing_.pair_wait)) {
                answered_.arm(0);
                store_found(port, baud);
                log(logger::info, L"GPS: receiver found at " + pair_text(port, baud));
                searching_ = false;
                search_ended_.set();
                return;
            }
            stop_reader();
            search_stop_.wait_for(timing_.reader_stop_pause);
            port_.close();
        }
    }
    answered_.arm(0);
    {
        std::lock_guard guard(name_lock_);
        found_port_.clear();
        found_baud_ = 0;
    }
    searching_ = false;
    search_ended_.set();
}

void serial_gps_reader::store_found(const std::wstring& port, uint32_t baud) {
    std::lock_guard guard(name_lock_);
    found_port_ = port;
    found_baud_ = baud;
}

bool serial_gps_reader::wait_port_found(std::chrono::milliseconds timeout) {
    search_ended_.wait_for(timeout);
    std::lock_guard guard(name_lock_);
    return !searching_ && !found_port_.empty();
}

void serial_gps_reader::stop_search() {
    search_stop_.set();
    answered_.cancel();
    if (search_.joinable()) {
        search_.join();
    }
    answered_.clear_cancel();
    search_stop_.reset();
}

void serial_gps_reader::port_and_baud(std::wstring& port, uint32_t& baud) {
    std::lock_guard guard(name_lock_);
    port = found_port_;
    baud = found_baud_;
}

void serial_gps_reader::copy_fix(nmea_fix& fix) {
    std::lock_guard guard(fix_lock_);
    fix = fix_;
}

} // namespace zel::gps
