#include "form/controls/state_button.h"

#include "form/controls/image_button.h"
#include "form/drawing/image.h"

namespace zel::form {

state_button::state_button(manager_2* form, const rect& r, std::function<void()> on_click)
    : button(form, r, std::move(on_click)) {}

void state_button::set_state_image(int key, std::shared_ptr<Image> image) {
    images_[key] = std::move(image);
}

void state_button::set_state(int key) {
    state_.store(images_.count(key) ? key : -1, std::memory_order_release);
    invalidate();
}

void state_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    auto it = images_.find(state());
    if (it != images_.end()) {
        draw_centred(g, it->second.get(), rect_);
    }
}

} // namespace zel::form
