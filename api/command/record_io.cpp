#include "api/command/record_io.h"

#include "api/command/command_parse_exc.h"
#include "api/json/reader.h"
#include "api/json/writer.h"
#include "foundation/text_utils.h"

#include <limits>

namespace zel_api::command {

json::value read_json_text(const std::wstring& text) {
    try {
        return json::read(zel::wide_to_utf8(text));
    } catch (const std::exception&) {
        throw command_parse_exc(command_parse_exc::broken_structure);
    }
}

const json::value& wire_fields(const json::value& root, std::string_view wire_name) {
    const json::object& members = root.as_object();
    if (members.empty() || members.front().name != wire_name) {
        throw command_parse_exc(command_parse_exc::wrong_command);
    }
    return members.front().value;
}

void rethrow_with_member(const std::string& name, const std::exception& error) {
    throw json::type_error("\"" + name + "\": " + error.what());
}

// The text conversions stop at the first NUL, as the wire's do; a "\u0000" inside a string value is part of the
// text, and cutting there would lose the rest of an address or a message.
std::wstring to_wide(const json::value& v) {
    const std::string& text = v.as_string();
    std::wstring out;
    for (std::size_t from = 0;;) {
        const std::size_t nul = text.find('\0', from);
        out += zel::utf8_to_wide(text.substr(from, nul - from));
        if (nul == std::string::npos) {
            return out;
        }
        out.push_back(L'\0');
        from = nul + 1;
    }
}

bool to_flag(const json::value& v) {
    return v.as_uint64() != 0;
}

float to_float(const json::value& v) {
    const double d = v.as_real();
    // A real beyond the float range becomes an infinity, as the hardware conversion gives, without the
    // undefined cast.
    if (d > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::infinity();
    }
    if (d < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(d);
}

json::value text_value(const std::wstring& text) {
    std::string out;
    for (std::size_t from = 0;;) {
        const std::size_t nul = text.find(L'\0', from);
        out += zel::wide_to_utf8(text.substr(from, nul - from));
        if (nul == std::wstring::npos) {
            return json::value::string(std::move(out));
        }
        out.push_back('\0');
        from = nul + 1;
    }
}

json::value texts_value(const std::vector<std::wstring>& texts) {
    json::value out = json::value::empty_array();
    for (const std::wstring& text : texts) {
        out.push_back(text_value(text));
    }
    return out;
}

void add_if_set(json::value& object, const char* key, const std::optional<int32_t>& number) {
    if (number) {
        object.add(key, json::value::integer(*number));
    }
}

void add_if_set(json::value& object, const char* key, const std::optional<float>& number) {
    if (number) {
        object.add(key, json::value::real(*number));
    }
}

std::wstring write_wide(const json::value& v) {
    return zel::utf8_to_wide(json::write(v));
}

std::wstring write_command(std::string_view wire_name, json::value inner) {
    json::value outer = json::value::empty_object();
    outer.add(std::string(wire_name), std::move(inner));
    return write_wide(outer);
}

std::wstring write_single(std::string_view wire_name, std::string key, json::value v) {
    json::value inner = json::value::empty_object();
    inner.add(std::move(key), std::move(v));
    return write_command(wire_name, std::move(inner));
}

} // namespace zel_api::command
