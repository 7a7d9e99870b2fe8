// The driver's close of an order, from "Завершить заказ" to the server's word on it. It builds "close-order" from
// the stored bill record and the order (the long form, priced a second time with the client's rates by a
// temporary taximeter, when the order has its own tariff), takes the ride's upload records from the taximeter as
// the request leaves, and keeps both until the close is over, whichever thread brings the answer and however the
// server splits it over packets: a successful result writes the records as the ride's ".tax_data" and
// ".order_track" files, a refusal drops them. The close is over when the result refuses it, when the result
// accepted it and the order has left the driver's orders (the server's "odel", before or after the result, or
// settle when the screen waits no longer), or, when the link was lost before the result, at the reconnect's
// login result: the store then holds the server's list again, and an order no longer listed was closed (its
// answer was what got lost), so its files are written; an order still listed was never taken, its records are
// dropped and the driver may send the close again. Then the report given to begin runs, once.
//
// Every figure of the request is a number the command's format can carry: one that is not finite goes out as 0,
// an integer outside the 32-bit range is held at its edge, and the close logs one line naming them.
//
// States:
//   idle        --begin (a bill stored)--> sent: records taken, the request handed back to be sent
//   sent        --"cmd-result" of "close-order" refused--> idle, records dropped, report(refused)
//   sent        --"disconnect_local"--> unanswered, records kept
//   sent        --"cmd-result" ok--> files written; the order no longer listed: idle, report(closed);
//                                   else accepted, report(accepted)
//   unanswered  --"cmd-result" of "login" ok, the order no longer listed--> idle, files written, report(closed)
//   unanswered  --"cmd-result" of "login" ok, the order listed--> idle, records dropped, report(lost)
//   unanswered  --a refused login, "disconnect_local" again--> unanswered
//   accepted    --any packet after which the order is no longer listed, a lost link, or settle--> idle,
//                 report(closed)
//   any         --begin--> the earlier close forgotten (its report never runs), sent
// Threads and locks: begin, settle and forget run on the UI thread, on_mask on the controller's request and
// listener threads; one lock guards the state, and the report runs under it (it must only hand the outcome on,
// as post_to_ui does), so that forget returns only when no report is running.
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
    using sender = std::function<void(std::unique_ptr<zel_api::command::close_order>)>;

    // The ride's files go into the folder; requests leave through send.
    order_close(zel_api::database& store, std::filesystem::path folder, sender send);
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
    // UI thread: an accepted close whose order is still listed is taken as over.
    void settle();
    // UI thread: the close in hand, if any, is forgotten without a report (its files stay as written).
    void forget();

    // The ride's data files' stem: the order id with every character outside [A-Za-z0-9_-] made "_", "_", and
    // the time in seconds since 1970.
    static std::string trip_file_stem(const std::wstring& order_id, int64_t seconds);

private:
    enum class state { idle, sent, unanswered, accepted };

    void take_trip(zel_api::bill_record& bill);
    void write_trip();
    bool order_listed() const;
    void finish(outcome result);

    zel_api::database& store_;
    const std::filesystem::path folder_;
    const sender send_;
    mutable std::mutex lock_;
    state state_ = state::idle;
    std::wstring order_id_;
    std::optional<gps::trip_export> trip_;
    report report_;
};

} // namespace zel::controller_
