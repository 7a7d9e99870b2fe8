// icon_button: an image_button with an icon centred over it and a grey caption under the icon's height.
// UI thread only.
#pragma once

#include <string>

#include "form/controls/image_button.h"

namespace zel::form {

class icon_button : public image_button {
public:
    icon_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                std::shared_ptr<Image> pressed, std::shared_ptr<Image> icon, std::wstring caption);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

private:
    std::shared_ptr<Image> icon_;
    std::wstring caption_;
};

} // namespace zel::form
