// One framed TCP connection to a login or dispatch server, with its receive thread and the list of packets it
// received. The receive thread cuts every complete frame as soon as it is in, answers a keep-alive with a
// keep-alive answer, acknowledges and queues the other packets of the protocol's types, and acknowledges and drops
// (logging each such type once per connection) a packet of any other type; requests are paired with their answers by
// packet id.
//
// Connection states:
//   closed  --connect-->  connecting  --connected-->  running (receive thread up)
//   connecting  --refused / time-out / stop-->  closed
//   running  --peer closes / link fails / oversized frame-->  dropped (running 0, thread ended, socket still open)
//   running or dropped  --stop-->  closed
// Every connect and every stop starts a new link id. stop shuts the socket down (which wakes a blocked receive),
// joins the receive thread, then closes: the owner is the only closer, and nothing of an old connection (thread,
// queued packets, socket) survives into a new one. A stop while connecting wakes the connect's poll, so a stop
// never waits out a connect; stop(id) ends only the link it was decided for, never a newer one.
//
// Locks: the list lock guards the received list, the sequence, the pending request id and the link id; it is
// never held across a send, a receive or a wait. The tcp_socket's send lock keeps frames whole on the wire. The
// life lock orders connect and stop and guards the connect in progress; it is held only for short steps (never
// across the connect's wait, only across joining a receive thread that the socket's shutdown has already woken).
// running and last activity are read without locks. One request at a time per connection is the caller's rule.
#pragma once

#include "controller/packet.h"
#include "controller/tcp_socket.h"
#include "controller/wake_up.h"

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace zel::controller_ {

class packet_socket {
public:
    packet_socket();
    ~packet_socket();
    packet_socket(const packet_socket&) = delete;
    packet_socket& operator=(const packet_socket&) = delete;

    // Ends any previous connection (and a connect in progress), empties the received list, stamps the last
    // activity and connects (within timeout_seconds, no lock held while it waits); on success starts the receive
    // thread. 1 on success, 0 otherwise (refused, timed out, or stopped while connecting).
    int connect(const std::wstring& host, const std::wstring& port, int timeout_seconds);
    // Sends payload as a command with the next sequence id (1..254, then 1 again) and waits until a packet
    // with that id brings a non-empty payload, the link drops, or timeout_seconds pass on the monotonic tick.
    // Acknowledgements of the request are taken on the way. Empty when no answer came.
    bytes send_and_wait(const bytes& payload, int timeout_seconds);
    // Takes the oldest queued command, inflated when flagged; the answer of a request that is still waiting is
    // left to it. Empty when none is queued.
    bytes pop_command();
    // Ends the connection (or cuts a connect short) and waits for the receive thread.
    void stop();
    // The same for the link id names only: false, and nothing done, when a connect or a stop came since.
    bool stop(uint64_t link_id);

    struct link_state {
        uint64_t id;     // what stop(id) takes
        bool connecting; // a connect is under way
        bool running;
        uint32_t last_activity;
    };
    // One consistent view of the link, for deciding whether to stop it.
    link_state state() const;
    uint64_t link_id() const;

    bool is_running() const {
        return running_.load();
    }
    // Tick (clock::tick_ms) of the connect or of the last complete packet received.
    uint32_t last_activity() const {
        return last_activity_.load();
    }
    // Packets received and not yet taken.
    size_t queued() const;

private:
    void packet_listener_thread();
    // Queues a received packet (a keep-alive is only answered) and sends its acknowledgement or answer;
    // false when the reply cannot be sent.
    bool take(packet received);
    void stop_locked();
    void mark_dropped();
    uint8_t next_sequence();

    std::deque<std::unique_ptr<packet>> received_;
    std::unique_ptr<tcp_socket> socket_;
    uint32_t sequence_ = 0;
    int pending_id_ = -1;
    uint64_t link_id_ = 0; // counts connects and stops
    mutable std::mutex list_lock_;
    std::condition_variable arrived_; // a packet was queued or the link dropped
    std::atomic<bool> running_{false};
    std::thread receive_thread_;
    std::atomic<uint32_t> last_activity_{0};
    std::bitset<256> unknown_types_logged_; // the receive thread's, per connection
    mutable std::mutex life_lock_;
    std::shared_ptr<wake_up> connecting_; // the connect in progress, under the life lock
};

} // namespace zel::controller_
