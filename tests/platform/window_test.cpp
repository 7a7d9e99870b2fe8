// The window system on the headless display: message order, timers on the virtual clock, painting, input,
// message boxes, named events, the screen setting and the second-start lock.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "platform/gdi.h"
#include "platform/headless.h"
#include "platform/named_event.h"
#include "platform/screen.h"
#include "platform/system_services.h"
#include "platform/text.h"
#include "platform/window.h"
#include "platform/window/headless_display.h"
#include "platform/window/single_instance.h"
#include "platform/window/window_system.h"
#include "test_canvas.h"

namespace {

struct seen {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<seen> messages;
RECT last_paint;
void (*paint_hook)(HDC, const RECT&) = nullptr;

LRESULT CALLBACK_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        messages.push_back({message, 0, reinterpret_cast<LPARAM>(create->lpCreateParams)});
        return create->lpCreateParams == reinterpret_cast<void*>(-1) ? -1 : 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        last_paint = paint.rcPaint;
        if (paint_hook) {
            paint_hook(dc, paint.rcPaint);
        }
        EndPaint(window, &paint);
    }
    messages.push_back({message, wparam, lparam});
    return 0;
}

class window_test : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::start({64, 48, 96});
        WNDCLASSW wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = CALLBACK_proc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"PDACLIENT";
        RegisterClassW(&wc); // a second registration is refused, the first stays
        messages.clear();
        paint_hook = nullptr;
        window_ = CreateWindowExW(0, L"PDACLIENT", L"Morvik", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        platform::headless::run_until_idle();
        messages.clear();
    }
    void TearDown() override {
        DestroyWindow(window_);
    }

    std::vector<UINT> kinds() const {
        std::vector<UINT> out;
        for (const seen& s : messages) {
            out.push_back(s.message);
        }
        return out;
    }

    HWND window_ = nullptr;
};

TEST_F(window_test, create_sends_wm_create_at_once_and_minus_one_refuses) {
    messages.clear();
    HWND other = CreateWindowExW(0, L"PDACLIENT", L"Other", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                 reinterpret_cast<void*>(42));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].message, WM_CREATE);
    EXPECT_EQ(messages[0].lparam, 42);
    EXPECT_EQ(FindWindowW(L"PDACLIENT", L"Other"), other);
    EXPECT_EQ(FindWindowW(L"PDACLIENT", L"Morvik"), window_);
    EXPECT_EQ(FindWindowW(L"NOCLASS", nullptr), nullptr);
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window_) | 1)));
    EXPECT_TRUE(DestroyWindow(other));
    EXPECT_EQ(CreateWindowExW(0, L"PDACLIENT", L"Refused", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              reinterpret_cast<void*>(-1)),
              nullptr);
    EXPECT_EQ(CreateWindowExW(0, L"NOCLASS", L"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(window_test, hidden_windows_get_no_paint_until_shown_and_update_window_paints_at_once) {
    HWND hidden = CreateWindowExW(0, L"PDACLIENT", L"Hidden", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hidden, nullptr);
    platform::headless::run_until_idle();
    messages.clear();
    InvalidateRect(hidden, nullptr, FALSE);
    EXPECT_EQ(platform::headless::run_until_idle(), 0);
    EXPECT_FALSE(ShowWindow(hidden, SW_SHOW)); // was hidden
    EXPECT_TRUE(UpdateWindow(hidden));         // paints inside the call
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_PAINT}));
    EXPECT_EQ(platform::headless::run_until_idle(), 0);
    EXPECT_TRUE(DestroyWindow(hidden));
    EXPECT_FALSE(UpdateWindow(hidden));
}

TEST_F(window_test, posted_then_input_then_paint_then_timers) {
    SetTimer(window_, 7, 100, nullptr);
    platform::headless::advance(100);
    InvalidateRect(window_, nullptr, FALSE);
    platform::headless::tap(10, 40);
    PostMessageW(window_, WM_USER + 1, 0, 0);
    PostMessageW(window_, WM_USER + 2, 0, 0);
    EXPECT_EQ(platform::headless::run_until_idle(), 6);
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(messages[2].wparam, MK_LBUTTON);
    EXPECT_EQ(LOWORD(messages[2].lparam), 10);
    EXPECT_EQ(HIWORD(messages[2].lparam), 40);
    EXPECT_EQ(messages[5].wparam, 7u);
}

TEST_F(window_test, timers_repeat_without_catch_up_bursts_and_stop_when_killed) {
    EXPECT_EQ(SetTimer(window_, 1, 1000, nullptr), 1u);
    EXPECT_EQ(SetTimer(window_, 3, 300, nullptr), 3u);
    for (int step = 0; step < 3; ++step) { // timer 3 at 300, 600, 900
        platform::headless::advance(300);
        EXPECT_EQ(platform::headless::run_until_idle(), 1);
    }
    messages.clear();
    platform::headless::advance(99);
    EXPECT_EQ(platform::headless::run_until_idle(), 0);
    platform::headless::advance(1);
    platform::headless::run_until_idle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].wparam, 1u);
    messages.clear();
    // Five seconds with nobody dispatching: each timer fires once, then counts its period from then.
    platform::headless::advance(5000);
    platform::headless::run_until_idle();
    EXPECT_EQ(messages.size(), 2u);
    messages.clear();
    platform::headless::advance(299);
    platform::headless::run_until_idle();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(KillTimer(window_, 3));
    EXPECT_FALSE(KillTimer(window_, 3));
    platform::headless::advance(1000);
    platform::headless::run_until_idle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].wparam, 1u);
}

// The id SetTimer returns is the one WM_TIMER carries and KillTimer takes, for a window's timers and for
// thread timers alike, also when the caller asked for id 0.
TEST_F(window_test, the_returned_timer_id_is_the_one_that_fires_and_is_killed) {
    for (HWND owner : {window_, static_cast<HWND>(nullptr)}) {
        SCOPED_TRACE(owner ? "window timer" : "thread timer");
        const UINT_PTR taken = SetTimer(owner, 1, 100, nullptr);
        ASSERT_EQ(taken, 1u);
        const UINT_PTR first = SetTimer(owner, 0, 100, nullptr);
        const UINT_PTR second = SetTimer(owner, 0, 100, nullptr);
        EXPECT_NE(first, 0u);
        EXPECT_NE(second, 0u);
        EXPECT_NE(first, taken);
        EXPECT_NE(second, first);
        EXPECT_TRUE(KillTimer(owner, taken));
        EXPECT_TRUE(KillTimer(owner, second));
        messages.clear();
        platform::headless::advance(100);
        EXPECT_EQ(platform::headless::run_until_idle(), 1); // only the one still set
        if (owner) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_TIMER));
            EXPECT_EQ(messages[0].wparam, first);
        }
        EXPECT_TRUE(KillTimer(owner, first));
        EXPECT_FALSE(KillTimer(owner, 0));
        platform::headless::advance(1000);
        EXPECT_EQ(platform::headless::run_until_idle(), 0);
    }
}

TEST_F(window_test, paint_gets_the_union_of_invalid_rectangles_and_is_clipped_to_it) {
    paint_hook = [](HDC dc, const RECT&) {
        RECT all{0, 0, 64, 48};
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    };
    RECT a{2, 3, 5, 6}, b{10, 1, 12, 4};
    InvalidateRect(window_, &a, FALSE);
    InvalidateRect(window_, &b, FALSE);
    EXPECT_EQ(platform::headless::run_until_idle(), 1);
    EXPECT_EQ((std::vector<LONG>{last_paint.left, last_paint.top, last_paint.right, last_paint.bottom}),
              (std::vector<LONG>{2, 1, 12, 6}));
    int w = 0, h = 0;
    auto pixels = platform::headless::window_pixels(window_, w, h);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 48);
    EXPECT_EQ(pixels[1 * 64 + 2], 0xFF0000u);
    EXPECT_EQ(pixels[5 * 64 + 11], 0xFF0000u);
    EXPECT_EQ(pixels[6 * 64 + 2], 0u);
    EXPECT_EQ(pixels[1 * 64 + 12], 0u);
    // A posted WM_PAINT with nothing invalid paints an empty rectangle.
    PostMessageW(window_, WM_PAINT, 0, 0);
    platform::headless::run_until_idle();
    EXPECT_EQ(last_paint.right - last_paint.left, 0);
}

TEST_F(window_test, posting_and_invalidating_from_another_thread_wake_a_waiting_loop) {
    std::thread worker([this] {
        // Posted first: a loop woken between the two calls must still see the post before the paint.
        PostMessageW(window_, WM_USER + 1, 5, 6);
        InvalidateRect(window_, nullptr, FALSE);
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0)); // blocks until the worker has posted
    worker.join();
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_EQ(msg.wParam, 5u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageW(&msg);
    PostQuitMessage(3);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(window_test, the_shells_full_screen_call_reaches_the_display) {
    system_services& shell = system_services::current();
    EXPECT_EQ(shell.shell_full_screen(window_, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON), 1);
    EXPECT_TRUE(platform::headless::full_screen());
    EXPECT_EQ(shell.shell_full_screen(window_, SHFS_SHOWTASKBAR), 1);
    EXPECT_FALSE(platform::headless::full_screen());
    EXPECT_EQ(shell.shell_full_screen(nullptr, SHFS_HIDETASKBAR), 0);
    EXPECT_FALSE(platform::headless::full_screen());
}

TEST_F(window_test, minimising_reaches_the_display_and_the_window_still_paints) {
    const int before = platform::headless::minimised();
    EXPECT_TRUE(ShowWindow(window_, SW_MINIMIZE));
    EXPECT_EQ(platform::headless::minimised(), before + 1);
    // Still a shown window: an invalidation paints it, as the program's window does while minimised.
    messages.clear();
    InvalidateRect(window_, nullptr, FALSE);
    platform::headless::run_until_idle();
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_PAINT}));
    // An unknown window is refused and the display is left alone.
    EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(0x7770), SW_MINIMIZE));
    EXPECT_EQ(platform::headless::minimised(), before + 1);
}

TEST_F(window_test, keys_and_close_arrive_with_virtual_key_codes) {
    platform::headless::key_down(VK_RETURN);
    platform::headless::key_up(VK_UP);
    platform::headless::close_window();
    platform::headless::run_until_idle();
    ASSERT_EQ(kinds(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_CLOSE}));
    EXPECT_EQ(messages[0].wparam, 13u);
    EXPECT_EQ(messages[1].wparam, 38u);
}

TEST_F(window_test, message_boxes_are_logged_and_never_block) {
    EXPECT_EQ(MessageBoxW(window_, L"Error in WM_TIMER", L"WM_TIMER", MB_OK), IDOK);
    std::thread other(
        [] { EXPECT_EQ(MessageBoxW(nullptr, L"Error in manager_2::f_load", L"manager_2::f_load", MB_OK), IDOK); });
    other.join();
    auto boxes = platform::headless::message_boxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[boxes.size() - 2], L"WM_TIMER: Error in WM_TIMER");
    EXPECT_EQ(boxes.back(), L"manager_2::f_load: Error in manager_2::f_load");
}

// A display that shows message boxes, noting on which thread.
class box_display : public platform::headless_display {
public:
    bool can_show_boxes() override {
        return true;
    }
    bool message_box(const std::wstring& caption, const std::wstring& text, unsigned) override {
        shown.push_back({caption + L": " + text, std::this_thread::get_id()});
        return true;
    }
    std::vector<std::pair<std::wstring, std::thread::id>> shown;
};

// A worker's box must not wait for the UI thread, which may be waiting for that worker: the worker goes on at
// once, and the UI thread shows the box when it next takes a message.
TEST_F(window_test, a_workers_box_is_shown_by_the_ui_thread_without_holding_up_the_worker) {
    auto owned = std::make_unique<box_display>();
    box_display* display = owned.get();
    platform::window_system::instance().use_display(std::move(owned));

    std::thread worker(
        [] { EXPECT_EQ(MessageBoxW(nullptr, L"Failed to connect", L"Error", MB_OK | MB_ICONERROR), IDOK); });
    worker.join(); // the UI thread dispatches nothing until the worker is done
    EXPECT_TRUE(display->shown.empty());
    platform::headless::run_until_idle();
    ASSERT_EQ(display->shown.size(), 1u);
    EXPECT_EQ(display->shown[0].first, L"Error: Failed to connect");
    EXPECT_EQ(display->shown[0].second, std::this_thread::get_id());

    // The UI thread's own box shows inside the call.
    EXPECT_EQ(MessageBoxW(window_, L"Low battery", L"Power", MB_OK), IDOK);
    ASSERT_EQ(display->shown.size(), 2u);
    EXPECT_EQ(display->shown[1].first, L"Power: Low battery");

    platform::window_system::instance().use_display(std::make_unique<platform::headless_display>());
}

// The main window is told when it gains and loses the focus: first when it opens, then at each change, and
// when it is brought back to the front (the shell then applies full screen again).
TEST_F(window_test, focus_changes_send_wm_activate) {
    ASSERT_TRUE(DestroyWindow(window_));
    messages.clear();
    window_ = CreateWindowExW(0, L"PDACLIENT", L"Morvik", WS_VISIBLE, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    platform::headless::run_until_idle();
    ASSERT_EQ(kinds(), (std::vector<UINT>{WM_CREATE, WM_ACTIVATE, WM_PAINT}));
    EXPECT_EQ(messages[1].wparam, WA_ACTIVE);

    struct step {
        void (*act)(HWND);
        std::vector<WPARAM> activations;
    };
    const step steps[] = {
        {[](HWND) { platform::headless::focus(false); }, {WA_INACTIVE}},
        {[](HWND) { platform::headless::focus(false); }, {}},
        {[](HWND w) { SetForegroundWindow(w); }, {WA_ACTIVE}},
        {[](HWND) { platform::headless::focus(true); }, {}},
        {[](HWND) {
             platform::headless::focus(false);
             platform::headless::focus(true);
         },
         {WA_INACTIVE, WA_ACTIVE}},
    };
    for (const step& s : steps) {
        messages.clear();
        s.act(window_);
        platform::headless::run_until_idle();
        std::vector<WPARAM> seen;
        for (const auto& m : messages) {
            EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATE));
            seen.push_back(m.wparam);
        }
        EXPECT_EQ(seen, s.activations);
    }
}

// A new emulated screen size: every window takes it, is told by WM_SIZE and WM_SETTINGCHANGE before it
// repaints whole, and draws at the new size.
TEST_F(window_test, a_new_screen_size_resizes_windows_and_tells_them) {
    struct size_case {
        int width, height;
    };
    for (const size_case c : {size_case{80, 40}, size_case{32, 96}, size_case{64, 48}}) {
        messages.clear();
        platform::headless::start({c.width, c.height, 96});
        platform::headless::run_until_idle();
        ASSERT_EQ(kinds(), (std::vector<UINT>{WM_SIZE, WM_SETTINGCHANGE, WM_PAINT})) << c.width;
        EXPECT_EQ(messages[0].wparam, SIZE_RESTORED);
        EXPECT_EQ(LOWORD(messages[0].lparam), c.width);
        EXPECT_EQ(HIWORD(messages[0].lparam), c.height);
        EXPECT_EQ(messages[1].wparam, SPI_SETWORKAREA);
        EXPECT_EQ((std::vector<LONG>{last_paint.left, last_paint.top, last_paint.right, last_paint.bottom}),
                  (std::vector<LONG>{0, 0, c.width, c.height}));
        RECT client;
        ASSERT_TRUE(GetClientRect(window_, &client));
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
        int w = 0, h = 0;
        platform::headless::window_pixels(window_, w, h);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
    }
    // The same size again is no change.
    messages.clear();
    platform::headless::start({64, 48, 96});
    EXPECT_EQ(platform::headless::run_until_idle(), 0);
}

TEST_F(window_test, snapshot_of_a_painted_window) {
    paint_hook = [](HDC dc, const RECT&) {
        TRIVERTEX v[2] = {{0, 0, 67 << 8, 70 << 8, 75 << 8, 0}, {64, 48, 37 << 8, 38 << 8, 42 << 8, 0}};
        GRADIENT_RECT mesh{0, 1};
        GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(254, 220, 0));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, 2, 45, nullptr);
        LineTo(dc, 61, 2);
        SelectObject(dc, old);
        DeleteObject(pen);
        LOGFONTW lf{};
        lf.lfHeight = 16;
        lf.lfWeight = FW_BOLD;
        std::wcscpy(lf.lfFaceName, L"Tahoma");
        HFONT font = CreateFontIndirectW(&lf);
        old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT r{0, 0, 64, 48};
        DrawTextW(dc, L"Ок", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
    };
    InvalidateRect(window_, nullptr, FALSE);
    platform::headless::run_until_idle();
    int w = 0, h = 0;
    auto pixels = platform::headless::window_pixels(window_, w, h);
    EXPECT_EQ(test::compare_with_golden("window_paint", w, h, pixels), "");
    EXPECT_TRUE(platform::headless::save_png(window_, "window_paint.last.png"));
}

TEST(named_events, setting_the_activity_events_is_counted) {
    const int before = platform::event_set_count(L"BackLightChangeEvent");
    HANDLE a = CreateEventW(nullptr, FALSE, TRUE, L"BackLightChangeEvent");
    HANDLE b = CreateEventW(nullptr, FALSE, TRUE, L"BackLightChangeEvent");
    EXPECT_EQ(a, b);
    EXPECT_TRUE(EventModify(a, EVENT_SET));
    EXPECT_TRUE(EventModify(b, EVENT_SET));
    EXPECT_TRUE(EventModify(a, EVENT_RESET));
    EXPECT_EQ(platform::event_set_count(L"BackLightChangeEvent"), before + 2);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
    EXPECT_FALSE(CloseHandle(b));
    EXPECT_FALSE(EventModify(nullptr, EVENT_SET));
}

TEST(screen_setting, parses_width_height_and_dpi) {
    struct row {
        const char* text;
        bool ok;
        int w, h, dpi;
    };
    for (const row& r : {row{"480x800@192", true, 480, 800, 192}, row{"800x480@96", true, 800, 480, 96},
                         row{"800x480", false, 0, 0, 0}, row{"800x480@96x", false, 0, 0, 0},
                         row{"0x480@96", false, 0, 0, 0}, row{"abc", false, 0, 0, 0}, row{"", false, 0, 0, 0}}) {
        auto s = platform::parse_screen(r.text);
        ASSERT_EQ(s.has_value(), r.ok) << r.text;
        if (s) {
            EXPECT_EQ(s->width, r.w);
            EXPECT_EQ(s->height, r.h);
            EXPECT_EQ(s->dpi, r.dpi);
        }
    }
    platform::set_screen({800, 480, 96});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    ReleaseDC(nullptr, dc);
}

TEST(single_instance, a_second_claim_fails_and_asks_the_first_to_raise) {
    const std::string folder = std::filesystem::temp_directory_path() / ("morvik_instance_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::mutex m;
    std::condition_variable cv;
    int raises = 0;
    {
        platform::single_instance first(folder, "PDACLIENT", [&] {
            std::lock_guard<std::mutex> lock(m);
            ++raises;
            cv.notify_all();
        });
        ASSERT_TRUE(first.claim());
        platform::single_instance second(folder, "PDACLIENT", nullptr);
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(platform::single_instance::held_elsewhere(folder, "PDACLIENT"));
        EXPECT_TRUE(platform::single_instance::request_raise(folder, "PDACLIENT"));
        std::unique_lock<std::mutex> lock(m);
        EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return raises == 1; }));
    }
    EXPECT_FALSE(platform::single_instance::held_elsewhere(folder, "PDACLIENT"));
    EXPECT_FALSE(platform::single_instance::request_raise(folder, "PDACLIENT"));
    platform::single_instance third(folder, "PDACLIENT", nullptr);
    EXPECT_TRUE(third.claim());
    std::filesystem::remove_all(folder);
}

} // namespace
