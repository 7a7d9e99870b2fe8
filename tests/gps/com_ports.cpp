#include "tests/gps/com_ports.h"

#include <cstdlib>

namespace zel::gps::test {

com_ports::com_ports(std::initializer_list<std::pair<int, std::string>> ports) {
    for (int i = 0; i < 8; ++i) {
        const std::string name = "MORVIK_COM" + std::to_string(i + 1);
        if (const char* old = std::getenv(name.c_str())) {
            had_[i] = true;
            saved_[i] = old;
        }
        std::string device = "/nonexistent/morvik-com" + std::to_string(i + 1);
        for (const auto& [number, path] : ports) {
            if (number == i + 1) {
                device = path;
            }
        }
        ::setenv(name.c_str(), device.c_str(), 1);
    }
}

com_ports::~com_ports() {
    for (int i = 0; i < 8; ++i) {
        const std::string name = "MORVIK_COM" + std::to_string(i + 1);
        if (had_[i]) {
            ::setenv(name.c_str(), saved_[i].c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
}

} // namespace zel::gps::test
