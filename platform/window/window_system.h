// The window system: classes, windows, the message queue, timers, update regions, and the display behind them.
//
// One lock guards the queue, the update regions, the timers and the window table; window procedures run
// without it. Windows are created, painted and destroyed on the UI thread; posting, invalidating and asking for
// message boxes come from any thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/gdi_object.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "platform/window/display_backend.h"

namespace platform {

class single_instance;

struct window_object {
    std::wstring class_name;
    std::wstring title;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    bitmap_object* pixels = nullptr; // held by the window
    bool visible = false;
    bool invalid = false;
    bool erase = false;
    RECT update{0, 0, 0, 0};
};

class window_system {
public:
    static window_system& instance();

    // The display; made on first use: headless when MORVIK_DISPLAY=headless or SDL cannot start.
    display_backend& display();
    void use_display(std::unique_ptr<display_backend> display);
    bool has_display();

    ATOM register_class(const WNDCLASSW& wc);
    HWND create_window(LPCWSTR class_name, LPCWSTR title, DWORD style, HINSTANCE instance, void* param);
    bool destroy_window(HWND window);
    // The live window of a handle, whose low bit may be set; null otherwise.
    window_object* find(HWND window);
    bitmap_object* window_bitmap(HWND window);
    HWND find_window(LPCWSTR class_name, LPCWSTR title);
    bool set_foreground(HWND window);
    HWND main_window();
    // A window procedure's call, outside the lock.
    LRESULT call(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // Input from the display, to the display's window.
    void input(UINT message, WPARAM wparam, LPARAM lparam);
    // The display's window gained or lost the focus: WM_ACTIVATE to the main window when that changes.
    void activated(bool active);
    // The emulated screen took this size: windows are resized and repainted, and told so.
    void screen_changed(const screen_size& screen);
    // The next message; with wait false, false when there is none. WM_QUIT comes back as a message.
    bool next_message(MSG& msg, bool wait);

    bool invalidate(HWND window, const RECT* rect, bool erase);
    // Takes the update rectangle (validating the window); false for an unknown window.
    bool take_update(HWND window, RECT& update, bool& erase);
    bool show(HWND window, bool visible);
    // Minimises the display's window when this is the main window; false for an unknown window.
    bool minimise(HWND window);
    // Whether the window is visible with an update region; exists tells whether the window is there at all.
    bool needs_paint(HWND window, bool& exists);

    UINT_PTR set_timer(HWND window, UINT_PTR id, UINT elapse_ms);
    bool kill_timer(HWND window, UINT_PTR id);

    int message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
    std::vector<std::wstring> message_box_log();

private:
    window_system() = default;

    struct timer {
        std::uint64_t period;
        std::uint64_t due;
    };
    struct box_request {
        std::wstring text;
        std::wstring caption;
        UINT type = 0;
    };

    bool ready_locked(std::uint64_t now) const;
    std::optional<std::uint64_t> next_due_locked() const;
    void show_boxes();
    void show_box(const std::wstring& text, const std::wstring& caption, UINT type);
    void raise_requested();

    std::recursive_mutex display_mutex_;
    std::unique_ptr<display_backend> display_;
    std::thread::id ui_thread_;

    std::mutex mutex_;
    std::map<std::wstring, WNDCLASSW> classes_;
    std::map<HWND, std::unique_ptr<window_object>> windows_;
    HWND main_ = nullptr;
    std::deque<MSG> posted_;
    std::deque<MSG> input_;
    std::map<std::pair<HWND, UINT_PTR>, timer> timers_;
    std::deque<box_request> boxes_; // asked for by other threads, shown by the UI thread
    std::vector<std::wstring> box_log_;
    bool raise_pending_ = false;
    bool active_ = false; // whether the main window has the focus, as WM_ACTIVATE last told it
    std::string remote_name_;
    std::unique_ptr<single_instance> instance_;
};

// Folder of the lock file and socket by which a second start finds the first: MORVIK_RUNTIME_DIR, else
// XDG_RUNTIME_DIR, else /tmp.
std::string runtime_folder();

} // namespace platform
