// menu_button: a main-menu cell. Black (yellow while pressed), its picture centred — the normal one while
// enabled, the disabled one otherwise — and the caption near its bottom in white, or grey when disabled.
// Without the chosen picture only the fill is drawn. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/button.h"

namespace zel::form {

class Image;

class menu_button : public button {
public:
    menu_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                std::shared_ptr<Image> disabled, std::wstring caption);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // The caption's rectangle: one "Навигатор" line high, its top 1.5 lines above the cell's bottom.
    rect caption_rect() const;

protected:
    // The picture that paint shows in the current state; null or empty when it shows only the fill.
    Image* chosen_image() const;

    std::shared_ptr<Image> normal_;
    std::shared_ptr<Image> disabled_;
    std::wstring caption_;
};

} // namespace zel::form
