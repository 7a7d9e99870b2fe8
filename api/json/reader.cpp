// nlohmann's SAX interface does the scanning and number conversion; this handler builds our own value so that
// objects keep their member order and duplicate names. nlohmann's parser keeps its own state on the heap, so a
// deep text cannot overflow the stack before the depth cap stops it.
#include "api/json/reader.h"

#include <nlohmann/json.hpp>

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

} // namespace

value read(std::string_view text) {
    value_builder builder;
    try {
        if (!nlohmann::json::sax_parse(text.begin(), text.end(), &builder)) {
            return value();
        }
    } catch (const nlohmann::json::exception&) {
        return value();
    }
    return builder.take();
}

} // namespace zel_api::json
