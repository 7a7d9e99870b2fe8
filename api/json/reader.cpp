// nlohmann's SAX interface does the scanning and number conversion; this handler builds our own value so that
// objects keep their member order and duplicate names. nlohmann's parser keeps its own state on the heap, so a
// deep text cannot overflow the stack before the depth cap stops it.
#include "api/json/reader.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zel_api::json {
namespace {

class value_builder {
public:
    using number_integer_t = nlohmann::json::number_integer_t;
    using number_unsigned_t = nlohmann::json::number_unsigned_t;
    using number_float_t = nlohmann::json::number_float_t;
    using string_t = nlohmann::json::string_t;
    using binary_t = nlohmann::json::binary_t;

    value take() {
        return std::move(root_);
    }

    bool null() {
        return place(value());
    }
    bool boolean(bool v) {
        return place(value::boolean(v));
    }
    bool number_integer(number_integer_t v) {
        return place(value::integer(v));
    }
    bool number_unsigned(number_unsigned_t v) {
        return place(value::unsigned_integer(v));
    }
    bool number_float(number_float_t v, const string_t&) {
        return place(value::real(v));
    }
    bool string(string_t& v) {
        return place(value::string(std::move(v)));
    }
    bool binary(binary_t&) {
        return false;
    }
    bool start_object(std::size_t) {
        return open(value::empty_object());
    }
    bool key(string_t& name) {
        key_ = std::move(name);
        return true;
    }
    bool end_object() {
        open_.pop_back();
        return true;
    }
    bool start_array(std::size_t) {
        return open(value::empty_array());
    }
    bool end_array() {
        open_.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }

private:
    // Puts a value where the parser stands and returns where it now lies.
    value* put(value v) {
        if (open_.empty()) {
            root_ = std::move(v);
            return &root_;
        }
        value* parent = open_.back();
        if (parent->type() == kind::array) {
            array& elements = parent->as_array();
            elements.push_back(std::move(v));
            return &elements.back();
        }
        object& members = parent->as_object();
        members.push_back(member{std::move(key_), std::move(v)});
        return &members.back().value;
    }

    bool place(value v) {
        put(std::move(v));
        return true;
    }

    bool open(value container) {
        if (static_cast<int>(open_.size()) >= max_depth) {
            return false;
        }
        // A parent does not move while it is open: only the innermost open container grows.
        open_.push_back(put(std::move(container)));
        return true;
    }

    value root_;
    std::vector<value*> open_;
    std::string key_;
};

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The code unit of the "\uXXXX" escape at text[at], or -1 when there is none.
int escaped_unit(std::string_view text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') {
        return -1;
    }
    int unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int digit = hex_digit(text[i]);
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

bool is_high_surrogate(int unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(int unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The text with every unpaired surrogate escape inside a string written as "\uFFFD", or nothing when it has
// none. A server that cuts a text in the middle of a character leaves half a pair; refusing it would lose the
// whole object (an order, or the result a locked screen waits for) for one character.
std::optional<std::string> replace_lone_surrogates(std::string_view text) {
    std::optional<std::string> out;
    std::size_t copied_to = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!in_string) {
            in_string = c == '"';
            continue;
        }
        if (c == '"') {
            in_string = false;
            continue;
        }
        if (c != '\\') {
            continue;
        }
        const int unit = escaped_unit(text, i);
        if (unit < 0) {
            ++i; // a short escape: the next character is taken as it is
            continue;
        }
        if (is_high_surrogate(unit) && is_low_surrogate(escaped_unit(text, i + 6))) {
            i += 11;
            continue;
        }
        if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            if (!out) {
                out.emplace();
                out->reserve(text.size());
            }
            out->append(text.substr(copied_to, i - copied_to));
            out->append("\\uFFFD");
            copied_to = i + 6;
        }
        i += 5;
    }
    if (out) {
        out->append(text.substr(copied_to));
    }
    return out;
}

} // namespace

value read(std::string_view text) {
    // nlohmann's lexer takes a NUL byte where a token would start for the end of the input, so "[1]", a NUL
    // and anything after it would read as [1]. JSON has no place for a raw NUL (inside a string it is escaped
    // as "\u0000"), so a text holding one is refused whole.
    if (text.find('\0') != std::string_view::npos) {
        return value();
    }
    value_builder builder;
    try {
        const std::optional<std::string> repaired = replace_lone_surrogates(text);
        const std::string_view whole = repaired ? std::string_view(*repaired) : text;
        if (!nlohmann::json::sax_parse(whole.begin(), whole.end(), &builder)) {
            return value();
        }
    } catch (const nlohmann::json::exception&) {
        return value();
    }
    return builder.take();
}

} // namespace zel_api::json
