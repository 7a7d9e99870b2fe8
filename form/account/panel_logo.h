// The start-up screen (panel 0): shown by the manager's start while its load thread reads the skin, so it
// uses neither the skin images nor other panels' rectangles. When the login-server exchange is over
// ("disconnect_global") it replaces the stack with the main menu. UI thread only.
#pragma once

#include <string>

#include "form/panel_base.h"

namespace zel::form {

class manager_2;

class panel_logo : public panel_base {
public:
    panel_logo(manager_2& form, std::wstring version_text);

    int panel_id() const override {
        return 0;
    }
    void show(const panel_param* param) override;
    void on_command(const zel_api::update_mask& mask) override;

    const std::wstring& version_text() const {
        return version_text_;
    }

private:
    manager_2& form_;
    std::wstring version_text_;
    // Set while an offered update is being asked about or downloaded: the stack then stays.
    bool updating_ = false;
};

} // namespace zel::form
