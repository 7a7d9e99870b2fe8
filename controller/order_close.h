// The driver's close of an order, from "Завершить заказ" to the server's word on it. It builds "close-order" from
// the stored bill record and the order (the long form, priced a second time with the client's rates by a
// temporary taximeter, when the order has its own tariff), takes the ride's upload records from the taximeter as
// the request leaves (with the driver, organisation and city of the login it belongs to), and keeps both until
// the close is over, whichever thread brings the answer and however the server splits it over packets: a
// successful result writes the records as the ride's ".tax_data" and ".order_track" files, a refusal drops them.
// The close is over when the result refuses it, when the result accepted it and the order has left the driver's
// orders (the server's "odel", before or after the result, or settle when the screen waits no longer), when its
// request never left the terminal (no link when its turn came: lost, the driver may send it again), or, when the
// dispatch link was lost before the result, once the server has had its say after the reconnect: the reconnect
// empties the store and a server may send the driver's orders with its login answer or in later packets, so the
// verdict waits for the first packet after the successful login that lists a current order, or, when none
// comes, for list_settle_ms after the login's result (on_turn). The order then still listed was never taken:
// lost, the bill stays for another close. The order gone was closed (its answer was what got lost): its files
// are written. A close found lost keeps its records until its old request's result comes (a success writes them
// then, once) or another close begins. Then the report given to begin runs, once.
//
// Every figure of the request is a number the command's format can carry: one that is not finite goes out as 0,
// an integer outside the 32-bit range is held at its edge, and the close logs one line naming them.
//
// States:
//   idle        --begin (a bill stored)--> sent: records taken, the request handed back to be sent
//   sent        --"cmd-result" of "close-order" refused--> idle, records dropped, report(refused)
//   sent        --"disconnect_local" (the dispatch link lost)--> unanswered, records kept
//   sent        --"cmd-result" ok--> files written; the order no longer listed: idle, report(closed);
//                                   else accepted, report(accepted)
//   sent, unanswered, listing --the request never left--> idle, records dropped, report(lost)
//   unanswered  --"cmd-result" of "login" ok, its packet listing a current order--> the verdict (below)
//   unanswered  --"cmd-result" of "login" ok, no current order in its packet--> listing, the settle begun
//   unanswered  --a refused login, "disconnect_local" again--> unanswered
//   listing     --a packet after which a current order is listed, or list_settle_ms gone by--> the verdict:
//                 the order listed: lost, records kept, report(lost); gone: idle, files written, report(closed)
//   listing     --"disconnect_local"--> unanswered
//   listing     --"cmd-result" of "close-order"--> as from sent
//   lost        --"cmd-result" of "close-order" ok--> idle, files written; refused--> idle, records dropped
//   accepted    --any packet after which the order is no longer listed, a lost link, or settle--> idle,
//                 report(closed)
//   any         --begin--> the earlier close forgotten (its report never runs), sent
// Threads and locks: begin, settle and forget run on the UI thread, on_mask on the controller's request and
// listener threads, on_turn on the listener thread, the sender's "never left" call on a request thread; one lock
// guards the state, and the report runs under it (it must only hand the outcome on, as post_to_ui does), so that
// forget returns only when no report is running. The owner source is called outside the lock.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "api/update_mask.h"
#include "gps/taximeter/trip_export.h"

namespace zel_api {
class bill_record;
class database;
namespace command {
class close_order;
class order;
} // namespace command
} // namespace zel_api

namespace zel::controller_ {

class order_close {
public:
    enum class outcome { accepted, closed, refused, lost };
    using report = std::function<void(outcome)>;
    // Hands the request on to be sent; the sender calls never_left, on any thread, when it was not sent (no link).
    using sender =
        std::function<void(std::unique_ptr<zel_api::command::close_order>, std::function<void()> never_left)>;
    // Whose ride it is, as the ride's ".tax_data" names it.
    struct ride_owner {
        int64_t driver_id = 0;
        int64_t organization_id = 0;
        int64_t city_id = 0;
    };
    using owner_source = std::function<ride_owner()>;

    // How long after the reconnect's login result a close whose answer the link lost waits for the server to
    // list the driver's orders.
    static constexpr uint32_t list_settle_ms = 5000;

    // The ride's files go into the folder; requests leave through send; owner names the ride's driver,
    // organisation and city (none: 0 each).
    order_close(zel_api::database& store, std::filesystem::path folder, sender send, owner_source owner = {});
    ~order_close();
    order_close(const order_close&) = delete;
    order_close& operator=(const order_close&) = delete;

    // "close-order" for the bill and its order: the short form, or the long one when the order has its own
    // tariff ("dct"); precision is the currency's, discount_answer the driver's answer to the discount question.
    // The bill is only read (its getters are not const).
    static std::unique_ptr<zel_api::command::close_order> build_request(zel_api::bill_record& bill,
                                                                        const zel_api::command::order& order,
                                                                        float precision, int32_t discount_answer);

    // UI thread: closes the stored bill's order (the close of that order, with the answer to the discount
    // question): builds and sends the request and waits for its end, then reports it. False, with a log line,
    // and nothing sent when no bill is stored.
    bool begin(const zel_api::command::order& order, int32_t discount_answer, report on_over);
    // Controller threads: every processed packet's mask, before the screens get it.
    void on_mask(const zel_api::update_mask& mask);
    // Listener thread, every turn: a close waiting for the server's list after a reconnect is decided once the
    // settle has gone by (the program's clock, so tests step it).
    void on_turn();
    // UI thread: an accepted close whose order is still listed is taken as over.
    void settle();
    // UI thread: the close in hand, if any, is forgotten without a report (its files stay as written).
    void forget();
    // True while a close waits for its end (sent, unanswered, listing or accepted); tests wait on it.
    bool in_hand() const;

    // The ride's data files' stem: the order id with every character outside [A-Za-z0-9_-] made "_", "_", and
    // the time in seconds since 1970.
    static std::string trip_file_stem(const std::wstring& order_id, int64_t seconds);

private:
    enum class state { idle, sent, unanswered, listing, accepted, lost };

    std::optional<gps::trip_export> take_trip(zel_api::bill_record& bill) const;
    void never_left(uint64_t number);
    void take_result(bool ok);
    bool lists_orders(const zel_api::update_mask& mask) const;
    void decide();
    void write_trip();
    bool order_listed() const;
    void finish(outcome result, state next = state::idle);

    zel_api::database& store_;
    const std::filesystem::path folder_;
    const sender send_;
    const owner_source owner_;
    mutable std::mutex lock_;
    state state_ = state::idle;
    uint64_t number_ = 0;       // of the close in hand, counted by begin
    uint32_t listing_from_ = 0; // the tick of the reconnect's login result
    std::wstring order_id_;
    std::optional<gps::trip_export> trip_;
    report report_;
};

} // namespace zel::controller_
