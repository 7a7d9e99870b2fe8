#include "form/account/menu_button_ex.h"

#include <algorithm>

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int badge_gap = 6;        // between the badge and the caption under it (design pixels)
constexpr int badge_inset = 3;      // the figure keeps this far inside the badge's edges
constexpr double badge_font = 36.0; // the figure's largest design size

} // namespace

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
    // The picture's bottom, or a gap above the caption's top where the picture reaches that far.
    const int bottom =
        std::min(rect_.y + rect_.h / 2 + main->height() / 2, caption_rect().y - scaled(badge_gap, form_->get_scale()));
    return {rect_.x + rect_.w / 2 + main->width() / 2 - badge_->width(), bottom - badge_->height(), badge_->width(),
            badge_->height()};
}

rect menu_button_ex::badge_text_rect() const {
    if (!badge_shown()) {
        return {};
    }
    const int inset = scaled(badge_inset, form_->get_scale());
    const rect b = badge_rect();
    return {b.x + inset, b.y + inset, std::max(0, b.w - 2 * inset), std::max(0, b.h - 2 * inset)};
}

int menu_button_ex::badge_text_height() const {
    const float s = form_->get_scale();
    const rect box = badge_text_rect();
    // As tall as the badge's inside allows (a figure readable at arm's length), smaller for a wide figure.
    const double largest = std::min(badge_font, box.h / static_cast<double>(s));
    return fitted_font_height(form_->get_hwnd(), badge_text_, box.w, 400, largest, std::min(badge_font / 3, largest),
                              s);
}

void menu_button_ex::paint(Graphics& g, const rect& update, int dx, int dy) {
    menu_button::paint(g, update, dx, dy);
    if (!visible_ || !badge_shown()) {
        return;
    }
    const rect b = badge_rect();
    badge_->draw(g, b.x, b.y);
    font_holder font(badge_text_height(), 400);
    g.draw_text(font, badge_text_rect(), badge_text_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT,
                rgb{0, 0, 0});
}

} // namespace zel::form
