// The platform layer's own diagnostics: one line on standard error (the layer sits below the logger).
#pragma once

#include <string>

namespace platform {

void log_line(const std::string& text);

} // namespace platform

namespace platform {

// UTF-8 of a wide text; invalid code points become U+FFFD.
std::string utf8_of(const std::wstring& text);

} // namespace platform
