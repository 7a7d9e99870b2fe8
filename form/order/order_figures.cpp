#include "form/order/order_figures.h"

#include <cmath>
#include <limits>

#include "foundation/text_utils.h"

namespace zel::form {

std::wstring whole_roubles_text(float sum) {
    if (std::isnan(sum)) {
        return L"0";
    }
    const double value = std::trunc(static_cast<double>(sum));
    const double low = std::numeric_limits<int32_t>::min();
    const double high = std::numeric_limits<int32_t>::max();
    return int_to_wstring(static_cast<int32_t>(value < low ? low : value > high ? high : value));
}

std::wstring kilometres_text(int32_t metres) {
    return float1_to_wstring(static_cast<float>(metres) * 0.001f);
}

} // namespace zel::form
