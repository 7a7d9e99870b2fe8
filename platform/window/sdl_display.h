// The display as an SDL window of the emulated screen's size (full screen when the screen is the display's
// own). The left mouse button and touches are the pen; keys map to virtual-key codes; the window's focus
// events become WM_ACTIVATE.
//
// Presentation: the window's pixels are copied into a frame of the screen's size, which goes to the window's
// own surface (no renderer, so no GL context or its threads). A window the desktop sizes otherwise shows the
// frame scaled to fit between black bars. Everything but wake() runs on the UI thread; SDL's event queue is
// the only lock.
#pragma once

#include <memory>
#include <optional>

#include "platform/window/display_backend.h"

namespace platform {

class sdl_display : public display_backend {
public:
    // Null when SDL's video cannot start.
    static std::unique_ptr<sdl_display> create();
    ~sdl_display() override;

    std::uint64_t now_ms() override;
    bool open(int width, int height, const std::wstring& title) override;
    void close() override;
    void present(const surface& pixels, const RECT& area) override;
    void wait(std::optional<std::uint64_t> deadline) override;
    void wake() override;
    void poll() override;
    void raise() override;
    void minimise() override;
    void set_full_screen(bool on) override;
    void resize(int width, int height) override;
    void user_activity() override;
    bool message_box(const std::wstring& caption, const std::wstring& text, unsigned type) override;
    bool can_show_boxes() override;
    bool shared() const override {
        return true;
    }

private:
    sdl_display() = default;
    void handle(const void* event);
    // Shows the whole frame again (the window was uncovered or resized).
    void redraw();
    // Copies the frame's area (all of it when none) to the window's surface and shows it; a window of another
    // size than the screen gets the frame scaled to fit.
    void show(std::optional<RECT> area);
    // The frame for the screen's current size, black.
    void make_frame();

    struct state;
    std::unique_ptr<state> s_;
};

// The virtual-key code of an SDL key code; 0 for keys the program has no use for.
unsigned virtual_key_of_sdl(int sdl_key);

} // namespace platform
