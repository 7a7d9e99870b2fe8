// radio_button: a button with a checked state; a completed tap checks it. In a group, becoming checked
// unchecks the others first, then runs on_select (an empty on_select does nothing). Painted as a flat yellow
// (checked) or blue box; its kin draw richer faces. UI thread only.
//
// set_checked:
//   checked  v      -> checked  effect
//   true     true   -> true     nothing
//   false    true   -> true     group unchecks the others, on_select (in a group), repaint
//   any      false  -> false    repaint
#pragma once

#include <functional>

#include "form/controls/button.h"

namespace zel::form {

class radio_group;

class radio_button : public button {
public:
    radio_button(manager_2* form, const rect& r, std::function<void()> on_select, radio_group* group);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    virtual void select();
    void set_checked(bool checked);
    bool is_checked() const {
        return checked_;
    }

protected:
    bool checked_ = false;
    radio_group* group_;
    std::function<void()> on_select_;
};

} // namespace zel::form
