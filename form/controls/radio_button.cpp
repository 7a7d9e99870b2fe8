#include "form/controls/radio_button.h"

#include "form/controls/radio_group.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/graphics.h"

namespace zel::form {

radio_button::radio_button(manager_2* form, const rect& r, std::function<void()> on_select, radio_group* group)
    : button(form, r, nullptr), group_(group), on_select_(std::move(on_select)) {
    on_click_ = [this] { select(); };
    if (group_) {
        group_->add(this);
    }
}

void radio_button::select() {
    set_checked(true);
}

void radio_button::set_checked(bool checked) {
    if (checked && checked_) {
        return;
    }
    if (checked) {
        checked_ = true;
        if (group_) {
            group_->select(this);
            // The design ran on_select untested: an empty one threw from the pen handler.
            if (on_select_) {
                on_select_();
            }
        }
    } else {
        checked_ = false;
    }
    invalidate();
}

void radio_button::paint(Graphics& g, const rect&, int, int) {
    if (visible_) {
        g.fill_rect(rect_, brush_holder(checked_ ? rgb{248, 245, 17} : rgb{26, 94, 187}));
    }
}

} // namespace zel::form
