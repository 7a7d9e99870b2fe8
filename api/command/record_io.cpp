#include "api/command/record_io.h"

#include "api/command/command_parse_exc.h"
#include "api/json/reader.h"
#include "api/json/writer.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <charconv>
#include <cmath>

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

void log_kept_order(const std::wstring& block, const std::exception& error) {
    zel::log(zel::logger::warning,
             L"record: " + block + L" of an order cut short, the order kept: " + zel::utf8_to_wide(error.what()));
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

namespace {

// The figure when it is sound; otherwise nothing, and the log says which member held what.
std::optional<double> sound_figure(std::string_view name, const json::value& v) {
    const double d = v.as_real();
    if (std::isfinite(d) && std::fabs(d) < figure_limit) {
        return d;
    }
    char text[32] = "";
    const auto end = std::to_chars(text, text + sizeof text - 1, d).ptr;
    zel::log(zel::logger::warning, L"record: \"" + zel::utf8_to_wide(std::string(name)) + L"\" holds the figure " +
                                       zel::utf8_to_wide(std::string(text, end)) +
                                       L", beyond the range of money; taken as absent");
    return std::nullopt;
}

} // namespace

void read_figure(std::string_view name, const json::value& v, double& field) {
    if (const auto figure = sound_figure(name, v)) {
        field = *figure;
    }
}

void read_figure(std::string_view name, const json::value& v, float& field) {
    if (const auto figure = sound_figure(name, v)) {
        field = static_cast<float>(*figure);
    }
}

void read_figure(std::string_view name, const json::value& v, std::optional<float>& field) {
    if (const auto figure = sound_figure(name, v)) {
        field = static_cast<float>(*figure);
    }
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

namespace {

// A real with no JSON form would go out as null where the command's format has a number: it goes as 0, with
// one log line naming the command and the member.
void finite_reals(json::value& v, std::string_view wire_name, const std::string& name) {
    switch (v.type()) {
    case json::kind::real:
        if (!std::isfinite(v.as_real())) {
            zel::log(zel::logger::error, L"command " + zel::utf8_to_wide(std::string(wire_name)) + L": \"" +
                                             zel::utf8_to_wide(name) + L"\" is not a finite number; sent as 0");
            v = json::value::real(0.0);
        }
        break;
    case json::kind::array:
        for (json::value& element : v.as_array()) {
            finite_reals(element, wire_name, name);
        }
        break;
    case json::kind::object:
        for (json::member& m : v.as_object()) {
            finite_reals(m.value, wire_name, m.name);
        }
        break;
    default:
        break;
    }
}

} // namespace

std::wstring write_command(std::string_view wire_name, json::value inner) {
    finite_reals(inner, wire_name, std::string(wire_name));
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
