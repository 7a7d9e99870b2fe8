#include "form/menu_button_ex.h"

#include <algorithm>

#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/graphics.h"
#include "form/image.h"
#include "form/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

menu_button_ex::menu_button_ex(manager_2* form, const rect& r, std::function<void()> on_click,
                               std::shared_ptr<Image> normal, std::shared_ptr<Image> disabled, std::wstring caption,
                               std::shared_ptr<Image> badge)
    : menu_button(form, r, std::move(on_click), std::move(normal), std::move(disabled), std::move(caption)),
      badge_(std::move(badge)) {}

void menu_button_ex::set_caption(const std::wstring& text) {
    caption_ = text;
    invalidate();
}

void menu_button_ex::set_subcaption(const std::wstring& text) {
    badge_text_ = text;
}

bool menu_button_ex::badge_shown() const {
    const Image* main = chosen_image();
    return main && !main->empty() && badge_ && !badge_->empty() && !badge_text_.empty();
}

rect menu_button_ex::badge_rect() const {
    if (!badge_shown()) {
        return {};
    }
    const Image* main = chosen_image();
    // The picture's bottom, or the caption's top where the picture reaches into the caption.
    const int bottom = std::min(rect_.y + rect_.h / 2 + main->height() / 2, caption_rect().y);
    return {rect_.x + rect_.w / 2 + main->width() / 2 - badge_->width(), bottom - badge_->height(), badge_->width(),
            badge_->height()};
}

rect menu_button_ex::badge_text_rect() const {
    if (!badge_shown()) {
        return {};
    }
    const float s = form_->get_scale();
    const rect b = badge_rect();
    return {b.x + scaled(4, s), b.y + scaled(15, s), scaled(44, s), scaled(28, s)};
}

void menu_button_ex::paint(Graphics& g, const rect& update, int dx, int dy) {
    menu_button::paint(g, update, dx, dy);
    if (!visible_ || !badge_shown()) {
        return;
    }
    const rect b = badge_rect();
    badge_->draw(g, b.x, b.y);
    font_holder font(scaled(18, form_->get_scale()), 400);
    g.draw_text(font, badge_text_rect(), badge_text_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT,
                rgb{0, 0, 0});
}

} // namespace zel::form
