// frame_image_button: a frame_button with a picture centred at its top and a grey caption under it. Without
// a picture only the frame is drawn. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/frame_button.h"

namespace zel::form {

class frame_image_button : public frame_button {
public:
    frame_image_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> image,
                       std::wstring caption);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores only; the caller repaints.
    void set_caption(const std::wstring& text) {
        caption_ = text;
    }

private:
    std::shared_ptr<Image> image_;
    std::wstring caption_;
};

} // namespace zel::form
