#include "platform/platform_log.h"

#include <utf8.h>

#include <cstdio>
#include <iterator>

namespace platform {

void log_line(const std::string& text) {
    std::string line = "[platform] " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace platform

namespace platform {

std::string utf8_of(const std::wstring& text) {
    std::u32string code_points;
    for (wchar_t w : text) {
        const auto c = static_cast<char32_t>(w);
        code_points += utf8::internal::is_code_point_valid(c) ? c : char32_t{0xFFFD};
    }
    std::string out;
    utf8::utf32to8(code_points.begin(), code_points.end(), std::back_inserter(out));
    return out;
}

} // namespace platform
