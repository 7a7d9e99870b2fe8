// The SDL display under SDL's dummy video driver: a window of the emulated screen, real input events turned
// into messages, the second-start lock of a shared display, a window the desktop sized otherwise on its own
// surface and through a renderer. Its own program, as the display is per process.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "platform/gdi.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "platform/window/frame_placement.h"
#include "platform/window/sdl_display.h"
#include "platform/window/single_instance.h"
#include "platform/window/window_system.h"

namespace {

std::vector<MSG> received;

LRESULT proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
    }
    received.push_back(MSG{window, message, wparam, lparam, 0, {0, 0}});
    return 0;
}

TEST(sdl_display, window_input_timer_and_second_start) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const std::string folder = std::filesystem::temp_directory_path() / ("morvik_sdl_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("MORVIK_RUNTIME_DIR", folder.c_str(), 1);
    platform::set_screen({120, 200, 96});

    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"PDACLIENT";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND window =
        CreateWindowExW(0, L"PDACLIENT", L"Morvik", WS_VISIBLE, 0, 0, 120, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 200);

    // The window holds the lock that a second copy would find.
    EXPECT_TRUE(platform::single_instance::held_elsewhere(folder, "PDACLIENT"));
    EXPECT_TRUE(platform::single_instance::request_raise(folder, "PDACLIENT"));

    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 30;
    e.button.y = 150;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_DOWN;
    SDL_PushEvent(&e);
    SetTimer(window, 9, 10, nullptr);

    MSG msg;
    bool timer = false;
    while (!timer && GetMessageW(&msg, nullptr, 0, 0)) {
        DispatchMessageW(&msg);
        timer = msg.message == WM_TIMER;
    }
    KillTimer(window, 9);
    std::vector<UINT> kinds;
    for (const MSG& m : received) {
        kinds.push_back(m.message);
    }
    EXPECT_EQ(kinds, (std::vector<UINT>{WM_CREATE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(LOWORD(received[1].lParam), 30);
    EXPECT_EQ(HIWORD(received[1].lParam), 150);
    EXPECT_EQ(received[3].wParam, VK_DOWN);
    EXPECT_EQ(MessageBoxW(window, L"text", L"caption", MB_OK), IDOK); // dummy driver: logged only

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(platform::single_instance::held_elsewhere(folder, "PDACLIENT"));
    std::filesystem::remove_all(folder);
}

// The window's focus events and a change of the emulated screen reach the window procedure as the window
// shell expects them: WM_ACTIVATE on every change of focus, WM_SIZE and WM_SETTINGCHANGE with the new size.
TEST(sdl_display, focus_and_screen_size_changes_become_messages) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const std::string folder =
        std::filesystem::temp_directory_path() / ("morvik_sdl_focus_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("MORVIK_RUNTIME_DIR", folder.c_str(), 1);
    platform::set_screen({120, 200, 96});
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"SDLFOCUS";
    RegisterClassW(&wc);
    HWND window =
        CreateWindowExW(0, L"SDLFOCUS", L"Morvik", WS_VISIBLE, 0, 0, 120, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    received.clear();

    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&e);
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    SDL_PushEvent(&e); // a repeated loss changes nothing
    platform::set_screen({200, 120, 96});
    SetTimer(window, 4, 10, nullptr);
    MSG msg;
    bool timer = false;
    while (!timer && GetMessageW(&msg, nullptr, 0, 0)) {
        DispatchMessageW(&msg);
        timer = msg.message == WM_TIMER;
    }
    KillTimer(window, 4);

    std::vector<WPARAM> activations;
    std::vector<MSG> resizes;
    for (const MSG& m : received) {
        if (m.message == WM_ACTIVATE) {
            activations.push_back(m.wParam);
        } else if (m.message == WM_SIZE || m.message == WM_SETTINGCHANGE) {
            resizes.push_back(m);
        }
    }
    EXPECT_EQ(activations, (std::vector<WPARAM>{WA_ACTIVE, WA_INACTIVE}));
    ASSERT_EQ(resizes.size(), 2u);
    EXPECT_EQ(resizes[0].message, WM_SIZE);
    EXPECT_EQ(LOWORD(resizes[0].lParam), 200);
    EXPECT_EQ(HIWORD(resizes[0].lParam), 120);
    EXPECT_EQ(resizes[1].message, WM_SETTINGCHANGE);
    EXPECT_EQ(resizes[1].wParam, SPI_SETWORKAREA);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 120);

    EXPECT_TRUE(DestroyWindow(window));
    platform::set_screen({120, 200, 96});
    std::filesystem::remove_all(folder);
}

// Every screen pixel a colour of its own, so that a window pixel tells which screen pixel it shows.
COLORREF pattern(int x, int y) {
    return RGB(x, y, 0x80);
}

LRESULT pattern_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        for (int y = paint.rcPaint.top; y < paint.rcPaint.bottom; ++y) {
            for (int x = paint.rcPaint.left; x < paint.rcPaint.right; ++x) {
                SetPixel(dc, x, y, pattern(x, y));
            }
        }
        EndPaint(window, &paint);
    }
    received.push_back(MSG{window, message, wparam, lparam, 0, {0, 0}});
    return 0;
}

// What the window shows, 0x00RRGGBB row by row.
std::vector<std::uint32_t> shown_pixels(SDL_Window* window, int& width, int& height) {
    std::vector<std::uint32_t> out;
    if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
        if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) {
            return out;
        }
        out.resize(static_cast<std::size_t>(width) * height);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, out.data(), width * 4) != 0) {
            out.clear();
        }
        return out;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) {
        return out;
    }
    width = surface->w;
    height = surface->h;
    SDL_Surface* copy = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB888, 0);
    if (!copy) {
        return out;
    }
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(copy->pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * copy->pitch);
        out.insert(out.end(), row, row + width);
    }
    SDL_FreeSurface(copy);
    return out;
}

void push_button(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

class sdl_display_output : public testing::TestWithParam<platform::sdl_display::output> {};

// A 120x200 screen in a window the desktop made 300x300: the picture is scaled by 1.5 between bars 60 pixels
// wide, and a tap reaches the control drawn under it. Each window pixel shows the screen pixel that a pen
// there reaches, so the picture and the pen agree everywhere.
TEST_P(sdl_display_output, a_window_of_another_size_shows_the_screen_scaled_and_maps_the_pen) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const std::string folder =
        std::filesystem::temp_directory_path() /
        ("morvik_sdl_scaled_" + std::to_string(getpid()) + "_" + std::to_string(static_cast<int>(GetParam())));
    std::filesystem::create_directories(folder);
    setenv("MORVIK_RUNTIME_DIR", folder.c_str(), 1);
    platform::set_screen({120, 200, 96});
    received.clear();
    auto made = platform::sdl_display::create(GetParam());
    ASSERT_NE(made, nullptr);
    platform::sdl_display& display = *made;
    platform::window_system::instance().use_display(std::move(made));

    WNDCLASSW wc{};
    wc.lpfnWndProc = pattern_proc;
    wc.lpszClassName = L"SDLSCALED";
    RegisterClassW(&wc); // once for both outputs when they share a process
    HWND window =
        CreateWindowExW(0, L"SDLSCALED", L"Morvik", WS_VISIBLE, 0, 0, 120, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    SDL_Window* sdl_window = SDL_GetWindowFromID(display.window_id());
    ASSERT_NE(sdl_window, nullptr);
    EXPECT_EQ(SDL_GetRenderer(sdl_window) != nullptr, GetParam() == platform::sdl_display::output::renderer);
    UpdateWindow(window);
    SDL_SetWindowSize(sdl_window, 300, 300);

    push_button(SDL_MOUSEBUTTONDOWN, 105, 225); // screen (30, 150)
    push_button(SDL_MOUSEBUTTONUP, 105, 225);
    push_button(SDL_MOUSEBUTTONDOWN, 20, 150); // on the left bar: no press
    push_button(SDL_MOUSEBUTTONUP, 20, 150);
    push_button(SDL_MOUSEBUTTONDOWN, 239, 10); // screen (119, 6), lifted on the right bar
    push_button(SDL_MOUSEBUTTONUP, 280, 290);
    SetTimer(window, 5, 60000, nullptr); // a safety net only: the six events come first
    MSG msg;
    int ups = 0;
    while (ups < 2 && GetMessageW(&msg, nullptr, 0, 0) && msg.message != WM_TIMER) {
        DispatchMessageW(&msg);
        ups += msg.message == WM_LBUTTONUP ? 1 : 0;
    }
    KillTimer(window, 5);

    std::vector<std::vector<int>> pen;
    for (const MSG& m : received) {
        if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP) {
            pen.push_back({static_cast<int>(m.message), LOWORD(m.lParam), HIWORD(m.lParam)});
        }
    }
    const int down = WM_LBUTTONDOWN;
    const int up = WM_LBUTTONUP;
    EXPECT_EQ(pen, (std::vector<std::vector<int>>{{down, 30, 150}, {up, 30, 150}, {down, 119, 6}, {up, 119, 193}}));

    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> shown = shown_pixels(sdl_window, width, height);
    ASSERT_EQ(width, 300);
    ASSERT_EQ(height, 300);
    ASSERT_EQ(shown.size(), 300u * 300u);
    const platform::frame_placement placed = platform::frame_placement::fit(120, 200, 300, 300);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::optional<POINT> at = placed.to_screen(x, y);
            const COLORREF c = at ? pattern(at->x, at->y) : RGB(0, 0, 0);
            const std::uint32_t expected = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            const std::uint32_t got = shown[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
            if (got != expected && wrong++ < 5) {
                ADD_FAILURE() << "window pixel " << x << "," << y << " shows " << std::hex << got << ", not "
                              << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    EXPECT_TRUE(DestroyWindow(window));
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(outputs, sdl_display_output,
                         testing::Values(platform::sdl_display::output::surface_else_renderer,
                                         platform::sdl_display::output::renderer),
                         [](const testing::TestParamInfo<platform::sdl_display::output>& info) {
                             return info.param == platform::sdl_display::output::renderer ? std::string("renderer")
                                                                                          : std::string("surface");
                         });

TEST(sdl_display, virtual_keys) {
    struct row {
        int sdl;
        unsigned vk;
    };
    for (const row& r : {row{SDLK_RETURN, 13}, row{SDLK_KP_ENTER, 13}, row{SDLK_LEFT, 37}, row{SDLK_UP, 38},
                         row{SDLK_RIGHT, 39}, row{SDLK_DOWN, 40}, row{SDLK_0, '0'}, row{SDLK_9, '9'}, row{SDLK_a, 'A'},
                         row{SDLK_z, 'Z'}, row{SDLK_F1, 0x70}, row{SDLK_F12, 0x7B}, row{SDLK_CAPSLOCK, 0}}) {
        EXPECT_EQ(platform::virtual_key_of_sdl(r.sdl), r.vk) << r.sdl;
    }
}

} // namespace
