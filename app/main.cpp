// The program's entry point: for now one black window of the emulated screen, which a second start brings
// to the front instead of opening another.
#include "platform/gdi.h"
#include "platform/window.h"

namespace {

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

} // namespace

int main() {
    if (HWND running = FindWindowW(L"PDACLIENT", L"Morvik")) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 1));
        return 0;
    }
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = main_window_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"PDACLIENT";
    if (!RegisterClassW(&wc)) {
        return 0;
    }
    HWND window = CreateWindowExW(0, L"PDACLIENT", L"Morvik", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        return 0;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
