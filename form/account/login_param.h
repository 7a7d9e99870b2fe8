// The parameter of the PIN login screen (panel 7): the chosen dispatch server, as its index in the controller's
// list of dispatch servers, and the chosen call sign's driver. The call sign screen makes it; the stack entry
// owns it.
#pragma once

#include <cstdint>

#include "form/shell/panel_param.h"

namespace zel::form {

class login_param : public panel_param {
public:
    login_param(std::uint32_t index, std::int64_t driver) : server_index(index), driver_id(driver) {}

    std::uint32_t server_index;
    std::int64_t driver_id;
};

} // namespace zel::form
