// A JSON value as the protocol layer sees it: objects are ordered sequences of name/value pairs that keep
// duplicate names, integers keep their sign kind, texts are UTF-8. Typed access is strict: asking a value for
// a kind it does not hold throws type_error, except that a real may be read from an integer.
#pragma once

#include "api/json/type_error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zel_api::json {

class value;
struct member;
using array = std::vector<value>;
using object = std::vector<member>;

enum class kind : uint8_t { null, boolean, integer, unsigned_integer, real, string, array, object };

// The kind's name in error texts; both integer kinds read "integer".
const char* kind_name(kind k);

class value {
public:
    value() = default;

    static value boolean(bool v);
    static value integer(int64_t v);
    static value unsigned_integer(uint64_t v);
    static value real(double v);
    static value string(std::string v);
    static value empty_array();
    static value empty_object();

    kind type() const {
        return static_cast<kind>(data_.index());
    }
    bool is_null() const {
        return type() == kind::null;
    }

    bool as_bool() const;
    // Either integer kind; an unsigned value above the signed range keeps its bits, as does the reverse.
    int64_t as_int64() const;
    uint64_t as_uint64() const;
    // The low 32 bits of the integer.
    int32_t as_int32() const;
    // A real, or an integer converted to a real.
    double as_real() const;
    const std::string& as_string() const;
    const array& as_array() const;
    array& as_array();
    const object& as_object() const;
    object& as_object();

    // Appends to an array or an object; throws type_error on any other kind.
    void push_back(value element);
    void add(std::string name, value element);

private:
    template <class T> const T& get(kind wanted) const;

    std::variant<std::monostate, bool, int64_t, uint64_t, double, std::string, array, object> data_;
};

struct member {
    std::string name;
    json::value value;
};

} // namespace zel_api::json
