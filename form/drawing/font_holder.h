// font_holder: owns one "Tahoma" font (Russian character set, quality 5) of a pixel height and a weight
// (400 normal, 700 bold), made for one drawing call and deleted with the holder. Any thread.
#pragma once

#include "platform/win_types.h"

namespace zel::form {

class font_holder {
public:
    font_holder(int height, int weight);
    ~font_holder();
    font_holder(const font_holder&) = delete;
    font_holder& operator=(const font_holder&) = delete;

    HFONT font() const {
        return font_;
    }
    // As asked, which is the font's cell height.
    int height() const {
        return height_;
    }

private:
    HFONT font_ = nullptr;
    int height_ = 0;
};

} // namespace zel::form
