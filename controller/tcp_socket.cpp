#include "controller/tcp_socket.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// A non-blocking connect bounded by poll; the descriptor is blocking again on success.
bool connect_within(int fd, const sockaddr* address, socklen_t length, int timeout_seconds) {
    if (::connect(fd, address, length) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    pollfd waiting{fd, POLLOUT, 0};
    const int timeout_ms = timeout_seconds > 0 ? timeout_seconds * 1000 : -1;
    int ready;
    do {
        ready = ::poll(&waiting, 1, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        errno = ready == 0 ? ETIMEDOUT : errno;
        return false;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        errno = error;
        return false;
    }
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
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
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (::getaddrinfo(narrow_host.c_str(), narrow_port.c_str(), &hints, &list) != 0) {
        return nullptr;
    }
    return address_list(list);
}

int tcp_socket::connect(const std::wstring& host, const std::wstring& port, int timeout_seconds) {
    const address_list addresses = resolve(host, port);
    if (!addresses) {
        zel::log(logger::warning, L"tcp_socket: cannot resolve " + host + L":" + port);
        return 0;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
    if (fd < 0) {
        zel::log(logger::error, L"tcp_socket: socket failed: " + error_text(errno));
        return 0;
    }
    if (!connect_within(fd, addresses->ai_addr, addresses->ai_addrlen, timeout_seconds)) {
        zel::log(logger::warning, L"tcp_socket: connect to " + host + L":" + port + L" failed: " + error_text(errno));
        ::close(fd);
        return 0;
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
