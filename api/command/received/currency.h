// The currency: the step to which the bill rounds money amounts up.
#pragma once

#include "api/command/command.h"

namespace zel_api::command {

class currency : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    float precision() const {
        return precision_;
    }

private:
    float precision_ = 1.0f;
};

} // namespace zel_api::command
