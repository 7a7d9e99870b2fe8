// Sections: the request | the close's course | the ride's files.
#include "controller/order_close.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "api/bill_money.h"
#include "api/bill_record.h"
#include "api/command/received/order.h"
#include "api/command/sent/close_order.h"
#include "api/command_names.h"
#include "api/database.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/taximeter.h"
#include "gps/trip_data_file.h"

namespace zel::controller_ {

using zel_api::bill_record;
using zel_api::command::close_order;
using zel_api::command::order;
using zel_api::command::trip_detail;

namespace {

// The figures of one request as the command's format can carry them, with the names of those that could not
// be carried as they were.
class figures {
public:
    float real(float value, const wchar_t* name) {
        if (std::isfinite(value)) {
            return value;
        }
        refused(name);
        return 0.0f;
    }

    // Whole roubles of an amount; beyond the 32-bit range, its edge.
    int32_t roubles(double amount, const wchar_t* name) {
        if (!std::isfinite(amount)) {
            refused(name);
            return 0;
        }
        if (std::fabs(amount) < std::numeric_limits<int32_t>::max()) {
            return zel_api::whole_roubles(amount);
        }
        refused(name);
        return zel_api::clamped_int32(amount);
    }

    int32_t whole(double value, const wchar_t* name) {
        const int32_t held = zel_api::clamped_int32(value);
        if (!std::isfinite(value) || static_cast<double>(held) != std::trunc(value)) {
            refused(name);
        }
        return held;
    }

    void log_refused(const std::wstring& order_id) const {
        if (!names_.empty()) {
            zel::log(logger::error, L"order_close: \"close-order\" of order \"" + order_id +
                                        L"\": figures not finite or out of range, sent as 0 or held at the range: " +
                                        names_);
        }
    }

private:
    void refused(const wchar_t* name) {
        names_ += (names_.empty() ? L"" : L", ") + std::wstring(name);
    }

    std::wstring names_;
};

} // namespace

order_close::order_close(zel_api::database& store, std::filesystem::path folder, sender send, owner_source owner)
    : store_(store), folder_(std::move(folder)), send_(std::move(send)), owner_(std::move(owner)) {}

order_close::~order_close() = default;

// ---------------------------------------------------------------------------------------------- the request

std::unique_ptr<close_order> order_close::build_request(bill_record& bill, const order& order, float precision,
                                                        int32_t discount_answer) {
    figures held;
    const float total = held.real(bill.total_ref(), L"sum");
    auto request =
        std::make_unique<close_order>(bill.order_id(), held.roubles(total, L"sum"), bill.downtime_seconds_ref() / 60,
                                      held.whole(bill.distance_ref(), L"dist"), discount_answer);
    if (!order.dct) {
        held.log_refused(bill.order_id());
        return request;
    }
    precision = held.real(precision, L"item-cost-precision");
    const float total_precision = held.real(order.dct->cp_ref(), L"total-cost-precision");
    const bool due = bill.taximeter_cost_ref() >= order.msum.value_or(0.0f);
    const float minutes = static_cast<float>(bill.downtime_seconds_ref() / 60);
    if (due) {
        // The writer of every command sends a real that is not finite as 0, with its own log line.
        request->add_cd_detail(trip_detail(L"distance", bill.distance_cost(), 0));
        request->add_cd_detail(trip_detail(L"time", bill.time_cost(), 0));
        request->add_cd_detail(trip_detail(L"downtime", bill.downtime_cost(), minutes));
        request->add_cd_detail(trip_detail(L"prepay", bill.base_price(), 0));
        request->add_cd_detail(trip_detail(L"item-cost-precision", 0, precision));
        request->add_cd_detail(trip_detail(L"total-cost-precision", 0, total_precision));
    }
    request->set_cd_total_cost(total);
    if (order.cct && due) {
        const auto& c = *order.cct;
        gps::tariff_params params;
        params.set_base_price(c.p_ref());
        params.set_included_distance(c.pd_ref());
        params.set_included_time(c.pt_ref());
        params.set_price_per_km(c.cdu_ref());
        params.set_price_per_minute(c.ctu_ref());
        params.set_speed_limit(20);
        params.set_time_cost_cap(-1.0f);
        // A taximeter of its own for the client's rates: started for the order, it restores the ride from the
        // order's dump file and prices it once.
        gps::taximeter temporary;
        temporary.set_tariff(&params);
        temporary.start(order.s_id);
        temporary.recompute();
        const float distance = held.real(round_up_to_step(temporary.cost_distance(), precision), L"ccd distance");
        const float time = held.real(round_up_to_step(temporary.cost_time(), precision), L"ccd time");
        const float downtime = held.real(round_up_to_step(temporary.cost_downtime(), precision), L"ccd downtime");
        const float base = held.real(round_up_to_step(temporary.base_price(), precision), L"ccd prepay");
        request->add_ccd_detail(trip_detail(L"distance", distance, 0));
        request->add_ccd_detail(trip_detail(L"time", time, 0));
        request->add_ccd_detail(trip_detail(L"downtime", downtime, minutes));
        request->add_ccd_detail(trip_detail(L"prepay", base, 0));
        request->add_ccd_detail(trip_detail(L"item-cost-precision", 0, precision));
        request->add_ccd_detail(trip_detail(L"total-cost-precision", 0, total_precision));
        request->set_ccd_total_cost(
            held.real(round_up_to_step(base + downtime + time + distance, total_precision), L"ccd total-cost"));
    }
    request->set_discount(discount_answer == 1 ? held.real(order.cts.value_or(0.0f), L"discount") : 0.0f);
    held.log_refused(bill.order_id());
    return request;
}

// -------------------------------------------------------------------------------------------- the close's course

bool order_close::begin(const order& order, int32_t discount_answer, report on_over) {
    const auto bill = store_.get_bill();
    if (!bill) {
        zel::log(logger::warning, L"order_close::begin: no bill stored, nothing sent");
        return false;
    }
    const auto currency = store_.get_currency();
    auto request = build_request(*bill, order, currency ? currency->precision() : 0.0f, discount_answer);
    auto trip = take_trip(*bill);
    uint64_t number;
    {
        std::lock_guard guard(lock_);
        if (state_ != state::idle && state_ != state::lost) {
            zel::log(logger::warning, L"order_close::begin: the close of order \"" + order_id_ + L"\" is forgotten");
        }
        number = ++number_;
        order_id_ = bill->order_id();
        report_ = std::move(on_over);
        trip_ = std::move(trip);
        state_ = state::sent;
    }
    send_(std::move(request), [this, number] { never_left(number); });
    return true;
}

void order_close::never_left(uint64_t number) {
    std::lock_guard guard(lock_);
    if (number != number_ || (state_ != state::sent && state_ != state::unanswered && state_ != state::listing)) {
        return;
    }
    zel::log(logger::warning, L"order_close: the close of order \"" + order_id_ +
                                  L"\" never left the terminal (no link): lost, it may be sent again");
    trip_.reset();
    finish(outcome::lost);
}

void order_close::on_mask(const zel_api::update_mask& mask) {
    std::lock_guard guard(lock_);
    if (state_ == state::idle) {
        return;
    }
    if (const auto* result = mask.result_of(zel_api::key::close_order)) {
        if (state_ == state::sent || state_ == state::listing) {
            take_result(result->ok);
            return;
        }
        if (state_ == state::lost) {
            // The request taken for lost was answered after all: its records are written now, or dropped.
            if (result->ok) {
                zel::log(logger::warning, L"order_close: order \"" + order_id_ +
                                              L"\": the close taken for lost was answered with success");
                write_trip();
            }
            trip_.reset();
            state_ = state::idle;
            return;
        }
    }
    switch (state_) {
    case state::unanswered:
        // The reconnect's login emptied the store; the server lists the driver's orders in its answer or later.
        if (const auto* login = mask.result_of(zel_api::key::login); login && login->ok) {
            if (lists_orders(mask)) {
                decide();
            } else {
                state_ = state::listing;
                listing_from_ = clock::tick_ms();
            }
        }
        return;
    case state::listing:
        if (mask.test(zel_api::key::disconnect_local)) {
            state_ = state::unanswered;
        } else if (lists_orders(mask)) {
            decide();
        }
        return;
    case state::lost:
        return;
    default:
        break;
    }
    if (mask.test(zel_api::key::disconnect_local)) {
        if (state_ == state::sent) {
            state_ = state::unanswered;
        } else {
            finish(outcome::closed);
        }
        return;
    }
    if (state_ == state::accepted && !order_listed()) {
        finish(outcome::closed);
    }
}

void order_close::take_result(bool ok) {
    if (!ok) {
        trip_.reset();
        finish(outcome::refused);
        return;
    }
    write_trip();
    state_ = state::accepted;
    if (order_listed()) {
        if (report_) {
            report_(outcome::accepted);
        }
        return;
    }
    finish(outcome::closed);
}

bool order_close::lists_orders(const zel_api::update_mask& mask) const {
    return mask.test(zel_api::key::order) && store_.get_current_order() != nullptr;
}

void order_close::decide() {
    if (order_listed()) {
        zel::log(logger::warning, L"order_close: order \"" + order_id_ +
                                      L"\" still listed after the reconnect: its close was not taken");
        finish(outcome::lost, state::lost);
    } else {
        zel::log(logger::warning, L"order_close: order \"" + order_id_ +
                                      L"\" gone after the reconnect: its close was taken, its answer lost");
        write_trip();
        finish(outcome::closed);
    }
}

void order_close::on_turn() {
    std::lock_guard guard(lock_);
    if (state_ == state::listing && clock::tick_ms() - listing_from_ >= list_settle_ms) {
        zel::log(logger::warning, L"order_close: no current order listed within the settle after the reconnect");
        decide();
    }
}

void order_close::settle() {
    std::lock_guard guard(lock_);
    if (state_ == state::accepted) {
        zel::log(logger::warning, L"order_close: order \"" + order_id_ + L"\" is still listed after its close");
        finish(outcome::closed);
    }
}

void order_close::forget() {
    std::lock_guard guard(lock_);
    state_ = state::idle;
    trip_.reset();
    report_ = nullptr;
}

bool order_close::in_hand() const {
    std::lock_guard guard(lock_);
    return state_ != state::idle && state_ != state::lost;
}

bool order_close::order_listed() const {
    return store_.find_order(order::list_current, order_id_) != nullptr;
}

void order_close::finish(outcome result, state next) {
    state_ = next;
    report over = std::move(report_);
    report_ = nullptr;
    if (over) {
        over(result);
    }
}

// --------------------------------------------------------------------------------------------- the ride's files

std::optional<gps::trip_export> order_close::take_trip(bill_record& bill) const {
    gps::taximeter* meter = store_.get_taximeter();
    if (!meter || !meter->is_running() || meter->order_id() != bill.order_id()) {
        return std::nullopt;
    }
    gps::trip_export trip;
    meter->export_trip(trip);
    if (owner_) {
        const ride_owner owner = owner_();
        trip.tax_data.driver_id = owner.driver_id;
        trip.tax_data.organization_id = owner.organization_id;
        trip.tax_data.city_id = owner.city_id;
    }
    return trip;
}

void order_close::write_trip() {
    if (!trip_) {
        return;
    }
    const std::string stem = trip_file_stem(trip_->tax_data.order_id, now_seconds());
    if (!gps::write_trip_files(folder_, *trip_, stem)) {
        zel::log(logger::error, L"order_close: the ride's data files were not written");
    }
    trip_.reset();
}

std::string order_close::trip_file_stem(const std::wstring& order_id, int64_t seconds) {
    std::string stem;
    for (wchar_t c : order_id) {
        const bool safe =
            (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
        stem += safe ? static_cast<char>(c) : '_';
    }
    return stem + "_" + std::to_string(seconds);
}

} // namespace zel::controller_
