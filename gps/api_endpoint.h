// The local API host: the server of the track uploads (port 8200) and of the trip-data uploads (port 8359).
// Its name is a deployment value (the CMake cache variable MORVIK_API_HOST); the environment variable of the
// same name overrides it with "host" or "host:port" ("[v6 address]:port"), a port moving every upload to it.
#pragma once

#include <cstdint>
#include <string>

namespace zel::gps {

struct api_endpoint {
    static constexpr uint32_t track_port = 8200;
    static constexpr uint32_t trip_data_port = 8359;

    std::wstring host;
    uint32_t port = 0;

    // The endpoint of an upload whose port is designed_port, from MORVIK_API_HOST or the built-in host.
    static api_endpoint local(uint32_t designed_port);
    // "host", "host:port" or "[v6]:port" over the defaults; a port that is not a number from 1 to 65535 is
    // ignored.
    static api_endpoint parse(const std::string& text, const std::wstring& default_host, uint32_t designed_port);
};

} // namespace zel::gps
