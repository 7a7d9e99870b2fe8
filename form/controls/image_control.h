// image_control: a picture with its top-left corner at the rectangle's corner, neither centred nor scaled;
// an empty picture draws nothing. Showing and enabling store the flag only (the panel repaints). UI thread
// only.
#pragma once

#include <memory>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class image_control : public control {
public:
    image_control(manager_2* form, const rect& r, std::shared_ptr<Image> image);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    void set_visible(bool visible) override {
        visible_ = visible;
    }
    void set_enabled(bool enabled) override {
        enabled_ = enabled;
    }
    // These repaint.
    void set_image(std::shared_ptr<Image> image);
    void set_rect(const rect& r) override;

    const std::shared_ptr<Image>& image() const {
        return image_;
    }

private:
    std::shared_ptr<Image> image_;
};

} // namespace zel::form
