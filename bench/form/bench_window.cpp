#include "bench/form/bench_window.h"

#include "form/shell/main_window.h"
#include "platform/headless.h"

namespace zel::form::bench {

namespace {

LRESULT bench_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return message == WM_CREATE ? 0 : main_window_proc(window, message, wparam, lparam);
}

} // namespace

HWND bench_window() {
    static HWND window = [] {
        platform::headless::start({width, height, 192});
        WNDCLASSW wc{};
        wc.lpfnWndProc = bench_proc;
        wc.lpszClassName = L"FORMBENCH";
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"FORMBENCH", L"bench", WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr,
                               nullptr);
    }();
    return window;
}

} // namespace zel::form::bench
