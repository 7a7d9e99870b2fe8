// Window device contexts.
#include "platform/gdi/gdi_object.h"
#include "platform/window/window_system.h"

using namespace platform;

HDC GetDC(HWND window) {
    if (!window) {
        return make_window_dc(nullptr, nullptr);
    }
    bitmap_object* pixels = window_system::instance().window_bitmap(window);
    return pixels ? make_window_dc(pixels, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC dc) {
    device_context* context = dc_of(dc);
    if (!context || context->memory) {
        return 0;
    }
    return DeleteDC(dc);
}
