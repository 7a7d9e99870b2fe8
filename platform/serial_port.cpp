#include "platform/serial_port.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t speed_of(uint32_t baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

std::string errno_text(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

serial_port::serial_port() : stop_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

serial_port::~serial_port() {
    close();
    if (stop_fd_ >= 0) {
        ::close(stop_fd_);
    }
}

std::string serial_port::device_path(const std::wstring& name) {
    static const char* const defaults[8] = {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyACM1", "/dev/ttyUSB1",
                                            "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3"};
    if (name.size() != 5 || name.compare(0, 3, L"COM") != 0 || name[4] != L':' || name[3] < L'1' || name[3] > L'8') {
        return {};
    }
    const int index = static_cast<int>(name[3] - L'1');
    const std::string variable = "MORVIK_COM" + std::to_string(index + 1);
    const char* configured = std::getenv(variable.c_str());
    return configured && *configured ? configured : defaults[index];
}

bool serial_port::baud_supported(uint32_t baud) {
    return speed_of(baud) != B0;
}

bool serial_port::open(const std::wstring& name, uint32_t baud) {
    close();
    uint64_t drained;
    while (stop_fd_ >= 0 && ::read(stop_fd_, &drained, sizeof drained) > 0) {
    }
    const std::string path = device_path(name);
    if (path.empty()) {
        error_ = "no device for this port name";
        return false;
    }
    if (!baud_supported(baud)) {
        error_ = "unsupported baud rate " + std::to_string(baud);
        return false;
    }
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno_text(path.c_str());
        return false;
    }
    termios settings{};
    bool ok = ::ioctl(fd_, TIOCEXCL) == 0;
    if (!ok) {
        error_ = errno_text("TIOCEXCL");
    } else if (::tcgetattr(fd_, &settings) != 0) {
        error_ = errno_text("tcgetattr");
        ok = false;
    }
    if (ok) {
        ::cfmakeraw(&settings);
        settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_iflag &= ~(IXON | IXOFF | IXANY);
        // One byte minimum, so that an empty non-blocking read fails with EAGAIN and 0 means hung up.
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
        ::cfsetispeed(&settings, speed_of(baud));
        ::cfsetospeed(&settings, speed_of(baud));
        if (::tcsetattr(fd_, TCSANOW, &settings) != 0) {
            error_ = errno_text("tcsetattr");
            ok = false;
        }
    }
    if (!ok) {
        close();
        return false;
    }
    ::tcflush(fd_, TCIOFLUSH);
    error_.clear();
    return true;
}

void serial_port::close() {
    if (fd_ >= 0) {
        // The exclusive mode outlives this descriptor while another one holds the device open.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

serial_port::wait_result serial_port::wait() {
    pollfd fds[2] = {{stop_fd_, POLLIN, 0}, {fd_, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, fd_ >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || (fds[0].revents & POLLIN)) {
            return wait_result::stopped;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return wait_result::hangup;
        }
        if (fds[1].revents & POLLIN) {
            return wait_result::readable;
        }
    }
}

void serial_port::wait_stopped() {
    pollfd stop{stop_fd_, POLLIN, 0};
    while (::poll(&stop, 1, -1) < 0 && errno == EINTR) {
    }
}

void serial_port::stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stop_fd_, &one, sizeof one);
}

size_t serial_port::queued() const {
    int count = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0 || count < 0) {
        return 0;
    }
    return static_cast<size_t>(count);
}

long serial_port::read(char* buffer, size_t size) {
    if (fd_ < 0) {
        return -1;
    }
    const ssize_t got = ::read(fd_, buffer, size);
    if (got > 0) {
        return static_cast<long>(got);
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return 0;
    }
    // A tty in non-blocking mode reads 0 bytes only once its device has hung up.
    return -1;
}

void serial_port::flush_input() {
    if (fd_ >= 0) {
        ::tcflush(fd_, TCIFLUSH);
    }
}
