#include "foundation/phone_call.h"

#include "platform/system_services.h"

namespace zel {

phone_call::phone_call() : loaded_(system_services::current().phone_available()) {}

bool phone_call::call(const std::wstring& number) {
    if (!loaded_) {
        return false;
    }
    return system_services::current().make_phone_call(number);
}

} // namespace zel
