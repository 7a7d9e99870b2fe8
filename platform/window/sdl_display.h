// The display as an SDL window of the emulated screen's size (full screen when the screen is the display's
// own). The left mouse button and touches are the pen; keys map to virtual-key codes; the window's focus
// events become WM_ACTIVATE.
//
// Presentation: the window's pixels are copied into a frame of the screen's size, which goes to the window's
// own surface (no renderer, so no GL context or its threads). Where the window has no surface of its own
// (Wayland, KMSDRM), a renderer with a streaming texture of the screen's size shows the frame instead. A
// window the desktop sizes otherwise shows the frame scaled to fit between black bars (frame_placement); the
// pen goes back through that placement, and a press on the bars is ignored. Everything but wake() runs on the
// UI thread; SDL's event queue is the only lock.
//
// The pen (the left button or a touch):
// | state | event                        | sends                                         | next |
// |-------|------------------------------|-----------------------------------------------|------|
// | up    | pressed on the picture       | WM_LBUTTONDOWN at the screen point under it   | down |
// | up    | pressed on a bar             | nothing                                       | up   |
// | down  | lifted anywhere              | WM_LBUTTONUP at the nearest screen point      | up   |
// | down  | the window closes            | nothing                                       | up   |
#pragma once

#include <memory>
#include <optional>

#include "platform/window/display_backend.h"

namespace platform {

class sdl_display : public display_backend {
public:
    // How the frame reaches the window: its own surface, or a renderer where it has none; tests force the
    // renderer to see that path under a driver that has surfaces.
    enum class output { surface_else_renderer, renderer };

    // Null when SDL's video cannot start.
    static std::unique_ptr<sdl_display> create(output how = output::surface_else_renderer);
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
    // SDL's id of the open window (0 when none), for tests that look at what it shows.
    std::uint32_t window_id() const;

private:
    sdl_display() = default;
    void handle(const void* event);
    // Shows the whole frame again (the window was uncovered or resized).
    void redraw();
    // Copies the frame's area (all of it when none) to the window and shows it; a window of another size than
    // the screen gets the frame scaled to fit.
    void show(std::optional<RECT> area);
    void show_on_surface(std::optional<RECT> area);
    void show_rendered(std::optional<RECT> area);
    // The frame (and the renderer's texture) for the screen's current size, black.
    void make_frame();
    // Makes the renderer that stands in for a window without a surface of its own; false when it cannot.
    bool make_renderer();

    struct state;
    std::unique_ptr<state> s_;
};

// The virtual-key code of an SDL key code; 0 for keys the program has no use for.
unsigned virtual_key_of_sdl(int sdl_key);

} // namespace platform
