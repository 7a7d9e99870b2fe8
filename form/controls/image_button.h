// image_button: a button drawn as its pressed picture while pressed, else its normal one, centred in its
// rectangle; an empty picture draws nothing. UI thread only.
#pragma once

#include <memory>

#include "form/controls/button.h"

namespace zel::form {

class Image;

class image_button : public button {
public:
    image_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                 std::shared_ptr<Image> pressed);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

protected:
    std::shared_ptr<Image> normal_;
    std::shared_ptr<Image> pressed_image_;
};

// Draws the picture centred in the rectangle (integer halves); nothing for an empty or null picture.
void draw_centred(Graphics& g, Image* image, const rect& r);

} // namespace zel::form
