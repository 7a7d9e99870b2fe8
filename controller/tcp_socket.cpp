#include "controller/tcp_socket.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

namespace zel::controller_ {
namespace {

// Narrows a host or port text; anything beyond ASCII cannot name a host, so it fails the lookup.
bool narrow_ascii(const std::wstring& text, std::string& out) {
    out.clear();
    for (wchar_t c : text) {
        if (c <= 0 || c > 0x7F) {
            return false;
        }
        out.push_back(static_cast<char>(c));
    }
    return true;
}

std::wstring error_text(int error) {
    return utf8_to_wide(std::strerror(error));
}

enum class connect_outcome { connected, failed, woken };

// A non-blocking connect that waits until the deadline (none: the system's own wait) or until wake_fd is
// readable; the descriptor is blocking again once connected. errno tells why it failed.
connect_outcome connect_within(int fd, const sockaddr* address, socklen_t length,
                               std::optional<std::chrono::steady_clock::time_point> deadline, int wake_fd) {
    if (::connect(fd, address, length) != 0) {
        if (errno != EINPROGRESS) {
            return connect_outcome::failed;
        }
        pollfd waiting[2] = {{fd, POLLOUT, 0}, {wake_fd, POLLIN, 0}};
        for (;;) {
            int timeout_ms = -1;
            if (deadline) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
                timeout_ms = static_cast<int>(std::max<int64_t>(left.count(), 0));
            }
            const int ready = ::poll(waiting, wake_fd >= 0 ? 2 : 1, timeout_ms);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0) {
                return connect_outcome::failed;
            }
            if (wake_fd >= 0 && (waiting[1].revents & POLLIN) != 0) {
                return connect_outcome::woken;
            }
            if (ready == 0) {
                errno = ETIMEDOUT;
                return connect_outcome::failed;
            }
            break;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
            errno = error;
            return connect_outcome::failed;
        }
    }
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? connect_outcome::connected
                                                                         : connect_outcome::failed;
}

std::wstring address_text(const addrinfo& address) {
    char host[NI_MAXHOST] = "";
    char port[NI_MAXSERV] = "";
    if (::getnameinfo(address.ai_addr, address.ai_addrlen, host, sizeof host, port, sizeof port,
                      NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return L"?";
    }
    std::string text;
    if (address.ai_family == AF_INET6) {
        text = "[";
        text += host;
        text += "]";
    } else {
        text = host;
    }
    text += ":";
    text += port;
    return utf8_to_wide(text);
}

} // namespace

tcp_socket::~tcp_socket() {
    close();
}

address_list tcp_socket::resolve(const std::wstring& host, const std::wstring& port) {
    std::string narrow_host;
    std::string narrow_port;
    if (!narrow_ascii(host, narrow_host) || !narrow_ascii(port, narrow_port)) {
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (::getaddrinfo(narrow_host.c_str(), narrow_port.c_str(), &hints, &list) != 0) {
        return nullptr;
    }
    return address_list(list);
}

int tcp_socket::connect(const std::wstring& host, const std::wstring& port, int timeout_seconds, int wake_fd) {
    const address_list addresses = resolve(host, port);
    if (!addresses) {
        zel::log(logger::warning, L"tcp_socket: cannot resolve " + host + L":" + port);
        return 0;
    }
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (timeout_seconds > 0) {
        deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    }
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next) {
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            zel::log(logger::warning, L"tcp_socket: connect to " + host + L":" + port + L" timed out");
            return 0;
        }
        const int fd = ::socket(address->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (fd < 0) {
            zel::log(logger::warning,
                     L"tcp_socket: socket for " + address_text(*address) + L" failed: " + error_text(errno));
            continue;
        }
        const connect_outcome outcome = connect_within(fd, address->ai_addr, address->ai_addrlen, deadline, wake_fd);
        if (outcome == connect_outcome::woken) {
            ::close(fd);
            zel::log(logger::warning, L"tcp_socket: connect to " + host + L":" + port + L" was cut short");
            return 0;
        }
        if (outcome == connect_outcome::failed) {
            zel::log(logger::warning, L"tcp_socket: connect to " + host + L":" + port + L" at " +
                                          address_text(*address) + L" failed: " + error_text(errno));
            ::close(fd);
            continue;
        }
        // Frames go out whole in one send each; without this a request that follows an acknowledgement waits
        // for the server's delayed ACK.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard guard(send_lock_);
        if (fd_.load() >= 0) {
            ::close(fd_.load());
        }
        fd_.store(fd);
        return 1;
    }
    return 0;
}

void tcp_socket::adopt(tcp_socket& other) {
    const int fd = [&] {
        std::lock_guard guard(other.send_lock_);
        return other.fd_.exchange(-1);
    }();
    std::lock_guard guard(send_lock_);
    const int old = fd_.exchange(fd);
    if (old >= 0) {
        ::close(old);
    }
}

int tcp_socket::send(const bytes& data) {
    std::lock_guard guard(send_lock_);
    const int fd = fd_.load();
    if (fd < 0) {
        return -1;
    }
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return -1;
        }
        sent += static_cast<size_t>(n);
    }
    return static_cast<int>(sent);
}

tcp_socket::receive_result tcp_socket::receive(bytes& out) {
    const int fd = fd_.load();
    if (fd < 0) {
        return receive_result::closed;
    }
    uint8_t block[block_size];
    ssize_t n;
    do {
        n = ::recv(fd, block, sizeof block, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n < 0) {
            zel::log(logger::warning, L"tcp_socket: receive failed: " + error_text(errno));
        }
        return receive_result::closed;
    }
    out.insert(out.end(), block, block + n);
    return receive_result::data;
}

void tcp_socket::shutdown() {
    const int fd = fd_.load();
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
    }
}

void tcp_socket::close() {
    std::lock_guard guard(send_lock_);
    const int fd = fd_.exchange(-1);
    if (fd >= 0) {
        ::close(fd);
    }
}

} // namespace zel::controller_
