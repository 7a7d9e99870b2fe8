#include "api/json/writer.h"

#include <charconv>
#include <cmath>

namespace zel_api::json {
namespace {

void write_string(const std::string& text, std::string& out) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out.push_back('"');
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

template <class Number> void write_number(Number n, std::string& out) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

void write_real(double d, std::string& out) {
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    const std::size_t start = out.size();
    write_number(d, out);
    if (out.find_first_of(".e", start) == std::string::npos) {
        out += ".0";
    }
}

} // namespace

void write_to(const value& v, std::string& out) {
    switch (v.type()) {
    case kind::null:
        out += "null";
        return;
    case kind::boolean:
        out += v.as_bool() ? "true" : "false";
        return;
    case kind::integer:
        write_number(v.as_int64(), out);
        return;
    case kind::unsigned_integer:
        write_number(v.as_uint64(), out);
        return;
    case kind::real:
        write_real(v.as_real(), out);
        return;
    case kind::string:
        write_string(v.as_string(), out);
        return;
    case kind::array: {
        out.push_back('[');
        bool first = true;
        for (const value& element : v.as_array()) {
            if (!first) {
                out.push_back(',');
            }
            first = false;
            write_to(element, out);
        }
        out.push_back(']');
        return;
    }
    case kind::object: {
        out.push_back('{');
        bool first = true;
        for (const member& m : v.as_object()) {
            if (!first) {
                out.push_back(',');
            }
            first = false;
            write_string(m.name, out);
            out.push_back(':');
            write_to(m.value, out);
        }
        out.push_back('}');
        return;
    }
    }
}

std::string write(const value& v) {
    std::string out;
    write_to(v, out);
    return out;
}

} // namespace zel_api::json
