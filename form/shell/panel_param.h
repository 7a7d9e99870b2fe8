// The parameter of a panel-stack entry: a small polymorphic record that the entry owns (shared, so that the
// shown panel's parameter outlives its entry until the panel is hidden). A panel reads it with param_as and
// treats a parameter of another type as none. Screens derive their own records from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zel::form {

class panel_param {
public:
    virtual ~panel_param() = default;
};

// A number: an order id, a tab, an index.
class number_param : public panel_param {
public:
    explicit number_param(int64_t v) : value(v) {}
    int64_t value;
};

// A text: an order's "s-id" and the like.
class text_param : public panel_param {
public:
    explicit text_param(std::wstring v) : value(std::move(v)) {}
    std::wstring value;
};

// The parameter as the type asked for; null for none or another type.
template <class T> const T* param_as(const panel_param* param) {
    return dynamic_cast<const T*>(param);
}

inline std::shared_ptr<const panel_param> make_number_param(int64_t value) {
    return std::make_shared<number_param>(value);
}

inline std::shared_ptr<const panel_param> make_text_param(std::wstring value) {
    return std::make_shared<text_param>(std::move(value));
}

} // namespace zel::form
