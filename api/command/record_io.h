// Helpers that every command and record uses between its fields and the JSON layer: reading a text, checking
// the wire name, walking the members, converting at the record boundary (JSON texts are UTF-8, records hold
// wide strings), and writing a command.
#pragma once

#include "api/json/value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel_api::command {

// Reads one object's wide text. Text that isn't JSON gives null; a std::exception while reading becomes
// command_parse_exc broken_structure.
json::value read_json_text(const std::wstring& text);

// The object of fields of {"<wire_name>": {...}}: the root must be an object (type error otherwise) whose
// first member is named wire_name (command_parse_exc wrong_command otherwise, also for an empty object).
const json::value& wire_fields(const json::value& root, std::string_view wire_name);

// Calls visit(name, value) for each member of an object, in text order; a type error names the member.
template <class Visit> void for_each_field(const json::value& fields, Visit&& visit);

// The one way to a record's in-place reader (private in every record, a friend of this): a record read in
// place and left half-filled by a failing member would reach the store or a screen half-updated.
struct record_access {
    template <class Record> static void read_fields(Record& record, const json::value& fields) {
        record.read_fields(fields);
    }
};

// Fills a copy of the record from an object of fields and commits it only when every member was taken.
template <class Record> void fill_record(Record& record, const json::value& fields) {
    Record next = record;
    record_access::read_fields(next, fields);
    record = std::move(next);
}

// A string value as wide text, whole: a NUL in it stays (the plain conversions stop there).
std::wstring to_wide(const json::value& v);
// A flag travels as an integer: any value other than 0 is true; a JSON boolean is a type error.
bool to_flag(const json::value& v);
// A figure (money, a rate, a precision) is sound when it is finite and of magnitude below figure_limit, more
// than any fare, balance or rate holds. An unsound one counts as absent: read_figure leaves the field as it was
// (its default in a new record, the held value in an update) and logs one line naming the member, so one absurd
// figure costs neither its record nor the order that carries it, and no infinity or NaN reaches the taximeter,
// a screen or the wire. A member that is no number at all is a type error, as any member of the wrong type.
inline constexpr double figure_limit = 1e9;
void read_figure(std::string_view name, const json::value& v, double& field);
void read_figure(std::string_view name, const json::value& v, float& field);
void read_figure(std::string_view name, const json::value& v, std::optional<float>& field);

// Appends every element of an array, converted by convert(element), in order.
template <class T, class Convert> void append_each(const json::value& v, std::vector<T>& out, Convert convert) {
    for (const json::value& element : v.as_array()) {
        out.push_back(convert(element));
    }
}

// Wide text as a string value, NUL characters included.
json::value text_value(const std::wstring& text);
json::value texts_value(const std::vector<std::wstring>& texts);
// Adds the member only when the value is set.
void add_if_set(json::value& object, const char* key, const std::optional<int32_t>& number);
void add_if_set(json::value& object, const char* key, const std::optional<float>& number);

// {"<wire_name>": inner}, written compactly and turned into wide text. Every command goes out through here: a
// real in it that is not finite (no JSON form but null) is written as 0, with a log line.
std::wstring write_command(std::string_view wire_name, json::value inner);
std::wstring write_wide(const json::value& v);
// {"<wire_name>": {"<key>": v}}: the commands that carry one value.
std::wstring write_single(std::string_view wire_name, std::string key, json::value v);

// One log line for a nested block of an order whose member failed: the order is kept, the block holds the
// members read before the failing one.
void log_kept_order(const std::wstring& block, const std::exception& error);

[[noreturn]] void rethrow_with_member(const std::string& name, const std::exception& error);

template <class Visit> void for_each_field(const json::value& fields, Visit&& visit) {
    for (const json::member& m : fields.as_object()) {
        try {
            visit(std::string_view(m.name), m.value);
        } catch (const json::type_error& error) {
            rethrow_with_member(m.name, error);
        }
    }
}

} // namespace zel_api::command
