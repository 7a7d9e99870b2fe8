#include "controller/packet_socket.h"

#include "controller/frame_reader.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <chrono>
#include <system_error>

namespace zel::controller_ {
namespace {

// How often a waiting request looks at the tick again; an injected clock stepped by a test is seen this soon.
constexpr auto poll_period = std::chrono::milliseconds(100);

} // namespace

packet_socket::packet_socket() : socket_(std::make_unique<tcp_socket>()) {}

packet_socket::~packet_socket() {
    stop();
}

int packet_socket::connect(const std::wstring& host, const std::wstring& port, int timeout_seconds) {
    auto wake = std::make_shared<wake_up>();
    uint64_t id;
    {
        std::lock_guard life(life_lock_);
        stop_locked();
        connecting_ = wake;
        std::lock_guard guard(list_lock_);
        received_.clear();
        pending_id_ = -1;
        id = ++link_id_;
        unknown_types_logged_.reset();
        last_activity_.store(clock::tick_ms());
    }
    // No lock is held while connecting: a stop meanwhile must not wait up to the whole time-out (and then
    // close what the connect had just made), it wakes the wait instead.
    tcp_socket attempt;
    const int connected = attempt.connect(host, port, timeout_seconds, wake->fd());
    std::lock_guard life(life_lock_);
    if (connecting_ == wake) {
        connecting_.reset();
    }
    if (connected != 1) {
        return 0;
    }
    if (link_id() != id) {
        zel::log(logger::warning, L"packet_socket: the link to " + host + L":" + port + L" was stopped while connecting");
        return 0; // attempt closes its descriptor
    }
    socket_->adopt(attempt);
    running_.store(true);
    try {
        receive_thread_ = std::thread(&packet_socket::packet_listener_thread, this);
    } catch (const std::system_error& error) {
        zel::log(logger::error, L"packet_socket: cannot start the receive thread: " + utf8_to_wide(error.what()));
        running_.store(false);
        socket_->close();
        return 0;
    }
    return 1;
}

void packet_socket::stop() {
    std::lock_guard life(life_lock_);
    stop_locked();
}

bool packet_socket::stop(uint64_t id) {
    std::lock_guard life(life_lock_);
    if (link_id() != id) {
        return false;
    }
    stop_locked();
    return true;
}

packet_socket::link_state packet_socket::state() const {
    std::lock_guard life(life_lock_);
    return {link_id(), connecting_ != nullptr, running_.load(), last_activity_.load()};
}

uint64_t packet_socket::link_id() const {
    std::lock_guard guard(list_lock_);
    return link_id_;
}

void packet_socket::stop_locked() {
    {
        std::lock_guard guard(list_lock_);
        ++link_id_;
    }
    if (connecting_) {
        connecting_->signal();
        connecting_.reset();
    }
    running_.store(false);
    socket_->shutdown();
    if (receive_thread_.joinable()) {
        receive_thread_.join();
    }
    socket_->close();
    arrived_.notify_all();
}

void packet_socket::mark_dropped() {
    std::lock_guard guard(list_lock_);
    running_.store(false);
    arrived_.notify_all();
}

size_t packet_socket::queued() const {
    std::lock_guard guard(list_lock_);
    return received_.size();
}

void packet_socket::packet_listener_thread() {
    last_activity_.store(clock::tick_ms());
    frame_reader reader;
    bytes block;
    while (running_.load()) {
        block.clear();
        if (socket_->receive(block) == tcp_socket::receive_result::closed) {
            if (running_.load()) {
                zel::log(logger::warning, L"packet_socket: the link was closed by the server or failed");
            }
            break;
        }
        reader.append(block.data(), block.size());
        // Every complete frame of the block is cut now: one left in the buffer would wait for the next
        // traffic, and a request waiting for it could time out.
        packet received;
        frame_reader::result cut = frame_reader::result::need_more;
        bool link_ok = true;
        while (link_ok && (cut = reader.next(received)) == frame_reader::result::packet) {
            link_ok = take(std::move(received));
        }
        if (link_ok && cut == frame_reader::result::broken) {
            zel::log(logger::error, L"packet_socket: broken frame, dropping the link: " + utf8_to_wide(reader.error()));
            socket_->shutdown();
            link_ok = false;
        }
        if (!link_ok) {
            break;
        }
    }
    mark_dropped();
}

bool packet_socket::take(packet received) {
    const uint8_t id = received.id();
    const uint8_t type = received.type();
    const bool keep_alive = type == packet::keep_alive;
    // A type this side does not know is acknowledged and dropped, keeping the link: dropping the link would
    // make every terminal reconnect for ever once the server adds a type. Nobody would take it from the list.
    const bool known = type == packet::command || type == packet::acknowledgement || keep_alive ||
                       type == packet::keep_alive_answer;
    if (!known && !unknown_types_logged_.test(type)) {
        unknown_types_logged_.set(type);
        zel::log(logger::warning, L"packet_socket: packets of the unknown type " + std::to_wstring(type) +
                                      L" are acknowledged and dropped");
    }
    // Stamped before the packet is handed on: whoever acts on it must find the link already active, not
    // have its activity moved to a later tick afterwards.
    last_activity_.store(clock::tick_ms());
    if (known && !keep_alive) {
        std::lock_guard guard(list_lock_);
        received_.push_back(std::make_unique<packet>(std::move(received)));
        arrived_.notify_all();
    }
    const packet reply(keep_alive ? packet::keep_alive_answer : packet::acknowledgement, 0, id);
    return socket_->send(reply.to_bytes()) >= 0;
}

uint8_t packet_socket::next_sequence() {
    sequence_ = (sequence_ + 1) % 256;
    if (sequence_ == 0 || sequence_ == 255) {
        sequence_ = 1;
    }
    return static_cast<uint8_t>(sequence_);
}

bytes packet_socket::send_and_wait(const bytes& payload, int timeout_seconds) {
    uint8_t id;
    uint64_t link;
    {
        std::lock_guard guard(list_lock_);
        id = next_sequence();
        pending_id_ = id;
        link = link_id_;
    }
    packet request(packet::command, 0, id);
    request.set_payload(payload);
    bytes answer;
    // Timed from before the send: once the peer can see the request, the wait has begun.
    const uint32_t start = clock::tick_ms();
    if (socket_->send(request.to_bytes()) >= 0) {
        const uint64_t limit_ms = static_cast<uint64_t>(timeout_seconds > 0 ? timeout_seconds : 0) * 1000;
        std::unique_lock guard(list_lock_);
        for (;;) {
            // Packets of this id without a payload (the acknowledgement) are taken on the way.
            for (auto it = received_.begin(); answer.empty() && it != received_.end();) {
                if ((*it)->id() == id) {
                    answer = (*it)->payload();
                    it = received_.erase(it);
                } else {
                    ++it;
                }
            }
            // A request of an earlier connection never waits on a later one.
            if (!answer.empty() || !running_.load() || link != link_id_ ||
                clock::tick_ms() - start > limit_ms) {
                break;
            }
            arrived_.wait_for(guard, poll_period);
        }
    }
    std::lock_guard guard(list_lock_);
    pending_id_ = -1;
    return answer;
}

bytes packet_socket::pop_command() {
    std::unique_ptr<packet> taken;
    {
        std::lock_guard guard(list_lock_);
        for (auto it = received_.begin(); it != received_.end(); ++it) {
            if ((*it)->type() == packet::command && (*it)->id() != pending_id_) {
                taken = std::move(*it);
                received_.erase(it);
                break;
            }
        }
    }
    return taken ? taken->payload() : bytes{};
}

} // namespace zel::controller_
