#include "form/order/offer_take_button.h"

#include <algorithm>

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

// --- pictures and layout numbers (design pixels, fonts before scaling)

constexpr int badge_image = 1065;
constexpr int reject_badge_image = 1066;
constexpr int back_plate_image = 1064;
constexpr int reject_icon_image = 2204;

constexpr int title_font = 26;
constexpr int title_drop = 10;      // the title's top below the button's middle
constexpr int countdown_font = 50;  // "Взять заказ": the countdown's font and line height above the title
constexpr int badge_text_inset = 5; // the badge's text from the badge picture's left edge, leftwards
constexpr int badge_text_drop = 2;  // and down from the button's top
constexpr int countdown_gap = 4;    // the countdown keeps this far from the badge and the button's left edge

} // namespace

offer_take_button::offer_take_button(manager_2* form, const rect& r, std::function<void()> on_click)
    : offer_take_button(form, r, std::move(on_click), kind::take) {}

offer_take_button::offer_take_button(manager_2* form, const rect& r, std::function<void()> on_click, kind k)
    : frame_button(form, r, std::move(on_click)), kind_(k) {
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    badge_ = skin_images::image_of(skin, k == kind::reject ? reject_badge_image : badge_image);
    if (k == kind::back) {
        icon_ = skin_images::image_of(skin, back_plate_image);
    } else if (k == kind::reject) {
        icon_ = skin_images::image_of(skin, reject_icon_image);
    } else {
        icon_ = std::make_shared<Image>();
    }
}

void offer_take_button::set_badge_text(const std::wstring& text) {
    badge_text_ = text;
    invalidate();
}

void offer_take_button::set_time_text(const std::wstring& text) {
    time_text_ = text;
    invalidate();
}

void offer_take_button::set_active(bool active) {
    active_ = active;
    invalidate();
}

int offer_take_button::title_top() const {
    return static_cast<int>(rect_.y + rect_.h / 2 + title_drop * form_->get_scale());
}

int offer_take_button::title_height() const {
    font_holder font(scaled(title_font, form_->get_scale()), 400);
    return text_extent(form_->get_hwnd(), font, L"Взять заказ").height;
}

rect offer_take_button::badge_rect() const {
    return {rect_.x + rect_.w - badge_->width(), rect_.y, badge_->width(), badge_->height()};
}

rect offer_take_button::badge_text_rect() const {
    const float s = form_->get_scale();
    return {static_cast<int>(rect_.x + rect_.w - badge_->width() - badge_text_inset * s),
            static_cast<int>(rect_.y + badge_text_drop * s), badge_->width(), badge_->height()};
}

rect offer_take_button::countdown_rect() const {
    const float s = form_->get_scale();
    font_holder font(scaled(countdown_font, s), 700);
    const int width = std::min(text_extent(form_->get_hwnd(), font, time_text_).width, rect_.w);
    int x = rect_.x + (rect_.w - width) / 2;
    // A wide countdown reached under the badge, which clipped its last digit.
    if (active_ && !badge_->empty()) {
        const int gap = scaled(countdown_gap, s);
        x = std::max(rect_.x + gap, std::min(x, badge_rect().x - gap - width));
    }
    return {x, static_cast<int>(title_top() - countdown_font * s), width, scaled(countdown_font, s)};
}

void offer_take_button::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    frame_button::paint(g, update, dx, dy);
    const float s = form_->get_scale();
    const int ty = title_top();
    const wchar_t* title = kind_ == kind::take ? L"Взять заказ" : kind_ == kind::back ? L"Назад" : L"Отказаться";
    font_holder title_face(scaled(title_font, s), 400);
    g.draw_text(title_face, {rect_.x, ty, rect_.w, title_height()}, title, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                TRANSPARENT, white);
    if (kind_ == kind::take) {
        font_holder font(scaled(countdown_font, s), 700);
        g.draw_text(font, countdown_rect(), time_text_, DT_CENTER | DT_BOTTOM | DT_SINGLELINE, TRANSPARENT, white);
    } else if (!icon_->empty()) {
        const rect icon{rect_.x + rect_.w / 2 - icon_->width() / 2, ty - icon_->height(), icon_->width(),
                        icon_->height()};
        icon_->draw(g, icon.x, icon.y);
        if (kind_ == kind::back) {
            font_holder font(scaled(title_font, s), 700);
            g.draw_text(font, icon, time_text_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, white);
        }
    }
    if (active_ && !badge_->empty()) {
        const rect b = badge_rect();
        badge_->draw(g, b.x, b.y);
        font_holder font(scaled(title_font, s), 400);
        g.draw_text(font, badge_text_rect(), badge_text_, DT_RIGHT | DT_SINGLELINE, TRANSPARENT, white);
    }
}

} // namespace zel::form
