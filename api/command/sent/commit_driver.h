// The driver confirms the order he was given.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class commit_driver : public command {
public:
    explicit commit_driver(std::wstring s_oid);
    std::wstring to_json() const override;

private:
    std::wstring s_oid_;
};

} // namespace zel_api::command
