// The SDL display under SDL's dummy video driver: a window of the emulated screen, real input events turned
// into messages, the second-start lock of a shared display. Its own program, as the display is per process.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/gdi.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "platform/window/sdl_display.h"
#include "platform/window/single_instance.h"

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
