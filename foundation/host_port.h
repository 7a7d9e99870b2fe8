// "host", "host:port" or "[v6 address]:port" as the MORVIK_ settings give them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zel {

struct host_port {
    std::string host; // empty when the text names none
    std::string port; // the text after the colon, as written; empty when none

    static host_port parse(const std::string& text);
    // The port as a number 1..65535, or nothing when absent or not such a number.
    std::optional<uint16_t> port_number() const;
};

} // namespace zel
