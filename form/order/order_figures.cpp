#include "form/order/order_figures.h"

#include <algorithm>
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

std::wstring line_roubles_text(float sum) {
    return whole_roubles_text(std::isnan(sum) ? sum : std::clamp(sum, -99999.0f, 999999.0f));
}

std::wstring line_kilometres_text(int32_t metres) {
    return kilometres_text(std::min(metres, 999900));
}

int order_class_image(int32_t st) {
    switch (st) {
    case 1:
        return 7055;
    case 2:
        return 7050;
    case 4:
        return 7056;
    case 8:
        return 7053;
    case 9:
        return 7059;
    case 11:
        return 7049;
    case 12:
        return 7058;
    case 13:
        return 7057;
    case 14:
        return 7052;
    case 15:
        return 7051;
    case 17:
        return 7054;
    default:
        return 0;
    }
}

} // namespace zel::form
