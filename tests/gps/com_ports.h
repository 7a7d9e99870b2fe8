// The serial ports of the GPS tests: MORVIK_COM1 ... MORVIK_COM8 pointed at the tests' receivers
// (tools/gps_receiver/nmea_pty.h) and nowhere else, and a polling wait for what the reader threads do.
#pragma once

#include <chrono>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>

namespace zel::gps::test {

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
