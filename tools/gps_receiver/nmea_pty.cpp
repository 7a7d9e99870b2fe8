#include "tools/gps_receiver/nmea_pty.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace nmea_tools {
namespace {

uint32_t baud_of(speed_t speed) {
    switch (speed) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

} // namespace

std::string nmea_line(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum ^= c;
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

nmea_pty::nmea_pty(uint32_t baud) : baud_(baud) {
    char name[128];
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        std::abort();
    }
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    writer_ = std::thread(&nmea_pty::writer, this);
}

nmea_pty::~nmea_pty() {
    stop_ = true;
    writer_.join();
    hang_up();
    ::close(slave_);
}

void nmea_pty::set_sentences(const std::string& text) {
    std::lock_guard guard(lock_);
    sentences_ = text;
}

void nmea_pty::hang_up() {
    std::lock_guard guard(lock_);
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void nmea_pty::writer() {
    static const char noise[] = "\xfe\x7f\x80\x13\xa5\x5a\xff\x00\x81\xc3\x3c\x99\r\n";
    char drain[256];
    while (!stop_) {
        {
            std::lock_guard guard(lock_);
            if (master_ >= 0) {
                termios settings{};
                ::tcgetattr(master_, &settings);
                const bool right_speed = baud_ == 0 || baud_of(::cfgetospeed(&settings)) == baud_;
                const std::string& bytes = right_speed ? sentences_ : std::string(noise, sizeof noise - 1);
                if (!bytes.empty() && ::write(master_, bytes.data(), bytes.size()) > 0 && right_speed) {
                    ++answered_;
                }
                while (::read(master_, drain, sizeof drain) > 0) {
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace nmea_tools
