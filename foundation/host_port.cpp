#include "foundation/host_port.h"

#include <charconv>

namespace zel {

host_port host_port::parse(const std::string& text) {
    host_port out{text, ""};
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        out.host = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < text.size() && text[close + 1] == ':') {
            out.port = text.substr(close + 2);
        }
    } else if (const size_t colon = text.find(':'); colon != std::string::npos && text.rfind(':') == colon) {
        // A bare v6 address has several colons and no port.
        out.host = text.substr(0, colon);
        out.port = text.substr(colon + 1);
    }
    return out;
}

std::optional<uint16_t> host_port::port_number() const {
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || number < 1 || number > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(number);
}

} // namespace zel
