// The driver has arrived at the client.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class driver_arrive : public command {
public:
    explicit driver_arrive(std::wstring s_oid);
    std::wstring to_json() const override;

private:
    std::wstring s_oid_;
};

} // namespace zel_api::command
