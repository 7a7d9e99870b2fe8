#include "platform/window/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/platform_log.h"
#include "platform/window.h"
#include "platform/window/window_system.h"

namespace platform {

struct sdl_display::state {
    SDL_Window* window = nullptr;
    // The window's last presented pixels at the emulated screen's size; the window's own surface shows them.
    SDL_Surface* frame = nullptr;
    Uint32 wake_event = 0;
    int width = 0;
    int height = 0;
    bool pen_down = false;
};

unsigned virtual_key_of_sdl(int key) {
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<unsigned>(key);
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<unsigned>(key - SDLK_a + 'A');
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<unsigned>(key - SDLK_F1);
    }
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    default:
        return 0;
    }
}

std::unique_ptr<sdl_display> sdl_display::create() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log_line(std::string("SDL video cannot start: ") + SDL_GetError());
        return nullptr;
    }
    // The window's pixels go straight to its own surface (shared memory on X11). Without this SDL would put a
    // renderer behind that surface, and on a machine without a GPU the software GL renderer costs a start-up of
    // half a second and eight threads that keep waking.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    std::unique_ptr<sdl_display> d(new sdl_display);
    d->s_ = std::make_unique<state>();
    d->s_->wake_event = SDL_RegisterEvents(1);
    return d;
}

sdl_display::~sdl_display() {
    close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::uint64_t sdl_display::now_ms() {
    return SDL_GetTicks64();
}

bool sdl_display::open(int width, int height, const std::wstring& title) {
    if (s_->window) {
        return true;
    }
    Uint32 flags = SDL_WINDOW_SHOWN;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w == width && mode.h == height) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    s_->window =
        SDL_CreateWindow(utf8_of(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!s_->window) {
        log_line(std::string("SDL window cannot open: ") + SDL_GetError());
        return false;
    }
    s_->width = width;
    s_->height = height;
    make_frame();
    return true;
}

void sdl_display::make_frame() {
    if (s_->frame) {
        SDL_FreeSurface(s_->frame);
    }
    s_->frame = SDL_CreateRGBSurfaceWithFormat(0, s_->width, s_->height, 32, SDL_PIXELFORMAT_RGB888);
    if (!s_->frame) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return;
    }
    SDL_FillRect(s_->frame, nullptr, SDL_MapRGB(s_->frame->format, 0, 0, 0));
}

void sdl_display::resize(int width, int height) {
    if (!s_->window || (width == s_->width && height == s_->height)) {
        return;
    }
    s_->width = width;
    s_->height = height;
    SDL_DisplayMode mode;
    const bool fits = SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w == width && mode.h == height;
    if (!fits) {
        SDL_SetWindowFullscreen(s_->window, 0);
    }
    SDL_SetWindowSize(s_->window, width, height);
    make_frame();
}

void sdl_display::set_full_screen(bool on) {
    if (!s_->window) {
        return;
    }
    // Only a screen of the display's own size fills it; a smaller emulated screen stays a window.
    SDL_DisplayMode mode;
    const bool fits = SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w == s_->width && mode.h == s_->height;
    SDL_SetWindowFullscreen(s_->window, on && fits ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void sdl_display::close() {
    if (s_->frame) {
        SDL_FreeSurface(s_->frame);
    }
    if (s_->window) {
        SDL_DestroyWindow(s_->window);
    }
    s_->frame = nullptr;
    s_->window = nullptr;
}

void sdl_display::present(const surface& pixels, const RECT& area) {
    if (!s_->frame || pixels.bits_per_pixel() != 32) {
        return;
    }
    const RECT r = intersect(area, intersect(pixels.bounds(), {0, 0, s_->width, s_->height}));
    if (is_empty(r)) {
        return;
    }
    // Window surfaces are top-down, rows of width x 4 bytes, as the frame's (0x00RRGGBB).
    const std::size_t row_bytes = static_cast<std::size_t>(r.right - r.left) * 4;
    for (int y = r.top; y < r.bottom; ++y) {
        auto* to = static_cast<std::uint8_t*>(s_->frame->pixels) + static_cast<std::ptrdiff_t>(y) * s_->frame->pitch +
                   static_cast<std::ptrdiff_t>(r.left) * 4;
        std::memcpy(to, pixels.row32(y) + r.left, row_bytes);
    }
    show(r);
}

void sdl_display::redraw() {
    show(std::nullopt);
}

void sdl_display::show(std::optional<RECT> area) {
    if (!s_->frame || !s_->window) {
        return;
    }
    SDL_Surface* shown = SDL_GetWindowSurface(s_->window);
    if (!shown) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return;
    }
    if (shown->w == s_->width && shown->h == s_->height) {
        SDL_Rect rect{0, 0, s_->width, s_->height};
        if (area) {
            rect = {area->left, area->top, area->right - area->left, area->bottom - area->top};
        }
        SDL_Rect to = rect;
        SDL_BlitSurface(s_->frame, &rect, shown, &to);
        SDL_UpdateWindowSurfaceRects(s_->window, &rect, 1);
        return;
    }
    // A window the desktop gave another size: the screen scaled to fit, centred between black bars.
    SDL_Rect to{0, 0, shown->w, shown->h};
    if (static_cast<long long>(s_->width) * shown->h > static_cast<long long>(shown->w) * s_->height) {
        to.h = static_cast<int>(static_cast<long long>(s_->height) * shown->w / s_->width);
        to.y = (shown->h - to.h) / 2;
    } else {
        to.w = static_cast<int>(static_cast<long long>(s_->width) * shown->h / s_->height);
        to.x = (shown->w - to.w) / 2;
    }
    SDL_FillRect(shown, nullptr, SDL_MapRGB(shown->format, 0, 0, 0));
    SDL_BlitScaled(s_->frame, nullptr, shown, &to);
    SDL_UpdateWindowSurface(s_->window);
}

void sdl_display::handle(const void* raw) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    window_system& ws = window_system::instance();
    auto clamp_point = [&](int x, int y) {
        return MAKELPARAM(static_cast<unsigned>(std::clamp(x, 0, std::max(0, s_->width - 1))),
                          static_cast<unsigned>(std::clamp(y, 0, std::max(0, s_->height - 1))));
    };
    switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) {
            s_->pen_down = true;
            ws.input(WM_LBUTTONDOWN, MK_LBUTTON, clamp_point(e.button.x, e.button.y));
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && s_->pen_down) {
            s_->pen_down = false;
            ws.input(WM_LBUTTONUP, 0, clamp_point(e.button.x, e.button.y));
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (unsigned vk = virtual_key_of_sdl(e.key.keysym.sym)) {
            if (e.type == SDL_KEYDOWN) {
                ws.input(WM_KEYDOWN, vk, e.key.repeat ? 0x40000001 : 1);
            } else {
                ws.input(WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
            }
        }
        break;
    case SDL_QUIT:
        ws.input(WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            ws.input(WM_CLOSE, 0, 0);
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            ws.activated(true);
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            ws.activated(false);
        } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            redraw();
        }
        break;
    default:
        break;
    }
}

void sdl_display::wait(std::optional<std::uint64_t> deadline) {
    SDL_Event e;
    bool any = false;
    while (SDL_PollEvent(&e)) {
        handle(&e);
        any = true;
    }
    if (any) {
        return;
    }
    int timeout = -1;
    if (deadline) {
        const std::uint64_t now = now_ms();
        timeout = *deadline <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(*deadline - now, 1000000));
    }
    if (timeout != 0 && SDL_WaitEventTimeout(&e, timeout)) {
        handle(&e);
        while (SDL_PollEvent(&e)) {
            handle(&e);
        }
    }
}

void sdl_display::poll() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        handle(&e);
    }
}

void sdl_display::wake() {
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = s_->wake_event;
    SDL_PushEvent(&e);
}

void sdl_display::raise() {
    if (s_->window) {
        SDL_RestoreWindow(s_->window);
        SDL_RaiseWindow(s_->window);
    }
}

void sdl_display::minimise() {
    if (s_->window) {
        SDL_MinimizeWindow(s_->window);
    }
}

void sdl_display::user_activity() {
    SDL_DisableScreenSaver();
}

bool sdl_display::can_show_boxes() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

bool sdl_display::message_box(const std::wstring& caption, const std::wstring& text, unsigned type) {
    if (!can_show_boxes()) {
        return false;
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR) {
        flags = SDL_MESSAGEBOX_ERROR;
    } else if ((type & 0xF0) == MB_ICONWARNING) {
        flags = SDL_MESSAGEBOX_WARNING;
    }
    return SDL_ShowSimpleMessageBox(flags, utf8_of(caption).c_str(), utf8_of(text).c_str(), s_->window) == 0;
}

} // namespace platform
