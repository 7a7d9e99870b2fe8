#include "platform/headless.h"

#include "platform/png_file.h"
#include "platform/window.h"
#include "platform/window/headless_display.h"
#include "platform/window/window_system.h"

namespace platform::headless {

namespace {

headless_display* display() {
    return dynamic_cast<headless_display*>(&window_system::instance().display());
}

} // namespace

void start(const screen_size& screen) {
    set_screen(screen);
    auto& ws = window_system::instance();
    if (!ws.has_display() || !dynamic_cast<headless_display*>(&ws.display())) {
        ws.use_display(std::make_unique<headless_display>());
    }
}

std::uint64_t now_ms() {
    return window_system::instance().display().now_ms();
}

void advance(std::uint32_t ms) {
    if (headless_display* d = display()) {
        d->advance(ms);
    }
}

void pen_down(int x, int y) {
    window_system::instance().input(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void pen_up(int x, int y) {
    window_system::instance().input(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void tap(int x, int y) {
    pen_down(x, y);
    pen_up(x, y);
}

void key_down(UINT virtual_key) {
    window_system::instance().input(WM_KEYDOWN, virtual_key, 1);
}

void key_up(UINT virtual_key) {
    window_system::instance().input(WM_KEYUP, virtual_key, static_cast<LPARAM>(0xC0000001u));
}

void close_window() {
    window_system::instance().input(WM_CLOSE, 0, 0);
}

void focus(bool gained) {
    window_system::instance().activated(gained);
}

int run_until_idle(int limit) {
    int count = 0;
    MSG msg;
    while (count < limit && window_system::instance().next_message(msg, false)) {
        if (msg.message == WM_QUIT) {
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

std::vector<std::uint32_t> window_pixels(HWND window, int& width, int& height) {
    width = height = 0;
    bitmap_object* b = window_system::instance().window_bitmap(window);
    if (!b) {
        return {};
    }
    const surface& s = *b->pixels;
    width = s.width();
    height = s.height();
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        s.read(y, 0, width, out.data() + static_cast<std::size_t>(y) * width);
    }
    return out;
}

bool save_png(HWND window, const std::string& path) {
    int w = 0, h = 0;
    auto pixels = window_pixels(window, w, h);
    return !pixels.empty() && write_png(path, w, h, pixels);
}

std::vector<std::wstring> message_boxes() {
    return window_system::instance().message_box_log();
}

bool full_screen() {
    headless_display* d = display();
    return d && d->full_screen();
}

int minimised() {
    headless_display* d = display();
    return d ? d->minimised() : 0;
}

} // namespace platform::headless
