#include "api/update_mask.h"

#include "api/command_names.h"

#include <array>

namespace zel_api {
namespace {

// Row n - 1 holds the name of bit n.
const std::array<std::wstring, update_mask::last_bit>& names() {
    static const std::array<std::wstring, update_mask::last_bit> table = {
        obj_device_server_name(),
        obj_main_id_name(),
        obj_zero_params_name(),
        cmd_result_name(),
        session_fix_param_name(),
        ref_area_name(),
        ref_rate_name(),
        session_param_name(),
        command_http_reg_name(),
        order_name(),
        odel_name(),
        shift_name(),
        sell_shift_name(),
        shift_del_name(),
        nda_name(),
        adc_name(),
        disconnect_local_name(),
        disconnect_global_name(),
        command_sms_register_ok_name(),
        command_sms_register_error_name(),
        msg_name(),
        obj_update_name(),
        order_offer_name(),
        order_offer_cancel_name(),
        order_offer_timeout_name(),
    };
    return table;
}

} // namespace

int update_mask::bit_of(std::wstring_view name) {
    const auto& table = names();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (table[row] == name) {
            return static_cast<int>(row) + first_bit;
        }
    }
    return 0;
}

void update_mask::set(std::wstring_view name) {
    const int bit = bit_of(name);
    if (bit != 0) {
        words_[bit / 32] |= uint32_t{1} << (bit % 32);
    }
}

bool update_mask::test(std::wstring_view name) const {
    const int bit = bit_of(name);
    return bit != 0 && (words_[bit / 32] & (uint32_t{1} << (bit % 32))) != 0;
}

void update_mask::set_payload(std::shared_ptr<const command::cmd_result> payload) {
    payload_ = std::move(payload);
}

} // namespace zel_api
