// A serial port by its platform name ("COM1:" ... "COM8:"), read by one reader thread and stopped from another.
//
// The names map to Linux devices through MORVIK_COM1 ... MORVIK_COM8; by default COM1 /dev/ttyACM0, COM2
// /dev/ttyUSB0, COM3 /dev/ttyACM1, COM4 /dev/ttyUSB1, COM5 ... COM8 /dev/ttyS0 ... /dev/ttyS3.
// The port is opened exclusively, raw 8N1 without flow control, ignoring modem lines. wait() blocks until bytes
// arrive, stop() is called, or the device goes away; stop() may be called from any thread while another waits,
// every other operation belongs to one thread at a time. A stop stays in force until the next open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class serial_port {
public:
    enum class wait_result { readable, stopped, hangup };

    serial_port();
    ~serial_port();
    serial_port(const serial_port&) = delete;
    serial_port& operator=(const serial_port&) = delete;

    // The Linux device of a port name, or empty for a name that is not "COM1:" ... "COM8:".
    static std::string device_path(const std::wstring& name);
    // 1200, 2400, 4800, 9600, 19200, 38400, 57600 and 115200 baud.
    static bool baud_supported(uint32_t baud);

    // Opens and sets up the port (closing one that is open); false with last_error() on failure.
    bool open(const std::wstring& name, uint32_t baud);
    void close();
    bool is_open() const {
        return fd_ >= 0;
    }
    // Why the last open failed.
    const std::string& last_error() const {
        return error_;
    }

    // Blocks until bytes are queued, stop() is called or the device has gone (unplugged, hung up).
    wait_result wait();
    // Blocks until stop() is called; a reader whose device has gone waits here instead of spinning.
    void wait_stopped();
    // Wakes wait() and wait_stopped() now and for every later call until the next open.
    void stop();

    // Bytes queued for reading.
    size_t queued() const;
    // Reads what is queued, up to size bytes; 0 when nothing is; -1 when the device has gone.
    long read(char* buffer, size_t size);
    // Discards every queued byte.
    void flush_input();

private:
    int fd_ = -1;
    int stop_fd_ = -1; // eventfd written by stop()
    std::string error_;
};
