// Device contexts, object creation, selection, deletion and the state stack.
#include <cstring>

#include "platform/gdi/gdi_object.h"
#include "platform/screen.h"

namespace platform {

RECT device_context::clip_box() const {
    const surface* s = target();
    if (!s) {
        return {0, 0, 0, 0};
    }
    RECT r = s->bounds();
    if (has_base_clip) {
        r = intersect(r, base_clip);
    }
    if (state.clipped) {
        r = intersect(r, state.clip);
    }
    return r;
}

gdi_registry& gdi_registry::instance() {
    static gdi_registry* registry = new gdi_registry; // never destroyed: handles may outlive static teardown
    return *registry;
}

gdi_registry::gdi_registry() {
    stock_.assign(SYSTEM_FONT + 1, nullptr);
    auto make = [this](int index, gdi_object* o) {
        o->stock = true;
        stock_[index] = o;
        live_.insert(o);
    };
    make(WHITE_BRUSH, new brush_object(false, RGB(255, 255, 255)));
    make(BLACK_BRUSH, new brush_object(false, RGB(0, 0, 0)));
    make(NULL_BRUSH, new brush_object(true, 0));
    make(WHITE_PEN, new pen_object(PS_SOLID, RGB(255, 255, 255)));
    make(BLACK_PEN, new pen_object(PS_SOLID, RGB(0, 0, 0)));
    make(NULL_PEN, new pen_object(PS_NULL, 0));
    LOGFONTW system{};
    system.lfHeight = 16;
    system.lfWeight = FW_NORMAL;
    std::wcscpy(system.lfFaceName, L"Tahoma");
    make(SYSTEM_FONT, new font_object(system));
    default_bitmap_ = new bitmap_object(surface::create(1, 1, 32, false));
    default_bitmap_->stock = true;
    live_.insert(default_bitmap_);
}

gdi_object* gdi_registry::find(const void* handle) {
    if (!handle) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = live_.find(static_cast<gdi_object*>(const_cast<void*>(handle)));
    if (it == live_.end() || (*it)->delete_pending) {
        return nullptr;
    }
    return *it;
}

void gdi_registry::hold(gdi_object* object) {
    if (object) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++object->holders;
    }
}

void gdi_registry::release(gdi_object* object) {
    if (!object) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (--object->holders == 0 && object->delete_pending) {
        free_locked(object);
    }
}

void gdi_registry::hold(const dc_state& s) {
    hold(s.bitmap);
    hold(s.pen);
    hold(s.brush);
    hold(s.font);
}

void gdi_registry::release(const dc_state& s) {
    release(s.bitmap);
    release(s.pen);
    release(s.brush);
    release(s.font);
}

bool gdi_registry::destroy(gdi_object* object) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!live_.count(object) || object->delete_pending) {
        return false;
    }
    if (object->stock) {
        return true;
    }
    object->delete_pending = true;
    if (object->holders == 0) {
        free_locked(object);
    }
    return true;
}

void gdi_registry::free_locked(gdi_object* object) {
    live_.erase(object);
    delete object;
}

gdi_object* gdi_registry::stock(int index) {
    if (index < 0 || index >= static_cast<int>(stock_.size())) {
        return nullptr;
    }
    return stock_[index];
}

bitmap_object* gdi_registry::default_bitmap() {
    return default_bitmap_;
}

dc_state gdi_registry::default_state() {
    dc_state s;
    s.bitmap = default_bitmap_;
    s.pen = static_cast<pen_object*>(stock_[BLACK_PEN]);
    s.brush = static_cast<brush_object*>(stock_[WHITE_BRUSH]);
    s.font = static_cast<font_object*>(stock_[SYSTEM_FONT]);
    hold(s);
    return s;
}

HDC make_window_dc(bitmap_object* window_bitmap, const RECT* base_clip) {
    auto& registry = gdi_registry::instance();
    auto dc = std::make_unique<device_context>();
    dc->state = registry.default_state();
    dc->memory = false;
    if (window_bitmap) {
        registry.release(dc->state.bitmap);
        dc->state.bitmap = window_bitmap;
        registry.hold(window_bitmap);
    } else {
        // A context of no window measures text and reports the device; it has nothing to draw on.
        registry.release(dc->state.bitmap);
        dc->state.bitmap = nullptr;
    }
    if (base_clip) {
        dc->has_base_clip = true;
        dc->base_clip = *base_clip;
    }
    return reinterpret_cast<HDC>(registry.adopt(std::move(dc)));
}

} // namespace platform

using namespace platform;

HDC CreateCompatibleDC(HDC) {
    auto& registry = gdi_registry::instance();
    auto dc = std::make_unique<device_context>();
    dc->state = registry.default_state();
    return reinterpret_cast<HDC>(registry.adopt(std::move(dc)));
}

BOOL DeleteDC(HDC handle) {
    auto& registry = gdi_registry::instance();
    device_context* dc = registry.find_dc(handle);
    if (!dc) {
        return FALSE;
    }
    registry.release(dc->state);
    for (const dc_state& s : dc->saved) {
        registry.release(s);
    }
    dc->state = {};
    dc->saved.clear();
    return registry.destroy(dc) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC handle, int index) {
    if (!dc_of(handle)) {
        return 0;
    }
    if (index == LOGPIXELSX || index == LOGPIXELSY) {
        return current_screen().dpi;
    }
    return 0;
}

int SaveDC(HDC handle) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return 0;
    }
    gdi_registry::instance().hold(dc->state);
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int saved) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return FALSE;
    }
    const int depth = static_cast<int>(dc->saved.size());
    const int target = saved < 0 ? depth + saved + 1 : saved; // the level to bring back, 1-based
    if (target < 1 || target > depth) {
        return FALSE;
    }
    auto& registry = gdi_registry::instance();
    registry.release(dc->state);
    dc->state = dc->saved[target - 1];
    for (int i = target; i < depth; ++i) {
        registry.release(dc->saved[i]);
    }
    dc->saved.resize(target - 1);
    return TRUE;
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return ERROR;
    }
    const RECT r{left, top, right, bottom};
    dc->state.clip = dc->state.clipped ? intersect(dc->state.clip, r) : (is_empty(r) ? RECT{0, 0, 0, 0} : r);
    dc->state.clipped = true;
    return is_empty(dc->clip_box()) ? NULLREGION : SIMPLEREGION;
}

int GetClipBox(HDC handle, RECT* rect) {
    device_context* dc = dc_of(handle);
    if (!dc || !rect) {
        return ERROR;
    }
    *rect = dc->clip_box();
    return is_empty(*rect) ? NULLREGION : SIMPLEREGION;
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
    if (!dc_of(handle) || width < 0 || height < 0) {
        return nullptr;
    }
    // An empty size gives the smallest bitmap, as a zero-sized one cannot be selected usefully.
    auto pixels = surface::create(width == 0 ? 1 : width, height == 0 ? 1 : height, 32, false);
    if (!pixels) {
        return nullptr;
    }
    return reinterpret_cast<HBITMAP>(
        gdi_registry::instance().adopt(std::make_unique<bitmap_object>(std::move(pixels))));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) {
        *bits = nullptr;
    }
    if (!info || usage != DIB_RGB_COLORS || info->bmiHeader.biCompression != BI_RGB || info->bmiHeader.biPlanes != 1 ||
        info->bmiHeader.biHeight == INT32_MIN) {
        return nullptr;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    auto pixels = surface::create(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount, h.biHeight > 0);
    if (!pixels) {
        return nullptr;
    }
    void* start = pixels->bits();
    auto* bitmap = gdi_registry::instance().adopt(std::make_unique<bitmap_object>(std::move(pixels)));
    if (bits) {
        *bits = start;
    }
    return reinterpret_cast<HBITMAP>(bitmap);
}

HPEN CreatePen(int style, int, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL) {
        style = PS_SOLID; // dashes are drawn solid: the program draws only solid lines
    }
    return reinterpret_cast<HPEN>(gdi_registry::instance().adopt(std::make_unique<pen_object>(style, colour)));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return reinterpret_cast<HBRUSH>(
        gdi_registry::instance().adopt(std::make_unique<brush_object>(false, colour & 0xFFFFFF)));
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) {
        return nullptr;
    }
    return reinterpret_cast<HFONT>(gdi_registry::instance().adopt(std::make_unique<font_object>(*font)));
}

HGDIOBJ GetStockObject(int index) {
    return gdi_registry::instance().stock(index);
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    auto& registry = gdi_registry::instance();
    device_context* dc = registry.find_dc(handle);
    gdi_object* o = registry.find(object);
    if (!dc || !o) {
        return nullptr;
    }
    auto swap = [&](auto*& slot, auto* next) -> HGDIOBJ {
        auto* old = slot;
        registry.hold(next);
        slot = next;
        registry.release(old);
        return old;
    };
    switch (o->kind) {
    case gdi_kind::bitmap:
        if (!dc->memory) {
            return nullptr; // only memory contexts take bitmaps
        }
        return swap(dc->state.bitmap, static_cast<bitmap_object*>(o));
    case gdi_kind::pen:
        return swap(dc->state.pen, static_cast<pen_object*>(o));
    case gdi_kind::brush:
        return swap(dc->state.brush, static_cast<brush_object*>(o));
    case gdi_kind::font:
        return swap(dc->state.font, static_cast<font_object*>(o));
    case gdi_kind::device_context:
        break;
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    auto& registry = gdi_registry::instance();
    gdi_object* o = registry.find(object);
    if (!o || o->kind == gdi_kind::device_context) {
        return FALSE;
    }
    return registry.destroy(o) ? TRUE : FALSE;
}

int SetBkMode(HDC handle, int mode) {
    device_context* dc = dc_of(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    int old = dc->state.bk_mode;
    dc->state.bk_mode = mode;
    return old;
}

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF old = dc->state.text_colour;
    dc->state.text_colour = colour & 0xFFFFFF;
    return old;
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF old = dc->state.bk_colour;
    dc->state.bk_colour = colour & 0xFFFFFF;
    return old;
}
