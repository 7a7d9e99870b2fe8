// A GPS receiver on a pseudo-terminal, for the serial reader's tests. The program opens the terminal's slave
// side by its path; the writer thread reads the speed the program set (tcgetattr on the master side) and
// sends its sentences only at its own baud rate, or bytes without "$" at any other, as a real receiver looks
// at the wrong speed. The slave stays open here too, so the terminal keeps its settings between opens.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace zel::gps::test {

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

// Sets MORVIK_COM1 ... MORVIK_COM8: the named ports to the given devices, the others to paths that do not
// exist, so a search touches no real port; restores the old values when it ends.
class com_ports {
public:
    explicit com_ports(std::initializer_list<std::pair<int, std::string>> ports);
    ~com_ports();

private:
    std::string saved_[8];
    bool had_[8] = {};
};

// Polls the condition every few milliseconds until it holds or the time (a limit against hanging, not a
// measured time) runs out.
template <typename Condition> bool eventually(Condition condition, int limit_ms = 60000) {
    for (int waited = 0; waited < limit_ms; waited += 5) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

} // namespace zel::gps::test
