#include "gps/api_endpoint.h"

#include "foundation/text_utils.h"

#include <charconv>
#include <cstdlib>

namespace zel::gps {

api_endpoint api_endpoint::local(uint32_t designed_port) {
    const char* text = std::getenv("MORVIK_API_HOST");
    return parse(text ? text : "", utf8_to_wide(MORVIK_API_HOST), designed_port);
}

api_endpoint api_endpoint::parse(const std::string& text, const std::wstring& default_host, uint32_t designed_port) {
    api_endpoint endpoint{default_host, designed_port};
    std::string host = text;
    std::string port;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        host = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < text.size() && text[close + 1] == ':') {
            port = text.substr(close + 2);
        }
    } else if (const size_t colon = text.find(':'); colon != std::string::npos && text.rfind(':') == colon) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (!host.empty()) {
        endpoint.host = utf8_to_wide(host);
    }
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (!port.empty() && error == std::errc() && end == port.data() + port.size() && number >= 1 && number <= 65535) {
        endpoint.port = number;
    }
    return endpoint;
}

} // namespace zel::gps
