// The platform layer's own diagnostics: one line on standard error (the layer sits below the logger).
#pragma once

#include <string>

namespace platform {

void log_line(const std::string& text);

} // namespace platform
