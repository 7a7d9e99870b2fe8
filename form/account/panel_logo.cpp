#include "form/account/panel_logo.h"

#include "form/manager_2.h"

namespace zel::form {

panel_logo::panel_logo(manager_2& form, std::wstring version_text)
    : form_(form), version_text_(std::move(version_text)) {}

void panel_logo::show(const panel_param*) {
    updating_ = false;
}

void panel_logo::on_command(const zel_api::update_mask& mask) {
    if (mask.test(L"obj-update")) {
        return;
    }
    if (mask.test(L"disconnect_global") && !updating_) {
        form_.reset_to_panel(manager_2::master_id);
    }
}

} // namespace zel::form
