// The root of every child control of a panel: its rectangle, the visible and enabled flags, the form (the
// panel manager, not owned) and the pen and paint handlers that the panel calls. A panel owns its controls
// and lists them (panel_base); controls run on the UI thread only and take no locks.
//
// `drawable` is the painting side: paint with the update rectangle and an offset (dx, dy) that a scrolling
// container adds to the control's position (0, 0 from a panel), and the control's rectangle.
#pragma once

#include "form/drawing/geometry.h"

namespace zel::form {

class Graphics;
class manager_2;

class drawable {
public:
    virtual ~drawable() = default;
    virtual void paint(Graphics& g, const rect& update, int dx, int dy) = 0;
    virtual const rect& get_rect() const = 0;
};

class control : public drawable {
public:
    control(manager_2* form, const rect& r) : form_(form), rect_(r) {}
    ~control() override = default;
    control(const control&) = delete;
    control& operator=(const control&) = delete;

    // The root takes no input.
    virtual void on_pen_up(int x, int y);
    virtual void on_pen_down(int x, int y);

    virtual bool is_visible() const {
        return visible_;
    }
    virtual bool is_enabled() const {
        return enabled_;
    }
    // Store the flag and ask for a repaint of the control's rectangle.
    virtual void set_visible(bool visible);
    virtual void set_enabled(bool enabled);
    // Stores the rectangle; no repaint is asked for.
    virtual void set_rect(const rect& r) {
        rect_ = r;
    }

    // The rectangle of the buttons and labels, and of the image, line, text, box and list controls: one field
    // here, named twice for the callers that the two families have.
    rect& get_rect_b() {
        return rect_;
    }
    rect& get_rect_c() {
        return rect_;
    }
    const rect& get_rect() const override {
        return rect_;
    }
    // The root draws nothing.
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    manager_2* form() const {
        return form_;
    }

protected:
    // Asks the form for a repaint of the rectangle (nothing without a form).
    void invalidate();

    manager_2* form_;
    rect rect_;
    bool visible_ = true;
    bool enabled_ = true;
};

} // namespace zel::form
