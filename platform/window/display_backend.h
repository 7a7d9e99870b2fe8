// What a display does for the window system: show one window's pixels, wait for input, keep the time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"

namespace platform {

class display_backend {
public:
    virtual ~display_backend() = default;

    // Monotonic milliseconds of this display's clock (virtual when headless).
    virtual std::uint64_t now_ms() = 0;
    // Opens the display's window (UI thread); false when it cannot.
    virtual bool open(int width, int height, const std::wstring& title) = 0;
    virtual void close() = 0;
    // Shows the area of the window's pixels (UI thread).
    virtual void present(const surface& pixels, const RECT& area) = 0;
    // Waits until input has been handed to the window system, wake() was called, or the deadline (this
    // display's clock) has passed (UI thread).
    virtual void wait(std::optional<std::uint64_t> deadline) = 0;
    // Hands input that has arrived to the window system without waiting (UI thread).
    virtual void poll() = 0;
    // Ends a wait from any thread.
    virtual void wake() = 0;
    virtual void raise() = 0;
    // Minimises the window (raise() brings it back).
    virtual void minimise() = 0;
    // Shows the window over the whole display (hiding the desktop's bars) or as an ordinary window.
    virtual void set_full_screen(bool on) = 0;
    // The emulated screen has a new size: the open window takes it (UI thread).
    virtual void resize(int width, int height) = 0;
    virtual void user_activity() = 0;
    // True when the box was shown (UI thread); false leaves it to the log.
    virtual bool message_box(const std::wstring& caption, const std::wstring& text, unsigned type) = 0;
    virtual bool can_show_boxes() = 0;
    // Whether other processes can see this display's windows (a second start finds the first).
    virtual bool shared() const = 0;
};

} // namespace platform
