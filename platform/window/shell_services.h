// The shell's full-screen call backed by the window system's display: hiding the task bar fills the display
// with the window, showing it makes an ordinary window again. The other optional services stay absent.
#pragma once

#include "platform/system_services.h"

namespace platform {

class shell_services : public system_services {
public:
    // Installs the process-wide instance (the window system does it when it makes its display).
    static void install();

    int shell_full_screen(void* window, uint32_t flags) override;
};

} // namespace platform
