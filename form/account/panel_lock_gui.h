// The busy overlay (id -1, never on the stack): shown at the GUI lock's first level, hidden at its last, and
// painted over everything in between; input is ignored meanwhile, so it takes none. Its background leaves
// the screen below as it is. UI thread only.
#pragma once

#include "form/panel_base.h"

namespace zel::form {

class manager_2;

class panel_lock_gui : public panel_base {
public:
    explicit panel_lock_gui(manager_2& form) : form_(form) {}

    int panel_id() const override {
        return -1;
    }
    void paint_background(Graphics&, const rect&) override {}

private:
    manager_2& form_;
};

} // namespace zel::form
