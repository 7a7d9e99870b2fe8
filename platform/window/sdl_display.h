// The display as an SDL window of the emulated screen's size (full screen when the screen is the display's
// own). The left mouse button and touches are the pen; keys map to virtual-key codes; the window's focus
// events become WM_ACTIVATE.
#pragma once

#include <memory>

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
    void redraw();
    // Renderer scaling and texture for the window's current size.
    void make_texture();

    struct state;
    std::unique_ptr<state> s_;
};

// The virtual-key code of an SDL key code; 0 for keys the program has no use for.
unsigned virtual_key_of_sdl(int sdl_key);

} // namespace platform
