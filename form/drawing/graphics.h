// Graphics: a drawing surface for panels and controls — the manager's back buffer (a memory device context
// with a bitmap of its own) or, borrowed, a device context that someone else owns. It offers the few drawing
// operations the screens use, each a thin GDI call with GDI's edge rules (right and bottom exclusive, a line
// leaves its end pixel), except fill_rect, which covers one pixel more to the right and below, as every
// panel's layout expects. One thread draws on a surface at a time; the object takes no locks.
#pragma once

#include <string>

#include "form/drawing/geometry.h"

namespace zel::form {

class font_holder;
class brush_holder;

class Graphics {
public:
    // An off-screen surface compatible with source (null: the screen), width x height, black.
    Graphics(int width, int height, HDC source);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Draws on a device context that stays its owner's (a window's, a test canvas): nothing is freed.
    static Graphics borrow(HDC dc, int width, int height);

    HDC dc() const {
        return dc_;
    }
    int width() const {
        return width_;
    }
    int height() const {
        return height_;
    }

    // Copies the surface's (0, 0, w, h) to (r.x, r.y) of the target.
    void blit_to_dc(HDC target, const rect& r) const;
    // Copies (source_x, source_y, w, h) of this surface to (r.x, r.y) of the target.
    void blit_to(Graphics& target, const rect& r, int source_x, int source_y) const;

    // Background mode TRANSPARENT (1) or OPAQUE (2); the DC's font, mode and colour are restored afterwards.
    void draw_text(const font_holder& font, const rect& r, const wchar_t* text, UINT flags, int background_mode,
                   const rgb& colour);
    void draw_text(const font_holder& font, const rect& r, const std::wstring& text, UINT flags, int background_mode,
                   const rgb& colour) {
        draw_text(font, r, text.c_str(), flags, background_mode, colour);
    }
    // Fills (x, y) to (x + w, y + h) inclusive: one pixel wider and higher than the rectangle.
    void fill_rect(const rect& r, const brush_holder& brush);
    // Mode GRADIENT_FILL_RECT_H (0) or _V (1) from first to last inclusive; the first colour at the left or top.
    void gradient_fill(point first, point last, const rgb& first_colour, const rgb& second_colour, int mode);
    void set_pixel(point p, const rgb& colour);
    // A one-pixel line in the pen's colour; the end point is not drawn. The caller owns the pen.
    void draw_line(point from, point to, HPEN pen);

    void save();
    void restore();
    // Narrows the clip to the rectangle until the next restore.
    void clip_to(const rect& r);

    // Saves the surface's state and restores it when it goes out of scope, also when the drawing between
    // throws: a clip left behind would narrow every later paint of the back buffer.
    class saved_state {
    public:
        explicit saved_state(Graphics& g) : g_(g) {
            g_.save();
        }
        ~saved_state() {
            g_.restore();
        }
        saved_state(const saved_state&) = delete;
        saved_state& operator=(const saved_state&) = delete;

    private:
        Graphics& g_;
    };

private:
    struct borrowed_tag {};
    Graphics(borrowed_tag, HDC dc, int width, int height);

    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    bool borrowed_ = false;
};

} // namespace zel::form
