#include "platform/window/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform_log.h"

namespace platform {

namespace {

std::string lock_path(const std::string& folder, const std::string& name) {
    return folder + "/morvik-" + name + ".lock";
}

bool socket_address(const std::string& folder, const std::string& name, sockaddr_un& address) {
    const std::string path = folder + "/morvik-" + name + ".sock";
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

single_instance::single_instance(std::string folder, std::string name, std::function<void()> on_raise)
    : folder_(std::move(folder)), name_(std::move(name)), on_raise_(std::move(on_raise)) {}

single_instance::~single_instance() {
    stopping_ = true;
    if (listen_fd_ >= 0) {
        ::shutdown(listen_fd_, SHUT_RDWR);
    }
    if (listener_.joinable()) {
        listener_.join();
    }
    if (listen_fd_ >= 0) {
        ::close(listen_fd_);
        sockaddr_un address;
        if (socket_address(folder_, name_, address)) {
            ::unlink(address.sun_path);
        }
    }
    if (lock_fd_ >= 0) {
        ::close(lock_fd_); // releases the lock
    }
}

bool single_instance::claim() {
    lock_fd_ = ::open(lock_path(folder_, name_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock_fd_ < 0) {
        log_line("cannot open " + lock_path(folder_, name_) + ": " + std::strerror(errno));
        return false;
    }
    if (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_fd_);
        lock_fd_ = -1;
        return false;
    }
    sockaddr_un address;
    if (!socket_address(folder_, name_, address)) {
        return true;
    }
    ::unlink(address.sun_path); // left by a copy that ended without cleaning up; we hold the lock now
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listen_fd_, 4) != 0) {
        log_line("cannot listen on " + std::string(address.sun_path) + ": " + std::strerror(errno));
        if (listen_fd_ >= 0) {
            ::close(listen_fd_);
            listen_fd_ = -1;
        }
        return true;
    }
    listener_ = std::thread([this] { listen_loop(); });
    return true;
}

void single_instance::listen_loop() {
    while (!stopping_) {
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        char buffer[8] = {};
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        ::close(fd);
        if (n >= 5 && std::memcmp(buffer, "raise", 5) == 0 && !stopping_ && on_raise_) {
            on_raise_();
        }
    }
}

bool single_instance::held_elsewhere(const std::string& folder, const std::string& name) {
    const int fd = ::open(lock_path(folder, name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool single_instance::request_raise(const std::string& folder, const std::string& name) {
    sockaddr_un address;
    if (!socket_address(folder, name, address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool sent =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && ::write(fd, "raise", 5) == 5;
    ::close(fd);
    return sent;
}

} // namespace platform
