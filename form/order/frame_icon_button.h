// frame_icon_button: a frame_button with an icon and a grey caption beside it, the pair centred together.
// Without an icon only the frame is drawn. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/frame_button.h"

namespace zel::form {

class frame_icon_button : public frame_button {
public:
    frame_icon_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> icon,
                      std::wstring caption);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores only; the caller repaints.
    void set_caption(const std::wstring& text) {
        caption_ = text;
    }
    const std::wstring& caption() const {
        return caption_;
    }
    // Where the icon and the caption go.
    point icon_position() const;
    rect caption_rect() const;

private:
    std::wstring caption_;
    std::shared_ptr<Image> icon_;
};

} // namespace zel::form
