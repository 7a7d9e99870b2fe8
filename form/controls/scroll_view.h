// scroll_view: a clipped window over a column of controls taller than itself. Children are placed in the
// view's own frame ((0, 0) its top-left corner), painted in the order added, and belong to whoever made them.
// One step is 40 x scale pixels; the view does not clamp — its owner asks can_scroll_up / can_scroll_down
// first. Always enabled; takes no input itself. UI thread only.
#pragma once

#include <vector>

#include "form/controls/control.h"

namespace zel::form {

class scroll_view : public control {
public:
    scroll_view(manager_2* form, const rect& r) : control(form, r) {}

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    bool is_enabled() const override {
        return true;
    }
    void set_enabled(bool) override {}

    // Content down by a step (offset up) and up by a step; both repaint.
    virtual void scroll_up();
    virtual void scroll_down();
    virtual bool can_scroll_up() const;
    virtual bool can_scroll_down() const;
    virtual int content_height() const;
    virtual void add(control* child);
    // Shows and enables each button while the view can scroll its way, hides and disables it otherwise.
    void show_scroll_buttons(control& up, control& down) const;

    int offset() const {
        return offset_;
    }

private:
    int step() const;

    std::vector<control*> children_;
    int offset_ = 0;
};

} // namespace zel::form
