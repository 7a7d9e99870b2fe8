// The main menu (panel 2), also the panel of every id without a screen of its own. UI thread only.
#pragma once

#include "form/panel_base.h"

namespace zel::form {

class manager_2;

class panel_master_panel_2 : public panel_base {
public:
    explicit panel_master_panel_2(manager_2& form) : form_(form) {}

    int panel_id() const override {
        return 2;
    }
    void paint_background(Graphics& g, const rect& update) override;

private:
    manager_2& form_;
};

} // namespace zel::form
