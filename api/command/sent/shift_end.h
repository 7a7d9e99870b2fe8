// The driver ends his shift; the command carries no fields.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class shift_end : public command {
public:
    std::wstring to_json() const override;
};

} // namespace zel_api::command
