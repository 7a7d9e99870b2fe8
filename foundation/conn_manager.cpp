#include "foundation/conn_manager.h"

#include "platform/system_services.h"

namespace zel {

conn_manager::conn_manager() = default;

void conn_manager::establish() {
    constexpr uint32_t timeout_ms = 10000;
    system_services::current().establish_connection(service_url(), timeout_ms);
}

const std::wstring& conn_manager::service_url() {
    // Only a real connection backend looks at it; Linux brings its network up by itself.
    static const std::wstring url = L"http://localhost/";
    return url;
}

} // namespace zel
