#include "platform/window/window_system.h"

#include <cstdlib>

#include "platform/platform_log.h"
#include "platform/screen.h"
#include "platform/window/headless_display.h"
#include "platform/window/sdl_display.h"
#include "platform/window/shell_services.h"
#include "platform/window/single_instance.h"

namespace platform {

namespace {

HWND strip(HWND window) {
    return reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) & ~std::uintptr_t{1});
}

// Stands for the window of another running copy; never dereferenced.
alignas(8) char remote_window_tag;
HWND remote_window() {
    return reinterpret_cast<HWND>(&remote_window_tag);
}

std::string ascii_name(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ? static_cast<char>(c)
                                                                                                : '_';
    }
    return out;
}

} // namespace

std::string runtime_folder() {
    for (const char* name : {"MORVIK_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        if (const char* v = std::getenv(name); v && *v) {
            return v;
        }
    }
    return "/tmp";
}

window_system& window_system::instance() {
    static window_system* system = new window_system; // lives until the process ends, as windows do
    return *system;
}

display_backend& window_system::display() {
    std::lock_guard<std::recursive_mutex> lock(display_mutex_);
    if (!display_) {
        const char* choice = std::getenv("MORVIK_DISPLAY");
        if (!(choice && std::string(choice) == "headless")) {
            display_ = sdl_display::create();
        }
        if (!display_) {
            display_ = std::make_unique<headless_display>();
        }
        ui_thread_ = std::this_thread::get_id();
        shell_services::install();
    }
    return *display_;
}

void window_system::use_display(std::unique_ptr<display_backend> display) {
    std::lock_guard<std::recursive_mutex> lock(display_mutex_);
    display_ = std::move(display);
    ui_thread_ = std::this_thread::get_id();
    shell_services::install();
}

bool window_system::has_display() {
    std::lock_guard<std::recursive_mutex> lock(display_mutex_);
    return display_ != nullptr;
}

ATOM window_system::register_class(const WNDCLASSW& wc) {
    if (!wc.lpszClassName || !wc.lpfnWndProc) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto [it, added] = classes_.emplace(wc.lpszClassName, wc);
    if (!added) {
        return 0; // already registered, as the platform answers
    }
    return static_cast<ATOM>(0xC000 + classes_.size());
}

HWND window_system::create_window(LPCWSTR class_name, LPCWSTR title, DWORD style, HINSTANCE instance, void* param) {
    WNDCLASSW wc{};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = class_name ? classes_.find(class_name) : classes_.end();
        if (it == classes_.end()) {
            return nullptr;
        }
        wc = it->second;
    }
    const screen_size screen = current_screen();
    auto pixels = surface::create(screen.width, screen.height, 32, false);
    if (!pixels) {
        return nullptr;
    }
    auto w = std::make_unique<window_object>();
    w->class_name = class_name;
    w->title = title ? title : L"";
    w->proc = wc.lpfnWndProc;
    w->background = wc.hbrBackground;
    w->pixels = gdi_registry::instance().adopt(std::make_unique<bitmap_object>(std::move(pixels)));
    gdi_registry::instance().hold(w->pixels);
    if (auto* brush = gdi_registry::instance().find<brush_object>(wc.hbrBackground, gdi_kind::brush)) {
        const std::uint32_t colour = colour_to_pixel(brush->colour);
        for (int y = 0; y < screen.height; ++y) {
            w->pixels->pixels->fill(y, 0, screen.width, colour);
        }
    }
    HWND handle = reinterpret_cast<HWND>(w.get());
    display_backend& d = display();
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_[handle] = std::move(w);
        if (!main_) {
            main_ = handle;
            first = true;
        }
    }
    if (first) {
        if (d.shared()) {
            instance_ = std::make_unique<single_instance>(runtime_folder(), ascii_name(class_name),
                                                          [this] { raise_requested(); });
            instance_->claim();
        }
        d.open(screen.width, screen.height, title ? title : L"");
    }
    CREATESTRUCTW create{
        param, instance,   nullptr, nullptr, screen.height, screen.width, 0, 0, static_cast<LONG>(style),
        title, class_name, 0};
    if (call(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        destroy_window(handle);
        return nullptr;
    }
    if (style & WS_VISIBLE) {
        show(handle, true);
    }
    return handle;
}

bool window_system::destroy_window(HWND window) {
    window = strip(window);
    if (!find(window)) {
        return false;
    }
    call(window, WM_DESTROY, 0, 0);
    std::unique_ptr<window_object> gone;
    bool was_main = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(window);
        if (it == windows_.end()) {
            return false;
        }
        gone = std::move(it->second);
        windows_.erase(it);
        for (auto t = timers_.begin(); t != timers_.end();) {
            t = t->first.first == window ? timers_.erase(t) : std::next(t);
        }
        std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == window; });
        std::erase_if(input_, [&](const MSG& m) { return m.hwnd == window; });
        if (main_ == window) {
            main_ = nullptr;
            active_ = false;
            was_main = true;
        }
    }
    if (was_main) {
        display().close();
        instance_.reset();
    }
    gdi_registry::instance().release(gone->pixels);
    gdi_registry::instance().destroy(gone->pixels);
    return true;
}

window_object* window_system::find(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = windows_.find(strip(window));
    return it == windows_.end() ? nullptr : it->second.get();
}

bitmap_object* window_system::window_bitmap(HWND window) {
    window_object* w = find(window);
    return w ? w->pixels : nullptr;
}

HWND window_system::main_window() {
    std::lock_guard<std::mutex> lock(mutex_);
    return main_;
}

HWND window_system::find_window(LPCWSTR class_name, LPCWSTR title) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [handle, w] : windows_) {
            if ((!class_name || w->class_name == class_name) && (!title || w->title == title)) {
                return handle;
            }
        }
    }
    if (class_name && display().shared() && single_instance::held_elsewhere(runtime_folder(), ascii_name(class_name))) {
        std::lock_guard<std::mutex> lock(mutex_);
        remote_name_ = ascii_name(class_name);
        return remote_window();
    }
    return nullptr;
}

bool window_system::set_foreground(HWND window) {
    window = strip(window);
    if (window == remote_window()) {
        std::lock_guard<std::mutex> lock(mutex_);
        return single_instance::request_raise(runtime_folder(), remote_name_);
    }
    if (!find(window)) {
        return false;
    }
    if (window == main_window()) {
        display().raise();
    }
    return true;
}

bool window_system::minimise(HWND window) {
    window = strip(window);
    if (!find(window)) {
        return false;
    }
    if (window == main_window()) {
        display().minimise();
    }
    return true;
}

void window_system::raise_requested() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        raise_pending_ = true;
    }
    display().wake();
}

LRESULT window_system::call(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    window_object* w = find(window);
    if (!w || !w->proc) {
        return 0;
    }
    return w->proc(strip(window), message, wparam, lparam);
}

void window_system::post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_.push_back(MSG{strip(window), message, wparam, lparam, 0, {0, 0}});
    }
    if (has_display()) {
        display().wake();
    }
}

void window_system::input(UINT message, WPARAM wparam, LPARAM lparam) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!main_) {
            return;
        }
        input_.push_back(MSG{main_, message, wparam, lparam, 0, {LOWORD(lparam), HIWORD(lparam)}});
    }
    display().wake();
}

void window_system::activated(bool active) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!main_ || active_ == active) {
            return;
        }
        active_ = active;
        input_.push_back(MSG{main_, WM_ACTIVATE, static_cast<WPARAM>(active ? WA_ACTIVE : WA_INACTIVE), 0, 0, {0, 0}});
    }
    display().wake();
}

void window_system::screen_changed(const screen_size& screen) {
    bool any = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& [handle, w] : windows_) {
            const surface& old = *w->pixels->pixels;
            if (old.width() == screen.width && old.height() == screen.height) {
                continue;
            }
            auto pixels = surface::create(screen.width, screen.height, 32, false);
            if (!pixels) {
                log_line("no memory for a window of " + std::to_string(screen.width) + "x" +
                         std::to_string(screen.height));
                continue;
            }
            if (auto* brush = gdi_registry::instance().find<brush_object>(w->background, gdi_kind::brush)) {
                const std::uint32_t colour = colour_to_pixel(brush->colour);
                for (int y = 0; y < screen.height; ++y) {
                    pixels->fill(y, 0, screen.width, colour);
                }
            }
            w->pixels->pixels = std::move(pixels);
            w->invalid = true;
            w->erase = true;
            w->update = RECT{0, 0, screen.width, screen.height};
            const LPARAM size = MAKELPARAM(static_cast<unsigned>(screen.width), static_cast<unsigned>(screen.height));
            input_.push_back(MSG{handle, WM_SIZE, SIZE_RESTORED, size, 0, {0, 0}});
            input_.push_back(MSG{handle, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, 0, {0, 0}});
            any = true;
        }
    }
    if (any && has_display()) {
        display().resize(screen.width, screen.height);
        display().wake();
    }
}

bool window_system::ready_locked(std::uint64_t now) const {
    if (!posted_.empty() || !input_.empty() || !boxes_.empty() || raise_pending_) {
        return true;
    }
    for (const auto& [handle, w] : windows_) {
        if (w->visible && w->invalid) {
            return true;
        }
    }
    for (const auto& [key, t] : timers_) {
        if (t.due <= now) {
            return true;
        }
    }
    return false;
}

std::optional<std::uint64_t> window_system::next_due_locked() const {
    std::optional<std::uint64_t> due;
    for (const auto& [key, t] : timers_) {
        if (!due || t.due < *due) {
            due = t.due;
        }
    }
    return due;
}

bool window_system::next_message(MSG& msg, bool wait) {
    display_backend& d = display();
    for (;;) {
        show_boxes();
        d.poll();
        bool raise = false;
        std::optional<std::uint64_t> deadline;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const std::uint64_t now = d.now_ms();
            std::swap(raise, raise_pending_);
            if (!posted_.empty()) {
                msg = posted_.front();
                posted_.pop_front();
                msg.time = static_cast<DWORD>(now);
                return true;
            }
            if (!input_.empty()) {
                msg = input_.front();
                input_.pop_front();
                msg.time = static_cast<DWORD>(now);
                return true;
            }
            for (const auto& [handle, w] : windows_) {
                if (w->visible && w->invalid) {
                    msg = MSG{handle, WM_PAINT, 0, 0, static_cast<DWORD>(now), {0, 0}};
                    return true;
                }
            }
            auto due = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it) {
                if (it->second.due <= now && (due == timers_.end() || it->second.due < due->second.due)) {
                    due = it;
                }
            }
            if (due != timers_.end()) {
                // Counted from now: a late timer fires once, not once for every period it missed.
                due->second.due = now + due->second.period;
                msg = MSG{due->first.first, WM_TIMER, due->first.second, 0, static_cast<DWORD>(now), {0, 0}};
                return true;
            }
            deadline = next_due_locked();
        }
        if (raise) {
            d.raise();
            continue;
        }
        if (!wait) {
            return false;
        }
        d.wait(deadline);
    }
}

bool window_system::invalidate(HWND window, const RECT* rect, bool erase) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(strip(window));
        if (it == windows_.end()) {
            return false;
        }
        window_object& w = *it->second;
        const RECT all = w.pixels->pixels->bounds();
        const RECT r = rect ? intersect(*rect, all) : all;
        if (is_empty(r)) {
            return true;
        }
        if (!w.invalid) {
            w.update = r;
        } else {
            w.update = {std::min(w.update.left, r.left), std::min(w.update.top, r.top),
                        std::max(w.update.right, r.right), std::max(w.update.bottom, r.bottom)};
        }
        w.invalid = true;
        w.erase = w.erase || erase;
    }
    if (has_display()) {
        display().wake();
    }
    return true;
}

bool window_system::take_update(HWND window, RECT& update, bool& erase) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = windows_.find(strip(window));
    if (it == windows_.end()) {
        return false;
    }
    window_object& w = *it->second;
    update = w.invalid ? w.update : RECT{0, 0, 0, 0};
    erase = w.invalid && w.erase;
    w.invalid = false;
    w.erase = false;
    return true;
}

bool window_system::needs_paint(HWND window, bool& exists) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = windows_.find(strip(window));
    exists = it != windows_.end();
    return exists && it->second->visible && it->second->invalid;
}

bool window_system::show(HWND window, bool visible) {
    bool was = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(strip(window));
        if (it == windows_.end()) {
            return false;
        }
        was = it->second->visible;
        it->second->visible = visible;
    }
    if (visible && !was) {
        invalidate(window, nullptr, true);
    }
    return was;
}

UINT_PTR window_system::set_timer(HWND window, UINT_PTR id, UINT elapse_ms) {
    window = strip(window);
    if (window && !find(window)) {
        return 0;
    }
    display_backend& d = display();
    std::lock_guard<std::mutex> lock(mutex_);
    // Id 0 gets a free id of its own and is stored under it: returning any other id than the stored one would
    // leave a timer that KillTimer cannot stop.
    if (id == 0) {
        id = 1;
        while (timers_.count({window, id})) {
            ++id;
        }
    }
    const std::uint64_t period = std::max<UINT>(elapse_ms, USER_TIMER_MINIMUM);
    timers_[{window, id}] = timer{period, d.now_ms() + period};
    return id;
}

bool window_system::kill_timer(HWND window, UINT_PTR id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return timers_.erase({strip(window), id}) > 0;
}

int window_system::message_box(HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
    log_line("message box \"" + utf8_of(caption) + "\": " + utf8_of(text));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        box_log_.push_back(caption + L": " + text);
    }
    bool on_ui_thread;
    {
        std::lock_guard<std::recursive_mutex> lock(display_mutex_);
        if (!display_) {
            return IDOK; // no display yet: the log line is all there is
        }
        on_ui_thread = ui_thread_ == std::this_thread::get_id();
    }
    if (on_ui_thread) {
        show_box(text, caption, type);
        return IDOK;
    }
    if (!main_window() || !display().can_show_boxes()) {
        return IDOK;
    }
    // Another thread: the UI thread shows the box when it next takes a message, and this caller goes on at
    // once. Waiting for the box to close could wait for ever, as the UI thread may itself be waiting for this
    // thread; every box the program shows reports an error and needs no answer.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(box_request{text, caption, type});
    }
    display().wake();
    return IDOK;
}

void window_system::show_boxes() {
    for (;;) {
        box_request request;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (boxes_.empty()) {
                return;
            }
            request = std::move(boxes_.front());
            boxes_.pop_front();
        }
        show_box(request.text, request.caption, request.type);
    }
}

void window_system::show_box(const std::wstring& text, const std::wstring& caption, UINT type) {
    display().message_box(caption, text, type);
}

std::vector<std::wstring> window_system::message_box_log() {
    std::lock_guard<std::mutex> lock(mutex_);
    return box_log_;
}

} // namespace platform
