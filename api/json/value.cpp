#include "api/json/value.h"

#include <utility>

namespace zel_api::json {
namespace {

[[noreturn]] void throw_kind(kind wanted, kind found) {
    throw type_error(std::string("value is ") + kind_name(found) + ", not " + kind_name(wanted));
}

} // namespace

const char* kind_name(kind k) {
    switch (k) {
    case kind::null:
        return "null";
    case kind::boolean:
        return "a boolean";
    case kind::integer:
    case kind::unsigned_integer:
        return "an integer";
    case kind::real:
        return "a real";
    case kind::string:
        return "a string";
    case kind::array:
        return "an array";
    case kind::object:
        return "an object";
    }
    return "unknown";
}

value value::boolean(bool v) {
    value out;
    out.data_ = v;
    return out;
}

value value::integer(int64_t v) {
    value out;
    out.data_ = v;
    return out;
}

value value::unsigned_integer(uint64_t v) {
    value out;
    out.data_ = v;
    return out;
}

value value::real(double v) {
    value out;
    out.data_ = v;
    return out;
}

value value::string(std::string v) {
    value out;
    out.data_ = std::move(v);
    return out;
}

value value::empty_array() {
    value out;
    out.data_ = array{};
    return out;
}

value value::empty_object() {
    value out;
    out.data_ = object{};
    return out;
}

template <class T> const T& value::get(kind wanted) const {
    if (const T* held = std::get_if<T>(&data_)) {
        return *held;
    }
    throw_kind(wanted, type());
}

bool value::as_bool() const {
    return get<bool>(kind::boolean);
}

int64_t value::as_int64() const {
    if (const auto* u = std::get_if<uint64_t>(&data_)) {
        return static_cast<int64_t>(*u);
    }
    return get<int64_t>(kind::integer);
}

uint64_t value::as_uint64() const {
    if (const auto* i = std::get_if<int64_t>(&data_)) {
        return static_cast<uint64_t>(*i);
    }
    return get<uint64_t>(kind::integer);
}

int32_t value::as_int32() const {
    return static_cast<int32_t>(as_uint64());
}

double value::as_real() const {
    if (const auto* i = std::get_if<int64_t>(&data_)) {
        return static_cast<double>(*i);
    }
    if (const auto* u = std::get_if<uint64_t>(&data_)) {
        return static_cast<double>(*u);
    }
    return get<double>(kind::real);
}

const std::string& value::as_string() const {
    return get<std::string>(kind::string);
}

const array& value::as_array() const {
    return get<array>(kind::array);
}

array& value::as_array() {
    return const_cast<array&>(std::as_const(*this).as_array());
}

const object& value::as_object() const {
    return get<object>(kind::object);
}

object& value::as_object() {
    return const_cast<object&>(std::as_const(*this).as_object());
}

void value::push_back(value element) {
    as_array().push_back(std::move(element));
}

void value::add(std::string name, value element) {
    as_object().push_back(member{std::move(name), std::move(element)});
}

} // namespace zel_api::json
