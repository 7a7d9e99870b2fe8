// The driver has read a message.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class msg_read : public command {
public:
    explicit msg_read(uint64_t id);
    std::wstring to_json() const override;

private:
    uint64_t id_;
};

} // namespace zel_api::command
