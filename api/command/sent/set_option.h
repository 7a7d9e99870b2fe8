// Sets one of the driver's options on the server by its numeric key.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class set_option : public command {
public:
    set_option(int64_t key, std::wstring value);
    std::wstring to_json() const override;

private:
    int64_t key_;
    std::wstring value_;
};

} // namespace zel_api::command
