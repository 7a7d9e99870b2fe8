#include "controller/server_address.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <charconv>
#include <cstdlib>

namespace zel::controller_ {
namespace {

std::string setting(const char* name, const char* built_in) {
    const char* text = std::getenv(name);
    return text && *text ? text : built_in;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Splits "host:port" at the last colon; "[v6]:port" and "[v6]" keep the address without brackets.
void split_host_port(const std::string& entry, std::string& host, std::string& port) {
    host = entry;
    port.clear();
    const size_t colon = entry.rfind(':');
    const size_t bracket = entry.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        host = entry.substr(0, colon);
        port = entry.substr(colon + 1);
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
}

} // namespace

std::vector<server_address> parse_server_list(const std::string& text, const std::wstring& default_port) {
    std::vector<server_address> servers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        const std::string entry = trimmed(text.substr(start, comma - start));
        start = comma + 1;
        if (entry.empty()) {
            continue;
        }
        std::string host;
        std::string port;
        split_host_port(entry, host, port);
        if (host.empty()) {
            zel::log(logger::warning, L"login servers: an entry without a host is left out: " + utf8_to_wide(entry));
            continue;
        }
        servers.push_back({utf8_to_wide(host), port.empty() ? default_port : utf8_to_wide(port)});
    }
    return servers;
}

registration_host parse_registration_host(const std::string& text) {
    std::string host;
    std::string port;
    split_host_port(trimmed(text), host, port);
    registration_host result{utf8_to_wide(host)};
    int32_t number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (!port.empty() && error == std::errc() && end == port.data() + port.size() && number >= 1 && number <= 65535) {
        result.port = number;
    } else if (!port.empty()) {
        zel::log(logger::warning, L"registration server: the port is not a number, using 80: " + utf8_to_wide(text));
    }
    return result;
}

std::vector<server_address> login_servers() {
    return parse_server_list(setting("MORVIK_LOGIN_SERVERS", MORVIK_LOGIN_SERVERS), login_server_port);
}

registration_host registration_server() {
    return parse_registration_host(setting("MORVIK_REG_HOST", MORVIK_REG_HOST));
}

} // namespace zel::controller_
