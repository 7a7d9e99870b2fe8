#include "platform/window/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/platform_log.h"
#include "platform/window.h"
#include "platform/window/frame_placement.h"
#include "platform/window/window_system.h"

namespace platform {

struct sdl_display::state {
    output how = output::surface_else_renderer;
    SDL_Window* window = nullptr;
    // The window's last presented pixels at the emulated screen's size; the window shows them.
    SDL_Surface* frame = nullptr;
    // Only for a window without a surface of its own: the frame goes through this texture to the renderer.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    // Where the frame was last shown in the window; the pen goes back through it.
    frame_placement placement;
    Uint32 wake_event = 0;
    int width = 0;
    int height = 0;
    bool pen_down = false;
};

namespace {

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

SDL_Rect sdl_rect(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

} // namespace

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

std::unique_ptr<sdl_display> sdl_display::create(output how) {
    // The window's pixels go straight to its own surface (shared memory on X11). Without this SDL would put a
    // renderer behind that surface, and on a machine without a GPU the software GL renderer costs a start-up of
    // half a second and eight threads that keep waking. SDL reads the hint when its video starts.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log_line(std::string("SDL video cannot start: ") + SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<sdl_display> d(new sdl_display);
    d->s_ = std::make_unique<state>();
    d->s_->how = how;
    d->s_->wake_event = SDL_RegisterEvents(1);
    return d;
}

sdl_display::~sdl_display() {
    close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::uint32_t sdl_display::window_id() const {
    return s_->window ? SDL_GetWindowID(s_->window) : 0;
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
    s_->placement = frame_placement::fit(width, height, width, height);
    if (s_->how == output::renderer || !SDL_GetWindowSurface(s_->window)) {
        if (s_->how != output::renderer) {
            log_line(std::string("SDL window has no surface of its own (") + SDL_GetError() +
                     "): drawing through a renderer");
        }
        if (!make_renderer()) {
            return true; // nothing can be shown, but the window still takes the pen and keys
        }
    }
    make_frame();
    return true;
}

bool sdl_display::make_renderer() {
    s_->renderer = SDL_CreateRenderer(s_->window, -1, 0);
    if (!s_->renderer) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(s_->renderer, &info) == 0) {
        log_line(std::string("SDL draws through the renderer ") + info.name);
    }
    return true;
}

void sdl_display::make_frame() {
    if (s_->frame) {
        SDL_FreeSurface(s_->frame);
    }
    if (s_->texture) {
        SDL_DestroyTexture(s_->texture);
        s_->texture = nullptr;
    }
    s_->frame = SDL_CreateRGBSurfaceWithFormat(0, s_->width, s_->height, 32, SDL_PIXELFORMAT_RGB888);
    if (!s_->frame) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return;
    }
    SDL_FillRect(s_->frame, nullptr, SDL_MapRGB(s_->frame->format, 0, 0, 0));
    if (s_->renderer) {
        s_->texture =
            SDL_CreateTexture(s_->renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, s_->width, s_->height);
        if (!s_->texture) {
            log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
            return;
        }
        SDL_UpdateTexture(s_->texture, nullptr, s_->frame->pixels, s_->frame->pitch);
    }
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
    s_->placement = frame_placement::fit(width, height, width, height);
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
    if (s_->texture) {
        SDL_DestroyTexture(s_->texture);
    }
    if (s_->renderer) {
        SDL_DestroyRenderer(s_->renderer);
    }
    if (s_->window) {
        SDL_DestroyWindow(s_->window);
    }
    s_->frame = nullptr;
    s_->texture = nullptr;
    s_->renderer = nullptr;
    s_->window = nullptr;
    s_->pen_down = false;
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
    if (s_->renderer) {
        show_rendered(area);
    } else {
        show_on_surface(area);
    }
}

void sdl_display::show_on_surface(std::optional<RECT> area) {
    SDL_Surface* shown = SDL_GetWindowSurface(s_->window);
    if (!shown) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return;
    }
    const frame_placement placed = frame_placement::fit(s_->width, s_->height, shown->w, shown->h);
    // Only a frame shown at its own size where it was shown before can be brought up to date in part; anything
    // else repaints the bars and the whole picture.
    if (area && placed.unscaled() && same(placed.area(), s_->placement.area())) {
        SDL_Rect rect = sdl_rect(*area);
        SDL_Rect to{rect.x + placed.area().left, rect.y + placed.area().top, rect.w, rect.h};
        SDL_BlitSurface(s_->frame, &rect, shown, &to);
        SDL_UpdateWindowSurfaceRects(s_->window, &to, 1);
        return;
    }
    s_->placement = placed;
    SDL_Rect to = sdl_rect(placed.area());
    SDL_FillRect(shown, nullptr, SDL_MapRGB(shown->format, 0, 0, 0));
    if (placed.unscaled()) {
        SDL_BlitSurface(s_->frame, nullptr, shown, &to);
    } else {
        SDL_BlitScaled(s_->frame, nullptr, shown, &to);
    }
    SDL_UpdateWindowSurface(s_->window);
}

void sdl_display::show_rendered(std::optional<RECT> area) {
    if (!s_->texture) {
        return;
    }
    int w = 0;
    int h = 0;
    if (SDL_GetRendererOutputSize(s_->renderer, &w, &h) != 0) {
        log_line(std::string("SDL cannot draw in its window: ") + SDL_GetError());
        return;
    }
    const SDL_Rect part = area ? sdl_rect(*area) : SDL_Rect{0, 0, s_->width, s_->height};
    const auto* pixels = static_cast<const std::uint8_t*>(s_->frame->pixels) +
                         static_cast<std::ptrdiff_t>(part.y) * s_->frame->pitch +
                         static_cast<std::ptrdiff_t>(part.x) * 4;
    SDL_UpdateTexture(s_->texture, &part, pixels, s_->frame->pitch);
    // A renderer's buffer is undefined after it is shown: every showing draws the bars and the whole picture.
    s_->placement = frame_placement::fit(s_->width, s_->height, w, h);
    const SDL_Rect to = sdl_rect(s_->placement.area());
    SDL_SetRenderDrawColor(s_->renderer, 0, 0, 0, 255);
    SDL_RenderClear(s_->renderer);
    SDL_RenderCopy(s_->renderer, s_->texture, nullptr, &to);
    SDL_RenderPresent(s_->renderer);
}

void sdl_display::handle(const void* raw) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    window_system& ws = window_system::instance();
    auto lparam_of = [](POINT p) { return MAKELPARAM(static_cast<unsigned>(p.x), static_cast<unsigned>(p.y)); };
    switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) {
            if (const std::optional<POINT> at = s_->placement.to_screen(e.button.x, e.button.y)) {
                s_->pen_down = true;
                ws.input(WM_LBUTTONDOWN, MK_LBUTTON, lparam_of(*at));
            }
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && s_->pen_down) {
            s_->pen_down = false;
            ws.input(WM_LBUTTONUP, 0, lparam_of(s_->placement.to_screen_clamped(e.button.x, e.button.y)));
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
