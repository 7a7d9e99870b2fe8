#include "foundation/host_port.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(host_port, forms_of_the_setting) {
    struct host_port_case {
        std::string text, host, port;
        std::optional<uint16_t> number;
    };
    const host_port_case cases[] = {
        {"", "", "", std::nullopt},
        {"localhost", "localhost", "", std::nullopt},
        {"127.0.0.1:2947", "127.0.0.1", "2947", 2947},
        {"[::1]:8200", "::1", "8200", 8200},
        {"[::1]", "::1", "", std::nullopt},
        {"::1", "::1", "", std::nullopt}, // a bare v6 address has no port
        {"host:0", "host", "0", std::nullopt},
        {"host:65536", "host", "65536", std::nullopt},
        {"host:86x", "host", "86x", std::nullopt},
        {"host:", "host", "", std::nullopt},
    };
    for (const auto& c : cases) {
        const host_port parts = host_port::parse(c.text);
        EXPECT_EQ(parts.host, c.host) << c.text;
        EXPECT_EQ(parts.port, c.port) << c.text;
        EXPECT_EQ(parts.port_number(), c.number) << c.text;
    }
}

} // namespace
} // namespace zel
