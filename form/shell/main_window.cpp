#include "form/shell/main_window.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "controller/controller.h"
#include "form/shell/manager_2.h"
#include "foundation/aygshell.h"
#include "foundation/clock.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "foundation/sound_player.h"
#include "platform/gdi.h"
#include "platform/named_event.h"
#include "platform/process_control.h"

namespace zel::form {

namespace {

constexpr uint32_t full_screen_flags = 42; // hide the task bar, the input-panel button and the start icon

// The shell's activation record: only ever handed back to the shell, all zero at start.
struct activate_info {
    uint32_t size = 0;
    void* last_focus = nullptr;
    uint32_t flags = 0;
};

HINSTANCE the_instance = nullptr;
std::atomic<manager_2*> the_manager{nullptr};
activate_info activate_record;
activate_info setting_change_record;

void log_info(const std::wstring& text) {
    zel::log(logger::info, text);
}

// Runs one message's work; an exception shows "Error in NAME" and the program goes on.
template <class Work> void guarded(HWND window, const wchar_t* name, Work&& work) {
    try {
        work();
    } catch (...) {
        MessageBoxW(window, (std::wstring(L"Error in ") + name).c_str(), name, MB_OK);
    }
}

// SIGINT and SIGTERM stay blocked in every thread; this one takes them and asks the UI thread to close, so
// nothing runs inside a signal handler.
void block_close_signals(sigset_t& set) {
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void close_on_signals(HWND window, sigset_t set) {
    std::thread([window, set] {
        for (;;) {
            int signal_number = 0;
            if (sigwait(&set, &signal_number) == 0) {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
    }).detach();
}

void start_up(HWND window) {
    device_info::create(the_instance);
    auto* manager = new manager_2(window);
    the_manager.store(manager);
    controller_::controller::create(manager);
    manager->start();
    sound_player::start();
}

void paint(HWND window) {
    log_info(L"WM_PAINT");
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const rect update{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                      ps.rcPaint.bottom - ps.rcPaint.top};
    const uint32_t before = clock::tick_ms();
    guarded(window, L"WM_PAINT", [&] {
        if (manager_2* m = the_manager.load()) {
            m->paint(dc, update);
        }
    });
    const uint32_t after = clock::tick_ms();
    log_info(L"-----------------------------------------------------------------> paint time = " +
             std::to_wstring(after - before) + L"\n\tpaint rect.x = " + std::to_wstring(update.x) +
             L"\n\tpaint rect.y = " + std::to_wstring(update.y) + L"\n\tpaint rect.w = " + std::to_wstring(update.w) +
             L"\n\tpaint rect.h = " + std::to_wstring(update.h));
    EndPaint(window, &ps);
    // Every repaint counts as user activity for the backlight and the power manager.
    signal_user_activity();
}

} // namespace

manager_2* main_manager() {
    return the_manager.load();
}

void set_main_manager(manager_2* manager) {
    the_manager.store(manager);
}

int win_main(HINSTANCE instance) {
    if (!start_program(instance)) {
        return 0;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool start_program(HINSTANCE instance) {
    logger::create(0);
    return init_instance(instance) != 0;
}

int init_instance(HINSTANCE instance) {
    the_instance = instance;
    sigset_t close_signals;
    block_close_signals(close_signals);
    aygshell::instance()->init_extra_controls();
    if (HWND running = FindWindowW(L"PDACLIENT", L"Morvik")) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 1));
        return 0;
    }
    if (!register_main_window_class(instance)) {
        return 0;
    }
    HWND window = CreateWindowExW(0, L"PDACLIENT", L"Morvik", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!window) {
        // The start-up may have begun threads: no return through the static destructors.
        _exit(0);
    }
    close_on_signals(window, close_signals);
    aygshell::instance()->full_screen(window, full_screen_flags);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return 1;
}

void signal_user_activity() {
    HANDLE backlight = CreateEventW(nullptr, FALSE, TRUE, L"BackLightChangeEvent");
    HANDLE activity = CreateEventW(nullptr, FALSE, TRUE, L"PowerManager/ReloadActivityTimeouts");
    if (backlight && activity) {
        EventModify(backlight, EVENT_SET);
        EventModify(activity, EVENT_SET);
    }
    if (backlight) {
        CloseHandle(backlight);
    }
    if (activity) {
        CloseHandle(activity);
    }
}

void end_program() {
    if (auto* c = controller_::controller::instance()) {
        c->flush_track();
    }
    process_control::current().end_this_process(0);
}

ATOM register_main_window_class(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"PDACLIENT";
    return RegisterClassW(&wc);
}

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    manager_2* m = the_manager.load();
    switch (message) {
    case WM_CREATE: {
        log_info(L"WM_CREATE");
        bool started = false;
        guarded(window, L"WM_CREATE", [&] {
            start_up(window);
            started = true;
        });
        return started ? 0 : -1;
    }
    case WM_DESTROY:
        return 0;
    case WM_SIZE:
        log_info(L"WM_SIZE");
        return 0;
    case WM_ACTIVATE:
        log_info(L"WM_ACTIVATE");
        guarded(window, L"WM_ACTIVATE", [&] {
            aygshell::instance()->handle_wm_activate(window, wparam, lparam, &activate_record, 0);
            if ((wparam & 0xFFFF) == WA_ACTIVE) {
                aygshell::instance()->full_screen(window, full_screen_flags);
            }
        });
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_CLOSE:
        end_program();
        return 0;
    case WM_SETTINGCHANGE:
        log_info(L"WM_SETTINGCHANGE");
        guarded(window, L"WM_SETTINGCHANGE", [&] {
            aygshell::instance()->handle_wm_setting_change(window, wparam, lparam, &setting_change_record);
        });
        return 0;
    case WM_KEYDOWN:
        log_info(L"WM_KEYDOWN" + std::to_wstring(wparam));
        guarded(window, L"WM_KEYDOWN", [&] {
            if (m) {
                m->on_key_down(static_cast<UINT>(wparam));
            }
        });
        return 0;
    case WM_KEYUP:
        log_info(L"WM_KEYUP" + std::to_wstring(wparam));
        guarded(window, L"WM_KEYUP", [&] {
            if (m) {
                m->on_key_up(static_cast<UINT>(wparam));
            }
        });
        return 0;
    case WM_TIMER:
        log_info(L"WM_TIMER");
        log_info(L"\tnumber = " + std::to_wstring(wparam));
        guarded(window, L"WM_TIMER", [&] {
            if (m) {
                m->on_timer(static_cast<int>(wparam));
            }
        });
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        const bool down = message == WM_LBUTTONDOWN;
        const wchar_t* name = down ? L"WM_LBUTTONDOWN" : L"WM_LBUTTONUP";
        log_info(name);
        const int x = static_cast<int>(lparam & 0xFFFF);
        const int y = static_cast<int>((lparam >> 16) & 0xFFFF);
        guarded(window, name, [&] {
            if (m) {
                down ? m->on_pen_down(x, y) : m->on_pen_up(x, y);
            }
        });
        return 0;
    }
    case NEW_DATA:
        log_info(L"NEW_DATA");
        guarded(window, L"NEW_DATA", [&] {
            if (m) {
                m->command_pump();
            }
        });
        return 0;
    case CHANGE_PANEL:
        log_info(L"CHANGE_PANEL");
        guarded(window, L"CHANGE_PANEL", [&] {
            if (m) {
                m->switch_panel();
            }
        });
        return 0;
    case UI_CALL:
        log_info(L"UI_CALL");
        guarded(window, L"UI_CALL", [&] {
            if (m) {
                m->run_ui_call();
            }
        });
        return 0;
    default:
        log_info(L"default:" + std::to_wstring(message));
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

} // namespace zel::form
