// Windows, the message queue, timers, painting, the screen's metrics and message boxes.
//
// One thread (the UI thread) creates windows and runs GetMessageW / DispatchMessageW. GetMessageW serves, in
// this order: posted messages, input (pen and keys), WM_PAINT while a visible window has an update region, and
// WM_TIMER when a timer is due (at most one pending per timer: a late timer fires once, then counts its period
// from then). PostMessageW, InvalidateRect and MessageBoxW may be called from any thread. The display is an SDL
// window of the emulated screen's size, or headless (platform/headless.h, or MORVIK_DISPLAY=headless).
//
// Input from the display also brings the main window WM_ACTIVATE (WA_ACTIVE / WA_INACTIVE in wParam's low
// word) when it gains or loses the focus, the first time when it opens. When the emulated screen's size
// changes (set_screen), every window takes the new size, is invalidated whole and gets WM_SIZE (SIZE_RESTORED,
// width and height in lParam) followed by WM_SETTINGCHANGE (SPI_SETWORKAREA).
#pragma once

#include "platform/win_types.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct CREATESTRUCTW {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HANDLE hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SETTINGCHANGE = 0x001A;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_USER = 0x0400;

inline constexpr WORD WA_INACTIVE = 0;
inline constexpr WORD WA_ACTIVE = 1;
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SPI_SETWORKAREA = 0x002F;
inline constexpr WPARAM MK_LBUTTON = 0x0001;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;

inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_F1 = 0x70;
inline constexpr UINT VK_F12 = 0x7B;

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr int IDOK = 1;

ATOM RegisterClassW(const WNDCLASSW* window_class);
// Sends WM_CREATE before it returns; a procedure answering -1 makes the call fail.
HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HANDLE menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);
// WM_CLOSE destroys the window, WM_PAINT validates it; everything else gives 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// SW_HIDE hides, SW_SHOW shows; SW_MINIMIZE minimises the display's window (others are left as they are).
BOOL ShowWindow(HWND window, int show);
BOOL UpdateWindow(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
// Finds a window of this process, or the window of a second running copy (SDL display), by class and title
// (null matches any).
HWND FindWindowW(LPCWSTR class_name, LPCWSTR title);
// Brings the window (its handle may carry the low bit set) to the front; for a window of another copy, asks
// that copy to raise its own.
BOOL SetForegroundWindow(HWND window);

// 0 at WM_QUIT, 1 otherwise; waits until a message is there. Filters are not supported and ignored.
BOOL GetMessageW(MSG* msg, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);

// Repeating timers of a window: WM_TIMER with the id in wParam. Setting an existing id restarts it. Id 0 asks
// for a free id: the one returned, which WM_TIMER carries and KillTimer takes.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, void* timer_proc);
BOOL KillTimer(HWND window, UINT_PTR id);

// Adds the rectangle (the whole client area when null) to the window's update rectangle. Any thread.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// The paint DC is clipped to the update rectangle, which BeginPaint validates; EndPaint shows the result.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

int GetSystemMetrics(int index);

// SDL's message box on the UI thread; a call from another thread hands the box to the UI thread, which shows it
// when it next takes a message, and returns at once. Headless, or where SDL cannot show one, a log line. Always
// IDOK.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
