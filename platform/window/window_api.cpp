// The window calls of the platform interface, over the window system.
#include "platform/gdi/gdi_object.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "platform/window/window_system.h"

using namespace platform;

namespace {
window_system& ws() {
    return window_system::instance();
}
} // namespace

ATOM RegisterClassW(const WNDCLASSW* window_class) {
    return window_class ? ws().register_class(*window_class) : 0;
}

HWND CreateWindowExW(DWORD, LPCWSTR class_name, LPCWSTR title, DWORD style, int, int, int, int, HWND, HANDLE,
                     HINSTANCE instance, void* param) {
    return ws().create_window(class_name, title, style, instance, param);
}

BOOL DestroyWindow(HWND window) {
    return ws().destroy_window(window) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    } else if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
    }
    return 0;
}

BOOL ShowWindow(HWND window, int show) {
    if (show == SW_MINIMIZE) {
        return ws().minimise(window) ? TRUE : FALSE;
    }
    return ws().show(window, show != SW_HIDE) ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    bool exists = false;
    if (ws().needs_paint(window, exists)) {
        ws().call(window, WM_PAINT, 0, 0);
    }
    return exists ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    window_object* w = ws().find(window);
    if (!w || !rect) {
        return FALSE;
    }
    *rect = w->pixels->pixels->bounds();
    return TRUE;
}

HWND FindWindowW(LPCWSTR class_name, LPCWSTR title) {
    return ws().find_window(class_name, title);
}

BOOL SetForegroundWindow(HWND window) {
    return ws().set_foreground(window) ? TRUE : FALSE;
}

BOOL GetMessageW(MSG* msg, HWND, UINT, UINT) {
    if (!msg) {
        return -1;
    }
    ws().next_message(*msg, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE; // the program reads key codes, never characters
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        return 0;
    }
    return ws().call(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window && !ws().find(window)) {
        return FALSE;
    }
    ws().post(window, message, wparam, lparam);
    return TRUE;
}

void PostQuitMessage(int exit_code) {
    ws().post(nullptr, WM_QUIT, static_cast<WPARAM>(exit_code), 0);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, void*) {
    return ws().set_timer(window, id, elapse_ms);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    return ws().kill_timer(window, id) ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    return ws().invalidate(window, rect, erase != FALSE) ? TRUE : FALSE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    window_object* w = ws().find(window);
    if (!w || !paint) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    bool erase = false;
    ws().take_update(window, paint->rcPaint, erase);
    paint->hdc = make_window_dc(w->pixels, &paint->rcPaint);
    // The class brush erases the update area here, as the default erase handling would.
    if (erase && w->background) {
        FillRect(paint->hdc, &paint->rcPaint, w->background);
    }
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    window_object* w = ws().find(window);
    if (!paint) {
        return FALSE;
    }
    if (w && window == ws().main_window() && !is_empty(paint->rcPaint)) {
        ws().display().present(*w->pixels->pixels, paint->rcPaint);
    }
    DeleteDC(paint->hdc);
    return TRUE;
}

int GetSystemMetrics(int index) {
    const screen_size screen = current_screen();
    switch (index) {
    case SM_CXSCREEN:
        return screen.width;
    case SM_CYSCREEN:
        return screen.height;
    default:
        return 0;
    }
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return ws().message_box(owner, text ? text : L"", caption ? caption : L"", type);
}
