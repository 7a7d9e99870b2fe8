#include "gps/api_endpoint.h"

#include "foundation/host_port.h"

#include "foundation/text_utils.h"

#include <cstdlib>

namespace zel::gps {

api_endpoint api_endpoint::local(uint32_t designed_port) {
    const char* text = std::getenv("MORVIK_API_HOST");
    return parse(text ? text : "", utf8_to_wide(MORVIK_API_HOST), designed_port);
}

api_endpoint api_endpoint::parse(const std::string& text, const std::wstring& default_host, uint32_t designed_port) {
    api_endpoint endpoint{default_host, designed_port};
    const host_port parts = host_port::parse(text);
    if (!parts.host.empty()) {
        endpoint.host = utf8_to_wide(parts.host);
    }
    if (const auto port = parts.port_number()) {
        endpoint.port = *port;
    }
    return endpoint;
}

} // namespace zel::gps
