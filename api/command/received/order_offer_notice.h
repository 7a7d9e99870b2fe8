// What the server says of an offered order that the driver can no longer take: the order and a comment.
// "order-offer-cancel" and "order-offer-timeout" carry the same fields.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_offer_notice : public command {
public:
    std::wstring s_order_id;
    std::wstring comment;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
