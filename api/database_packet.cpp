// Packet processing: a received packet's text becomes records in the store and an update mask.
//
// Each object is read once; its first member names the record. Records are parsed before the store changes,
// so an object that fails leaves the store as it was (it is logged and skipped, the later objects apply).
// A record the store already holds is never changed: the update is parsed into a copy that takes its place.
#include "api/command/command_parse_exc.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/msg_del.h"
#include "api/command/received/odel.h"
#include "api/command/received/shift_del.h"
#include "api/command/record_io.h"
#include "api/command_names.h"
#include "api/database.h"
#include "api/record_lists.h"
#include "api/split_json_objects.h"
#include "foundation/clock.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/tariff_params.h"

#include <algorithm>

namespace zel_api {
namespace {

using guard = std::lock_guard<std::recursive_mutex>;
using namespace command;

template <class Record> std::shared_ptr<Record> parse(const json::value& object) {
    auto record = std::make_shared<Record>();
    record->from_value(object);
    return record;
}

// Appended, never merged.
template <class Record> void append(record_list<Record>& list, const json::value& object) {
    list.push_back(parse<Record>(object));
}

// Replaced whole.
template <class Record> void replace(record_ptr<Record>& slot, const json::value& object) {
    slot = parse<Record>(object);
}

// Merged by a key field: a new record is appended (true); a held one is replaced, at its place, by a copy that
// took the text's members (the members the text lacks keep their values).
template <class Record, class Key>
bool merge(record_list<Record>& list, std::shared_ptr<Record> fresh, const json::value& object, Key Record::*field) {
    for (auto& held : list) {
        if (held.get()->*field == fresh.get()->*field) {
            auto next = std::make_shared<Record>(*held);
            next->from_value(object);
            held = std::move(next);
            return false;
        }
    }
    list.push_back(std::move(fresh));
    return true;
}

template <class Record, class Key>
void merge(record_list<Record>& list, const json::value& object, Key Record::*field) {
    merge(list, parse<Record>(object), object, field);
}

std::wstring error_text(const std::exception& error) {
    return zel::utf8_to_wide(error.what());
}

// A reference tariff as taximeter parameters. A member the tariff lacks takes the value the order's own rates
// give it (speed limit 20 km/h, no time-cost cap, 0 for the rest), and the log says which were missing:
// reading an absent member as present would price the ride with garbage.
zel::gps::tariff_params reference_tariff_params(const ref_tariff& tariff) {
    static const tariff_rate order_rates;
    std::wstring missing;
    auto take = [&missing](const auto& member, auto fallback, const wchar_t* name) {
        if (member) {
            return static_cast<decltype(fallback)>(*member);
        }
        missing += missing.empty() ? name : std::wstring(L", ") + name;
        return fallback;
    };
    zel::gps::tariff_params params;
    params.set_base_price(take(tariff.pp, order_rates.base_price(), L"pp"));
    params.set_included_distance(take(tariff.pp_dist, order_rates.included_distance(), L"pp-dist"));
    params.set_included_time(take(tariff.pp_time, order_rates.included_time(), L"pp-time"));
    params.set_price_per_km(take(tariff.btax_dist, order_rates.price_per_km(), L"btax-dist"));
    const float per_minute = take(tariff.btax_time, order_rates.price_per_minute(), L"btax-time");
    params.set_price_per_minute(per_minute);
    params.set_downtime_price(per_minute);
    params.set_speed_limit(take(tariff.speed_limit, order_rates.speed_limit(), L"speed-limit"));
    params.set_time_cost_cap(take(tariff.max_pay_sum_lsl, order_rates.time_cost_cap(), L"max-pay-sum-lsl"));
    if (!missing.empty()) {
        zel::log(zel::logger::warning, L"database: reference tariff \"" + tariff.s_id + L"\" lacks " + missing +
                                           L"; the values of an order's own rates are taken");
    }
    return params;
}

} // namespace

update_mask database::process_packet(const std::wstring& text) {
    guard hold(lock_);
    update_mask mask;
    std::vector<std::wstring> pieces;
    try {
        pieces = split_json_objects(text);
    } catch (const std::exception& error) {
        zel::log(zel::logger::error, L"database::process_packet: packet dropped: " + error_text(error) + L"\n" + text);
        return mask;
    }
    new_order_sound_given_ = false;
    removed_from_list_4_.clear();
    for (const std::wstring& piece : pieces) {
        zel::log(zel::logger::info, piece + L"\n");
        // One broken object costs only itself: the later ones, and the "cmd-result" a screen waits for among
        // them, still arrive.
        try {
            const json::value object = read_json_text(piece);
            if (object.type() != json::kind::object) {
                zel::log(zel::logger::error, L"database::process_packet: object skipped: not a JSON object: " + piece);
                continue;
            }
            if (object.as_object().empty()) {
                continue;
            }
            apply_command(mask, object.as_object().front().name, object);
        } catch (const std::exception& error) {
            zel::log(zel::logger::error,
                     L"database::process_packet: object skipped: " + error_text(error) + L": " + piece);
        }
    }
    try {
        if (mask.test(order_name())) {
            const auto current = get_current_order();
            if (current && current->s == 8) {
                start_taximeter(*current);
            }
        }
        // A confirmed "execute-order" starts the ride as its status 8 does, whichever of the two a server sends
        // first: the ride panel opens on the result, and the distance driven until the record must count. The
        // result names no order: it confirms the one its request named, and the ride is that order's only while
        // it is the current one (another order of list 4 may be newer, at the address or still on the way).
        if (const auto& result = mask.payload(); result && result->ok && result->cmd_name == execute_order_name()) {
            const auto current = get_current_order();
            if (current && !execute_order_id_.empty() && current->s_id == execute_order_id_) {
                start_taximeter(*current);
            }
        }
        if (mask.test(odel_name())) {
            stop_taximeter_if_its_order_left();
        }
    } catch (const std::exception& error) {
        zel::log(zel::logger::error, L"database::process_packet: taximeter: " + error_text(error));
    }
    // The answer to "login" closes the server's listing of the driver's state: the controller hands on what the
    // server pushed only after that answer, in the order it came, so from the next packet on list 4 is the
    // server's word. An "odel" in the answer itself is still judged as unlisted.
    if (const auto& result = mask.payload(); result && result->ok && result->cmd_name == login_name()) {
        orders_listed_ = true;
    }
    new_order_sound_given_ = false;
    removed_from_list_4_.clear();
    return mask;
}

void database::apply_command(update_mask& mask, std::string_view key, const json::value& object) {
    if (key == wire::obj_device_server) {
        append(device_servers_, object);
    } else if (key == wire::obj_main_id) {
        replace(main_id_, object);
        zel::device_info* device = zel::device_info::instance();
        if (device != nullptr && device->main_id().empty()) {
            device->save_main_id(main_id_->main_id);
        }
    } else if (key == wire::obj_zero_params) {
        replace(zero_params_, object);
    } else if (key == wire::cmd_result) {
        mask.set_payload(parse<cmd_result>(object));
    } else if (key == wire::session_fix_param) {
        replace(session_fix_param_, object);
    } else if (key == wire::ref_area) {
        append(areas_, object);
    } else if (key == wire::session_param) {
        apply_session_param(object);
    } else if (key == wire::currency) {
        replace(currency_, object);
    } else if (key == wire::adc) {
        merge(adc_list_, object, &adc::id);
    } else if (key == wire::nda) {
        merge(nda_list_, object, &nda::id);
    } else if (key == wire::order) {
        apply_order(object);
    } else if (key == wire::odel) {
        apply_odel(object);
    } else if (key == wire::ref_rate) {
        append(rates_, object);
    } else if (key == wire::riv) {
        merge(riv_list_, object, &riv::id);
    } else if (key == wire::shift) {
        merge(shifts_, object, &shift::id);
    } else if (key == wire::sell_shift) {
        merge(sell_shifts_, object, &sell_shift::id_sell);
    } else if (key == wire::shift_del) {
        apply_shift_del(object);
    } else if (key == wire::cars) {
        replace(cars_, object);
    } else if (key == wire::msg) {
        merge(messages_, object, &msg::id);
    } else if (key == wire::msg_del) {
        apply_msg_del(object);
    } else if (key == wire::callsign_info) {
        append(callsigns_, object);
    } else if (key == wire::ref_tariff) {
        merge(tariffs_, object, &ref_tariff::s_id);
    } else if (key == wire::obj_update) {
        replace(update_info_, object);
    } else if (key == wire::order_offer) {
        replace(order_offer_, object);
    } else if (key == wire::order_offer_timeout) {
        replace(offer_timeout_, object);
    } else if (key == wire::order_offer_cancel) {
        replace(offer_cancel_, object);
    }
    // Any key sets its bit, when it has one: an internal event's name sent by the server too.
    mask.set(zel::utf8_to_wide(std::string(key)));
}

void database::apply_order(const json::value& object) {
    auto fresh = parse<order>(object);
    const int32_t kind = fresh->l_type;
    if (kind < order::list_general || kind > order::list_current) {
        return;
    }
    const bool added = orders_[kind - 1].put(fresh, [&object](const record_ptr<order>& held) {
        auto next = std::make_shared<order>(*held);
        next->from_value(object);
        return next;
    });
    if (added) {
        const int sound = kind == order::list_general ? 1 : kind == order::list_second ? 2 : 0;
        if (sound != 0 && !new_order_sound_given_) {
            new_order_sound_given_ = true;
            if (play_sound_) {
                play_sound_(sound);
            }
        }
    }
    if (kind != order::list_current || !fresh->s) {
        return;
    }
    // Each order is stamped once per status: a repeated status keeps the first time.
    for (auto [status, stamp] : {std::pair{2, &status2_stamp_}, std::pair{3, &status3_stamp_}}) {
        if (*fresh->s == status && stamp->order_id != fresh->s_id) {
            *stamp = {fresh->s_id, zel::now_seconds()};
        }
    }
}

void database::apply_session_param(const json::value& object) {
    auto fresh = parse<session_param>(object);
    std::shared_ptr<session_param> next = fresh;
    if (session_param_) {
        // Members this text lacks keep their earlier values.
        next = std::make_shared<session_param>(*session_param_);
        next->from_value(object);
    }
    session_param_ = std::move(next);
    if (fresh->dt) {
        server_clock_->set_server_time(*fresh->dt);
    }
    if (fresh->tzo) {
        server_clock_->store_server_seconds(*fresh->tzo);
    }
}

void database::apply_odel(const json::value& object) {
    const auto removal = parse<odel>(object);
    const int32_t kind = removal->l_type;
    if (kind >= order::list_general && kind <= order::list_current) {
        orders_[kind - 1].erase(removal->s_ids);
    }
    if (kind == order::list_current) {
        removed_from_list_4_.insert(removed_from_list_4_.end(), removal->s_ids.begin(), removal->s_ids.end());
    }
}

void database::apply_shift_del(const json::value& object) {
    const auto removal = parse<shift_del>(object);
    for (const int64_t id : removal->ids) {
        erase_first(shifts_, id, &shift::id);
    }
    for (const int64_t id : removal->sell_ids) {
        erase_first(sell_shifts_, id, &sell_shift::id_sell);
    }
}

void database::apply_msg_del(const json::value& object) {
    const auto removal = parse<msg_del>(object);
    for (const uint64_t id : removal->ids) {
        erase_msg(static_cast<int64_t>(id));
    }
}

void database::start_taximeter(const order& current) {
    zel::gps::taximeter& meter = *taximeter_;
    // The taximeter keeps its own immutable snapshot of the tariff (set_tariff clones it), so replacing it on
    // every "order" during the ride never leaves the GPS thread pricing with a destroyed one.
    if (current.dct) {
        meter.set_tariff(&*current.dct);
        meter.start(current.s_id);
        return;
    }
    if (const auto tariff = find_tariff(current.s_tid)) {
        const zel::gps::tariff_params params = reference_tariff_params(*tariff);
        meter.set_tariff(&params);
        meter.start(current.s_id);
        meter.set_tariff_strings(tariff->s_id, L"{}");
        return;
    }
    const zel::gps::tariff_params zero;
    meter.set_tariff(&zero);
    meter.start(current.s_id);
}

void database::stop_taximeter_if_its_order_left() {
    zel::gps::taximeter& meter = *taximeter_;
    if (!meter.is_running()) {
        return;
    }
    const std::wstring measured = meter.order_id();
    if (find_order(order::list_current, measured)) {
        return;
    }
    const bool named =
        std::find(removed_from_list_4_.begin(), removed_from_list_4_.end(), measured) != removed_from_list_4_.end();
    if (named) {
        zel::log(zel::logger::info, L"database: order \"" + measured + L"\" removed; taximeter stopped");
    } else if (orders_listed_) {
        zel::log(zel::logger::info,
                 L"database: order \"" + measured +
                     L"\" is no longer among the driver's orders since the login; taximeter stopped");
    } else {
        // Just after a reconnect emptied the store, list 4 says nothing yet: stopping would delete the dump,
        // and the fare of a ride that goes on would be lost.
        return;
    }
    meter.stop();
}

} // namespace zel_api
