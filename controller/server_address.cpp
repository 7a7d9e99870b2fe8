#include "controller/server_address.h"

#include "foundation/host_port.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

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
        const host_port parts = host_port::parse(entry);
        if (parts.host.empty()) {
            zel::log(logger::warning, L"login servers: an entry without a host is left out: " + utf8_to_wide(entry));
            continue;
        }
        servers.push_back({utf8_to_wide(parts.host), parts.port.empty() ? default_port : utf8_to_wide(parts.port)});
    }
    return servers;
}

registration_host parse_registration_host(const std::string& text) {
    const host_port parts = host_port::parse(trimmed(text));
    registration_host result{utf8_to_wide(parts.host)};
    if (const auto port = parts.port_number()) {
        result.port = *port;
    } else if (!parts.port.empty()) {
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
