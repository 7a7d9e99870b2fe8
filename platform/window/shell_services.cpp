#include "platform/window/shell_services.h"

#include "platform/window/window_system.h"

namespace platform {

void shell_services::install() {
    static shell_services services;
    system_services::install(&services);
}

int shell_services::shell_full_screen(void* window, uint32_t flags) {
    if (!window_system::instance().find(static_cast<HWND>(window))) {
        return 0;
    }
    if (flags & SHFS_HIDETASKBAR) {
        window_system::instance().display().set_full_screen(true);
    } else if (flags & SHFS_SHOWTASKBAR) {
        window_system::instance().display().set_full_screen(false);
    }
    return 1;
}

} // namespace platform
