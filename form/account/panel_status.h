// The status strip across the top of every screen but the logo. It has no id on the stack; the manager shows
// it at every panel switch, hands it every command after the current panel, and gives it the pen first.
// UI thread only.
#pragma once

#include "form/panel_base.h"

namespace zel::form {

class manager_2;

class panel_status : public panel_base {
public:
    explicit panel_status(manager_2& form) : form_(form) {}

    int panel_id() const override {
        return 1;
    }
    void paint_background(Graphics& g, const rect& update) override;

private:
    manager_2& form_;
};

} // namespace zel::form
