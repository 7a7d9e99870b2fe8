// button: a touch area with a click callback; it draws nothing itself (a picture under it is the panel's).
// The other buttons derive from it and keep its pen rule. UI thread only.
//
// Press (pen rule of point_in_rect: left and top edges outside, right and bottom edges inside):
//   state     event (enabled)           -> state     effect
//   released  down inside               -> pressed   repaint
//   released  down outside              -> released  nothing
//   pressed   up inside                 -> released  on_click (run while still pressed), then repaint
//   pressed   up outside                -> released  repaint
//   released  up anywhere               -> released  repaint
//   any       down or up while disabled -> unchanged nothing (a pressed button stays pressed)
#pragma once

#include <functional>

#include "form/controls/control.h"

namespace zel::form {

class button : public control {
public:
    button(manager_2* form, const rect& r, std::function<void()> on_click);

    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;

    bool is_pressed() const {
        return pressed_;
    }

protected:
    bool pressed_ = false;
    std::function<void()> on_click_;
};

} // namespace zel::form
