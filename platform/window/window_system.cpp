#include "platform/window/window_system.h"
namespace platform {
window_system& window_system::instance() {
    static window_system s;
    return s;
}
bitmap_object* window_system::window_bitmap(HWND) {
    return nullptr;
}
} // namespace platform
