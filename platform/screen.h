// The emulated device screen: MORVIK_SCREEN=WIDTHxHEIGHT@DPI, by default 480x800@192 (portrait). The window,
// GetSystemMetrics and GetDeviceCaps report it.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct screen_size {
    int width = 480;
    int height = 800;
    int dpi = 192;
};

// Parses "WIDTHxHEIGHT@DPI"; nothing when the text is not of that form or a value is out of range.
std::optional<screen_size> parse_screen(const std::string& text);

// The screen in use: set_screen's, else MORVIK_SCREEN's (a bad value is reported and replaced by the default).
screen_size current_screen();
// Windows that exist take the new size (see window.h); once there are windows, only on the UI thread.
void set_screen(const screen_size& size);

} // namespace platform
