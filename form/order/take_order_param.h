// The parameter of the take order panel (12): which order list to search (1, 2 or 3; any other kind means the
// driver's current order) and the order's "s-id". The orders list and the ride screen's orders tab push it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "form/shell/panel_param.h"

namespace zel::form {

class take_order_param : public panel_param {
public:
    take_order_param(int32_t kind, std::wstring id) : list_kind(kind), order_id(std::move(id)) {}

    int32_t list_kind;
    std::wstring order_id;
};

inline std::shared_ptr<const panel_param> make_take_order_param(int32_t kind, std::wstring id) {
    return std::make_shared<take_order_param>(kind, std::move(id));
}

} // namespace zel::form
