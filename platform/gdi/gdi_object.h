// The objects behind GDI handles and the registry that tells live handles from stale or foreign ones.
//
// Every handle is the address of a gdi_object registered here; calls look the handle up (under the registry's
// lock) before touching it, so a deleted or made-up handle makes the call fail instead of crashing. An object
// counts the device-context states (current and saved) that hold it; DeleteObject of a held object only marks
// it, and the last release frees it.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/text.h"

namespace platform {

enum class gdi_kind { device_context, bitmap, pen, brush, font };

struct gdi_object {
    explicit gdi_object(gdi_kind k) : kind(k) {}
    virtual ~gdi_object() = default;

    gdi_kind kind;
    int holders = 0;
    bool stock = false;
    bool delete_pending = false;
};

struct bitmap_object : gdi_object {
    explicit bitmap_object(std::unique_ptr<surface> s) : gdi_object(gdi_kind::bitmap), pixels(std::move(s)) {}
    std::unique_ptr<surface> pixels;
};

struct pen_object : gdi_object {
    pen_object(int s, COLORREF c) : gdi_object(gdi_kind::pen), style(s), colour(c) {}
    int style;
    COLORREF colour;
};

struct brush_object : gdi_object {
    brush_object(bool n, COLORREF c) : gdi_object(gdi_kind::brush), null(n), colour(c) {}
    bool null;
    COLORREF colour;
};

struct font_object : gdi_object {
    explicit font_object(const LOGFONTW& lf) : gdi_object(gdi_kind::font), logfont(lf) {}
    LOGFONTW logfont;
};

struct dc_state {
    bitmap_object* bitmap = nullptr;
    pen_object* pen = nullptr;
    brush_object* brush = nullptr;
    font_object* font = nullptr;
    COLORREF text_colour = 0;
    COLORREF bk_colour = 0xFFFFFF;
    int bk_mode = OPAQUE;
    POINT position{0, 0};
    bool clipped = false;
    RECT clip{0, 0, 0, 0};
};

struct device_context : gdi_object {
    device_context() : gdi_object(gdi_kind::device_context) {}

    dc_state state;
    std::vector<dc_state> saved;
    // Window contexts: the window's client area, or the update rectangle of a paint; SaveDC does not touch it.
    bool has_base_clip = false;
    RECT base_clip{0, 0, 0, 0};
    bool memory = true;

    surface* target() const {
        return state.bitmap ? state.bitmap->pixels.get() : nullptr;
    }
    // Where drawing may land: the surface, cut by the base clip and the clip rectangle; empty without surface.
    RECT clip_box() const;
};

class gdi_registry {
public:
    static gdi_registry& instance();

    template <class T> T* adopt(std::unique_ptr<T> object) {
        std::lock_guard<std::mutex> lock(mutex_);
        T* raw = object.release();
        live_.insert(raw);
        return raw;
    }
    // The live object behind a handle, or null when the handle is not a live object of that kind.
    gdi_object* find(const void* handle);
    template <class T> T* find(const void* handle, gdi_kind kind) {
        gdi_object* o = find(handle);
        return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
    }
    device_context* find_dc(const void* handle) {
        return find<device_context>(handle, gdi_kind::device_context);
    }

    void hold(gdi_object* object);
    void release(gdi_object* object);
    void hold(const dc_state& s);
    void release(const dc_state& s);
    // Frees the object now, or when its last holder lets it go.
    bool destroy(gdi_object* object);

    // Stock objects and the 1 x 1 bitmap of a new memory context; never freed.
    gdi_object* stock(int index);
    bitmap_object* default_bitmap();
    // A fresh state with the default objects, already held.
    dc_state default_state();

private:
    gdi_registry();
    void free_locked(gdi_object* object);

    std::mutex mutex_;
    std::unordered_set<gdi_object*> live_;
    std::vector<gdi_object*> stock_;
    bitmap_object* default_bitmap_ = nullptr;
};

template <class H> device_context* dc_of(H handle) {
    return gdi_registry::instance().find_dc(handle);
}

// Window contexts are made by the window module, which owns the window surfaces.
HDC make_window_dc(bitmap_object* window_bitmap, const RECT* base_clip);

} // namespace platform
