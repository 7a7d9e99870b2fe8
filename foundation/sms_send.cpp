#include "foundation/sms_send.h"

#include "platform/system_services.h"

namespace zel {

bool sms_send(const std::wstring& address, const std::wstring& text, bool unicode) {
    return system_services::current().send_sms(address, text.substr(0, sms_max_text), unicode);
}

} // namespace zel
