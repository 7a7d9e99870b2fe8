#include "tests/gps/gps_test_support.h"

#include "foundation/app_paths.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zel::gps::test {
namespace {

// gpsd lives in sbin, which a user's PATH may lack.
std::string search_path() {
    const char* user = std::getenv("PATH");
    return std::string("/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin") + (user ? ":" : "") +
           (user ? user : "");
}

bool on_path(const std::string& program) {
    const std::string path = search_path();
    size_t start = 0;
    for (;;) {
        const size_t colon = path.find(':', start);
        const std::string dir = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (colon == std::string::npos) {
            return false;
        }
        start = colon + 1;
    }
}

} // namespace

std::string receiver_sentences() {
    return nmea_tools::nmea_line("GPRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A") +
           nmea_tools::nmea_line("GPGGA,120000.00,5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,") +
           nmea_tools::nmea_line("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5");
}

gps::gps_timing fast_timing() {
    gps::gps_timing timing;
    timing.poll_period = std::chrono::milliseconds(10);
    timing.detection_wait = std::chrono::seconds(60);
    timing.port_settle = std::chrono::milliseconds(5);
    timing.pair_wait = std::chrono::milliseconds(300);
    timing.reader_stop_pause = std::chrono::milliseconds(5);
    timing.read_pause = std::chrono::milliseconds(1);
    return timing;
}

std::string free_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return std::to_string(ntohs(address.sin_port));
}

std::string gpsfake::missing() {
    if (!on_path("gpsd")) {
        return "gpsd is not installed (Debian package gpsd): the gpsd source is not tested";
    }
    if (!on_path("gpsfake")) {
        return "gpsfake is not installed (Debian package gpsd-clients): the gpsd source is not tested";
    }
    return {};
}

// gpsfake's control socket and the log live in a folder of their own, removed at the end.
gpsfake::gpsfake(const std::string& nmea_log) : port_(free_port()) {
    const std::filesystem::path log = folder_.path() / "receiver.log";
    std::ofstream(log, std::ios::binary) << nmea_log;
    const std::string path = search_path();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::setenv("PATH", path.c_str(), 1);
        ::setenv("TMPDIR", folder_.path().c_str(), 1);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("gpsfake", "gpsfake", "-q", "-P", port_.c_str(), "-c", "0.02", log.c_str(), nullptr);
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
    // Ready once gpsd accepts connections.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(std::stoi(port_)));
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (up) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

gpsfake::~gpsfake() {
    stop();
}

void gpsfake::stop() {
    if (pid_ > 0) {
        // gpsfake and its gpsd share the process group made for them; SIGINT lets gpsfake clean up.
        ::kill(-pid_, SIGINT);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

} // namespace zel::gps::test
