// What one received packet (or one event the program raises itself) changed: a bit for each of 25 names,
// and the packet's last "cmd-result", which tells a waiting screen whether its request succeeded.
//
// Bits, by number (bit n has the value 2 to the power n; bit 0 and bits above 25 stay clear):
//    1 "obj-device-server"   2 "obj-main-id"        3 "obj-zero-params"    4 "cmd-result"
//    5 "session-fix-param"   6 "ref-area"           7 "ref-rate"           8 "session-param"
//    9 "command_http_reg"   10 "order"             11 "odel"              12 "shift"
//   13 "sell-shift"         14 "shift-del"         15 "nda"               16 "adc"
//   17 "disconnect_local"   18 "disconnect_global" 19 "command_sms_register_ok"
//   20 "command_sms_register_error"                21 "msg"               22 "obj-update"
//   23 "order-offer"        24 "order-offer-cancel"                       25 "order-offer-timeout"
// Names compare exactly (case and every character); any other name ("currency", "riv", ...) has no bit.
//
// A mask is built by one thread and then only copied; copies share the payload, which is never changed after
// it is attached, so copies on different threads may read it.
#pragma once

#include "api/command/received/cmd_result.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace zel_api {

class update_mask {
public:
    static constexpr int first_bit = 1;
    static constexpr int last_bit = 25;
    // Bits 1 to 25.
    static constexpr uint64_t known_bits = ((uint64_t{1} << (last_bit + 1)) - 1) & ~uint64_t{1};

    // No bit set, no payload.
    update_mask() = default;

    // Sets the name's bit; a name outside the table changes nothing.
    void set(std::wstring_view name);
    // True when the name has a bit and it is set; false for a name outside the table.
    bool test(std::wstring_view name) const;

    // Replaces the payload (the packet's last "cmd-result"); the previous one is released.
    void set_payload(std::shared_ptr<const command::cmd_result> payload);
    // The last "cmd-result" of the packet; empty when it had none.
    const std::shared_ptr<const command::cmd_result>& payload() const {
        return payload_;
    }
    // The packet's "cmd-result" when it answers the command of that wire name (key::close_order, say); null
    // when the packet had none or it answers another command.
    const command::cmd_result* result_of(std::wstring_view command) const {
        return payload_ && payload_->cmd_name == command ? payload_.get() : nullptr;
    }

    // Both words, the first one low.
    uint64_t bits() const {
        return uint64_t{words_[0]} | uint64_t{words_[1]} << 32;
    }
    bool empty() const {
        return bits() == 0;
    }
    // The bit number of a name (1 to 25), 0 when the name has none.
    static int bit_of(std::wstring_view name);

private:
    uint32_t words_[2] = {0, 0};
    std::shared_ptr<const command::cmd_result> payload_;
};

} // namespace zel_api
