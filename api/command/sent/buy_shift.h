// The driver buys a shift on offer.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class buy_shift : public command {
public:
    explicit buy_shift(int64_t id);
    std::wstring to_json() const override;

private:
    int64_t id_;
};

} // namespace zel_api::command
