#include "platform/screen.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/platform_log.h"
#include "platform/window/window_system.h"

namespace platform {

namespace {
std::mutex screen_mutex;
std::optional<screen_size> chosen;
} // namespace

std::optional<screen_size> parse_screen(const std::string& text) {
    int w = 0, h = 0, dpi = 0, used = 0;
    if (std::sscanf(text.c_str(), "%dx%d@%d%n", &w, &h, &dpi, &used) != 3 || used != static_cast<int>(text.size())) {
        return std::nullopt;
    }
    if (w < 16 || h < 16 || w > 8192 || h > 8192 || dpi < 32 || dpi > 1000) {
        return std::nullopt;
    }
    return screen_size{w, h, dpi};
}

screen_size current_screen() {
    std::lock_guard<std::mutex> lock(screen_mutex);
    if (!chosen) {
        screen_size size;
        if (const char* text = std::getenv("MORVIK_SCREEN"); text && *text) {
            if (auto parsed = parse_screen(text)) {
                size = *parsed;
            } else {
                log_line("MORVIK_SCREEN=\"" + std::string(text) + "\" is not WIDTHxHEIGHT@DPI; using 480x800@192");
            }
        }
        chosen = size;
    }
    return *chosen;
}

void set_screen(const screen_size& size) {
    {
        std::lock_guard<std::mutex> lock(screen_mutex);
        chosen = size;
    }
    window_system::instance().screen_changed(size);
}

} // namespace platform
