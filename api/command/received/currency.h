// The currency: the step to which the bill rounds money amounts up.
#pragma once

#include "api/command/command.h"

namespace zel_api::command {

class currency : public command {
public:
    void from_value(const json::value& root) override;

    float precision() const {
        return precision_;
    }

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);

    float precision_ = 1.0f;
};

} // namespace zel_api::command
