// segmented_button: a button of three skin pieces (left cap, stretched middle, right cap) drawn left to right
// from its corner, pressed pieces while pressed. The middles are stretched once, when it is made. UI thread
// only.
#pragma once

#include <memory>

#include "form/controls/button.h"

namespace zel::form {

class Image;

class segmented_button : public button {
public:
    segmented_button(manager_2* form, const rect& r, std::function<void()> on_click);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

private:
    // Normal left, right, middle; pressed left, right, middle.
    std::shared_ptr<Image> pieces_[6];
};

} // namespace zel::form
