// image_box: the value box picture (skin 2203) at a rectangle that starts at (0, 0) with the picture's size;
// the panel moves it with set_rect. The base of the boxes that write on that picture (caption_value_box,
// status_text_box). Takes no pen. UI thread only.
#pragma once

#include <memory>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class image_box : public control {
public:
    explicit image_box(manager_2* form);

    // Stores the rectangle and repaints it.
    void set_rect(const rect& r) override;
    // The picture at the rectangle's top-left corner, nothing while hidden.
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

protected:
    std::shared_ptr<Image> image_;
};

} // namespace zel::form
