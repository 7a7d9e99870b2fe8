// The shell's window functions (extra controls, full screen, activation and setting changes), reached through
// the installed system services. Without a shell backend every operation returns 0 and does nothing, as on a
// device without the shell library; the window works either way.
#pragma once

#include <cstdint>

namespace zel {

class aygshell {
public:
    // The process-wide holder, created on first use and never destroyed.
    static aygshell* instance();

    int init_extra_controls();
    // flags are the shell's SHFS_ bits (show or hide the task bar, the input-panel button, the start icon).
    int full_screen(void* window, uint32_t flags);
    int handle_wm_activate(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info, uint32_t flags);
    int handle_wm_setting_change(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info);

private:
    aygshell() = default;
};

} // namespace zel
