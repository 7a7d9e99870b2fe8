// A TCP connection that carries bytes, over IPv4 or IPv6. Its owner connects and closes it; the receive side
// (one thread) may block in receive until bytes come, the peer closes, or the owner calls shutdown. Sends from
// any thread go out whole, one at a time, under the send lock, so frames never interleave on the wire.
// Closing is the owner's alone, after the receiving thread has ended: a descriptor number is never closed
// twice, so a number reused by another link is never hit.
//
// A connect tries every resolved address in order within one time-out, and holds no lock while it waits: the
// owner makes it on a socket object of its own and takes the descriptor over (adopt) once it is through. A
// wake-up descriptor given to connect cuts the wait short (a stop while connecting).
#pragma once

#include "controller/packet.h"

#include <netdb.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace zel::controller_ {

struct addrinfo_deleter {
    void operator()(addrinfo* list) const {
        freeaddrinfo(list);
    }
};
using address_list = std::unique_ptr<addrinfo, addrinfo_deleter>;

class tcp_socket {
public:
    static constexpr size_t block_size = 8192;

    tcp_socket() = default;
    virtual ~tcp_socket();
    tcp_socket(const tcp_socket&) = delete;
    tcp_socket& operator=(const tcp_socket&) = delete;

    // TCP addresses of host and port, IPv4 and IPv6, in the resolver's order; empty on failure (or a host that
    // is not plain ASCII).
    virtual address_list resolve(const std::wstring& host, const std::wstring& port);

    // Connects to the resolved addresses in order until one answers, all of them within timeout_seconds (the
    // system's own wait when 0 or less). A wake_fd (-1: none) that becomes readable ends the attempt at once.
    // 1 on success, 0 otherwise (the socket stays closed).
    int connect(const std::wstring& host, const std::wstring& port, int timeout_seconds, int wake_fd = -1);
    // Takes over the connected descriptor of other (which is left closed), closing any of its own.
    void adopt(tcp_socket& other);
    bool is_closed() const {
        return fd_.load() < 0;
    }
    // Sends every byte; the count sent, or -1 when closed or the link fails.
    int send(const bytes& data);

    enum class receive_result { data, closed };
    // Waits for the next block (up to block_size bytes) and appends it to out. closed: the peer closed the
    // link, it failed, or shutdown was called; the descriptor stays open until close.
    receive_result receive(bytes& out);
    // Ends the link in both directions and wakes a blocked receive; the descriptor stays until close.
    void shutdown();
    // Owner only, once no thread receives any more.
    void close();

private:
    std::atomic<int> fd_{-1};
    std::mutex send_lock_; // one frame on the wire at a time; also guards the descriptor against close
};

} // namespace zel::controller_
