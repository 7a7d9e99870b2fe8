#include "platform/platform_log.h"

#include <cstdio>

namespace platform {

void log_line(const std::string& text) {
    std::string line = "[platform] " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace platform
