#include "foundation/conn_manager.h"

#include "foundation/text_utils.h"
#include "platform/system_services.h"

#ifndef MORVIK_SERVICE_URL
#define MORVIK_SERVICE_URL "http://localhost/"
#endif

namespace zel {

conn_manager::conn_manager() = default;

void conn_manager::establish() {
    constexpr uint32_t timeout_ms = 10000;
    system_services::current().establish_connection(service_url(), timeout_ms);
}

const std::wstring& conn_manager::service_url() {
    static const std::wstring url = utf8_to_wide(MORVIK_SERVICE_URL);
    return url;
}

} // namespace zel
