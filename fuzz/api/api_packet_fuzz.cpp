// A received packet's text: cut into objects, each read and filled into the record its key names, as the
// store does. Nothing may crash; every piece is one balanced object; the JSON layer writes back what it read;
// a failed parse leaves the record as it was; the records that are written back read back the same.
#include "api/command/command_parse_exc.h"
#include "api/command/received/adc.h"
#include "api/command/received/callsign_info.h"
#include "api/command/received/cars.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/currency.h"
#include "api/command/received/login_reply.h"
#include "api/command/received/msg.h"
#include "api/command/received/msg_del.h"
#include "api/command/received/nda.h"
#include "api/command/received/obj_device_server.h"
#include "api/command/received/obj_main_id.h"
#include "api/command/received/obj_update.h"
#include "api/command/received/obj_zero_params.h"
#include "api/command/received/odel.h"
#include "api/command/received/order.h"
#include "api/command/received/order_offer.h"
#include "api/command/received/order_offer_cancel.h"
#include "api/command/received/order_offer_timeout.h"
#include "api/command/received/ref_area.h"
#include "api/command/received/ref_rate.h"
#include "api/command/received/ref_tariff.h"
#include "api/command/received/riv.h"
#include "api/command/received/sell_shift.h"
#include "api/command/received/session_fix_param.h"
#include "api/command/received/session_param.h"
#include "api/command/received/shift.h"
#include "api/command/received/shift_del.h"
#include "api/command/received/upload_uuid_reply.h"
#include "api/command/record_io.h"
#include "api/command_names.h"
#include "api/json/reader.h"
#include "api/json/writer.h"
#include "api/split_json_objects.h"
#include "foundation/text_utils.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace zel_api;
using namespace zel_api::command;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Fills a record and returns whether it took the value; on failure the record's text must not have changed.
template <class Record> bool fill(Record& record, const json::value& v) {
    const std::wstring before = record.to_json();
    try {
        record.from_value(v);
        return true;
    } catch (const command_parse_exc&) {
    } catch (const json::type_error&) {
    }
    check(record.to_json() == before);
    return false;
}

template <class Record> void parse(const json::value& v) {
    Record record;
    fill(record, v);
}

// Records that are written back must read back the same.
template <class Record> void parse_and_write_back(const json::value& v) {
    Record record;
    if (!fill(record, v)) {
        return;
    }
    const std::wstring text = record.to_json();
    Record again;
    again.from_json(text);
    check(again.to_json() == text);
}

void apply_object(std::string_view key, const json::value& v) {
    if (key == wire::order) {
        parse<order>(v);
    } else if (key == wire::odel) {
        parse<odel>(v);
    } else if (key == wire::order_offer) {
        parse<order_offer>(v);
    } else if (key == wire::order_offer_timeout) {
        parse<order_offer_timeout>(v);
    } else if (key == wire::order_offer_cancel) {
        parse<order_offer_cancel>(v);
    } else if (key == wire::session_param) {
        parse<session_param>(v);
    } else if (key == wire::session_fix_param) {
        parse<session_fix_param>(v);
    } else if (key == wire::obj_zero_params) {
        parse<obj_zero_params>(v);
    } else if (key == wire::obj_main_id) {
        parse<obj_main_id>(v);
    } else if (key == wire::obj_device_server) {
        parse_and_write_back<obj_device_server>(v);
    } else if (key == wire::obj_update) {
        parse<obj_update>(v);
    } else if (key == wire::currency) {
        parse<currency>(v);
    } else if (key == wire::ref_area) {
        parse<ref_area>(v);
    } else if (key == wire::ref_rate) {
        parse<ref_rate>(v);
    } else if (key == wire::ref_tariff) {
        parse_and_write_back<ref_tariff>(v);
    } else if (key == wire::riv) {
        parse<riv>(v);
    } else if (key == wire::adc) {
        parse<adc>(v);
    } else if (key == wire::nda) {
        parse<nda>(v);
    } else if (key == wire::cars) {
        parse<cars>(v);
    } else if (key == wire::callsign_info) {
        parse<callsign_info>(v);
    } else if (key == wire::cmd_result) {
        parse<cmd_result>(v);
    } else if (key == wire::shift) {
        parse<shift>(v);
    } else if (key == wire::sell_shift) {
        parse<sell_shift>(v);
    } else if (key == wire::shift_del) {
        parse<shift_del>(v);
    } else if (key == wire::msg) {
        parse<msg>(v);
    } else if (key == wire::msg_del) {
        parse<msg_del>(v);
    } else {
        // The answers without a wire name are the object of fields itself.
        parse<login_reply>(v);
        parse<upload_uuid_reply>(v);
    }
}

void check_write_back(const json::value& v) {
    if (v.is_null()) {
        return;
    }
    const std::string text = json::write(v);
    check(json::write(json::read(text)) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = zel::utf8_to_wide(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::wstring> pieces;
    try {
        pieces = split_json_objects(text);
    } catch (const command_parse_exc&) {
        return 0;
    }
    for (const std::wstring& piece : pieces) {
        check(piece.size() >= 2 && piece.front() == L'{' && piece.back() == L'}');
        const json::value v = read_json_text(piece);
        check_write_back(v);
        if (v.type() == json::kind::object && !v.as_object().empty()) {
            apply_object(v.as_object().front().name, v);
        } else {
            apply_object({}, v);
        }
    }
    return 0;
}
