// caption_radio_button: a tab — a gradient face (dark when checked), the picture of its state at the left,
// a bold caption beside it and an optional subcaption written over the picture. A missing picture draws
// nothing and measures 0. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/radio_button.h"

namespace zel::form {

class Image;

class caption_radio_button : public radio_button {
public:
    caption_radio_button(manager_2* form, const rect& r, std::function<void()> on_select,
                         std::shared_ptr<Image> on_image, std::shared_ptr<Image> off_image, std::wstring caption,
                         radio_group* group);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // These store only; the caller repaints.
    void set_on_image(std::shared_ptr<Image> image) {
        on_image_ = std::move(image);
    }
    void set_off_image(std::shared_ptr<Image> image) {
        off_image_ = std::move(image);
    }
    void set_caption(const std::wstring& text) {
        caption_ = text;
    }
    void set_subcaption(const std::wstring& text) {
        subcaption_ = text;
    }

    // The picture's and the caption's rectangles in the current state; the caption's keeps a gap from the
    // picture and from the tab's right edge.
    rect image_rect() const;
    rect caption_rect() const;
    // The caption's font height: 26 x scale, or the largest smaller size down to half of it in which the
    // caption fits its rectangle (a landscape tab beside a wide picture).
    int caption_height() const;

private:
    Image* state_image() const;

    std::shared_ptr<Image> on_image_;
    std::shared_ptr<Image> off_image_;
    std::wstring caption_;
    std::wstring subcaption_;
};

} // namespace zel::form
