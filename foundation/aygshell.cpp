#include "foundation/aygshell.h"

#include "platform/system_services.h"

namespace zel {

aygshell* aygshell::instance() {
    static aygshell* const holder = new aygshell();
    return holder;
}

int aygshell::init_extra_controls() {
    return system_services::current().shell_init_extra_controls();
}

int aygshell::full_screen(void* window, uint32_t flags) {
    return system_services::current().shell_full_screen(window, flags);
}

int aygshell::handle_wm_activate(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info, uint32_t flags) {
    return system_services::current().shell_handle_wm_activate(window, wparam, lparam, activate_info, flags);
}

int aygshell::handle_wm_setting_change(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info) {
    return system_services::current().shell_handle_wm_setting_change(window, wparam, lparam, activate_info);
}

} // namespace zel
