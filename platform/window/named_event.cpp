#include "platform/named_event.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/window/window_system.h"

namespace {

struct event_object {
    std::wstring name;
    bool manual_reset;
    bool signalled;
    int handles = 0;
};

struct event_table {
    std::mutex mutex;
    std::set<event_object*> live;
    std::map<std::wstring, event_object*> named;
    std::map<std::wstring, int> set_counts;
};

event_table& table() {
    static event_table* t = new event_table;
    return *t;
}

bool counts_as_activity(const std::wstring& name) {
    return name == L"BackLightChangeEvent" || name == L"PowerManager/ReloadActivityTimeouts";
}

} // namespace

HANDLE CreateEventW(void*, BOOL manual_reset, BOOL initial_state, LPCWSTR name) {
    event_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (name && *name) {
        if (auto it = t.named.find(name); it != t.named.end()) {
            ++it->second->handles;
            return it->second;
        }
    }
    auto* e = new event_object{name ? name : L"", manual_reset != FALSE, initial_state != FALSE, 1};
    t.live.insert(e);
    if (!e->name.empty()) {
        t.named[e->name] = e;
    }
    return e;
}

BOOL EventModify(HANDLE handle, DWORD action) {
    bool activity = false;
    {
        event_table& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        auto* e = static_cast<event_object*>(handle);
        if (!t.live.count(e)) {
            return FALSE;
        }
        switch (action) {
        case EVENT_SET:
        case EVENT_PULSE:
            e->signalled = action == EVENT_SET;
            if (!e->name.empty()) {
                ++t.set_counts[e->name];
            }
            activity = counts_as_activity(e->name);
            break;
        case EVENT_RESET:
            e->signalled = false;
            break;
        default:
            return FALSE;
        }
    }
    if (activity) {
        auto& ws = platform::window_system::instance();
        if (ws.has_display()) {
            ws.display().user_activity();
        }
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    event_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto* e = static_cast<event_object*>(handle);
    if (!t.live.count(e)) {
        return FALSE;
    }
    if (--e->handles == 0) {
        t.live.erase(e);
        if (!e->name.empty()) {
            t.named.erase(e->name);
        }
        delete e;
    }
    return TRUE;
}

namespace platform {

int event_set_count(const std::wstring& name) {
    event_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.set_counts.find(name);
    return it == t.set_counts.end() ? 0 : it->second;
}

} // namespace platform
