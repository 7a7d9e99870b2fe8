// panel_take_shift_hor: the take-shift screen on a landscape screen. The card fills the left part, the two
// buttons stand one above the other in the right part, and a two-line divider parts them; everything else is
// panel_take_shift's. UI thread only.
#pragma once

#include "form/account/panel_take_shift.h"

namespace zel::form {

class panel_take_shift_hor : public panel_take_shift {
public:
    explicit panel_take_shift_hor(manager_2& form);
    ~panel_take_shift_hor() override;

    // The card's part and the buttons' part in their two shades.
    void paint_background(Graphics& g, const rect& update) override;

protected:
    layout_rects place(float scale) const override;
    void add_extra_controls() override;

private:
    // The card's part and the buttons' part of the work rectangle.
    rect left_part(float scale) const;
    rect right_part(float scale) const;
};

} // namespace zel::form
