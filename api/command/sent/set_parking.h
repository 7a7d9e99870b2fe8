// The driver chooses a parking area.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class set_parking : public command {
public:
    explicit set_parking(int64_t area_id);
    std::wstring to_json() const override;

private:
    int64_t area_id_;
};

} // namespace zel_api::command
