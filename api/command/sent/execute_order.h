// The ride begins.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class execute_order : public command {
public:
    explicit execute_order(std::wstring s_oid);
    std::wstring to_json() const override;

private:
    std::wstring s_oid_;
};

} // namespace zel_api::command
