// frame_text_button: a frame_button with a white caption centred in it, "Tahoma" of a design size (30 until
// set) and weight (400 until set) times the scale. UI thread only.
#pragma once

#include <string>

#include "form/controls/frame_button.h"

namespace zel::form {

class frame_text_button : public frame_button {
public:
    frame_text_button(manager_2* form, const rect& r, std::function<void()> on_click, std::wstring caption);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores only; the caller repaints.
    void set_font(int size, int weight) {
        font_size_ = size;
        font_weight_ = weight;
    }
    const std::wstring& caption() const {
        return caption_;
    }

private:
    std::wstring caption_;
    int font_size_ = 30;
    int font_weight_ = 400;
};

} // namespace zel::form
