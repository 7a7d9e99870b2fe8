// nmea_pty: a GPS receiver on a pseudo-terminal, for the serial reader's tests, the journeys' receiver and the
// trial's (nmea_receiver). The program opens the terminal's slave side by its path. Owns both sides of the
// terminal and a writer thread that sends the current sentences every 20 ms: it reads the speed the program set
// (tcgetattr on the master side) and sends the sentences only at its own baud rate, or bytes without "$" at any
// other, as a real receiver looks at the wrong speed. The slave stays open here too, so the terminal keeps its
// settings between opens. One lock guards the sentences and the master side against the writer thread.
//
//   state      event            next
//   sending    set_sentences    sending the new text (empty: silent)
//   sending    hang_up          gone: the master side closed, nothing sent
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace nmea_tools {

// "$" + body + "*" + checksum + "\r\n".
std::string nmea_line(const std::string& body);

class nmea_pty {
public:
    // baud 0 answers at every speed.
    explicit nmea_pty(uint32_t baud);
    ~nmea_pty();
    nmea_pty(const nmea_pty&) = delete;
    nmea_pty& operator=(const nmea_pty&) = delete;

    const std::string& path() const {
        return path_;
    }
    // What is sent every cycle at the right speed (a few sentences); empty sends nothing (a silent receiver).
    void set_sentences(const std::string& text);
    // Closes the master side: the device is gone.
    void hang_up();
    // Cycles in which sentences were sent.
    int answered_cycles() const {
        return answered_;
    }

private:
    void writer();

    const uint32_t baud_;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::mutex lock_;
    std::string sentences_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread writer_;
};

} // namespace nmea_tools
