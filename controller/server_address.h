// Where the servers of the link are: the login servers (asked for the device's dispatch servers, port "86") and
// the device-registration server (HTTP, port 80). Both are deployment values: the CMake cache variables
// MORVIK_LOGIN_SERVERS and MORVIK_REG_HOST give the built-in ones, and environment variables of the same names
// override them (tests and local trials point them at loopback).
//
//   MORVIK_LOGIN_SERVERS  "host:port,host:port"; an entry without a port gets "86"
//   MORVIK_REG_HOST       "host" or "host:port"; without a port, 80
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zel::controller_ {

struct server_address {
    std::wstring host;
    std::wstring port;

    bool operator==(const server_address&) const = default;
};

struct registration_host {
    static constexpr int32_t default_port = 80;

    std::wstring host;
    int32_t port = default_port;

    bool operator==(const registration_host&) const = default;
};

constexpr wchar_t login_server_port[] = L"86";

// The login servers in the order they are tried.
std::vector<server_address> login_servers();
// The device-registration server.
registration_host registration_server();

// Comma-separated "host", "host:port" or "[v6 address]:port" entries; blanks around entries and empty entries
// are dropped; an entry without a port gets default_port.
std::vector<server_address> parse_server_list(const std::string& text, const std::wstring& default_port);
// "host" or "host:port"; a port that is not a number from 1 to 65535 leaves the default.
registration_host parse_registration_host(const std::string& text);

} // namespace zel::controller_
