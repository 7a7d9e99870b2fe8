#pragma once
#include "platform/gdi/gdi_object.h"
namespace platform {
class window_system {
public:
    static window_system& instance();
    bitmap_object* window_bitmap(HWND window);
};
} // namespace platform
