// line_control: a one-pixel line from the rectangle's corner (x, y) to (x + w, y + h), end pixel not drawn,
// so a rectangle of height 0 or width 0 is a horizontal or vertical line. Always visible and enabled. UI
// thread only.
#pragma once

#include "form/controls/control.h"

namespace zel::form {

class line_control : public control {
public:
    line_control(manager_2* form, const rect& r, unsigned rrggbb);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    bool is_visible() const override {
        return true;
    }
    bool is_enabled() const override {
        return true;
    }
    void set_visible(bool) override {}
    void set_enabled(bool) override {}

private:
    unsigned colour_;
};

} // namespace zel::form
