// The driver takes an order from a list.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class set_driver : public command {
public:
    explicit set_driver(std::wstring s_oid);
    std::wstring to_json() const override;

private:
    std::wstring s_oid_;
};

} // namespace zel_api::command
