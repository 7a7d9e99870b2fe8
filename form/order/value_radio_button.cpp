#include "form/order/value_radio_button.h"

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

constexpr int piece_ids[6] = {2184, 2185, 2186, 2181, 2182, 2183};
constexpr int caption_inset = 12; // the caption's left margin (design pixels)

int width_of(const std::shared_ptr<Image>& image) {
    return image && !image->empty() ? image->width() : 0;
}

int height_of(const std::shared_ptr<Image>& image) {
    return image && !image->empty() ? image->height() : 0;
}

} // namespace

value_radio_button::value_radio_button(manager_2* form, const rect& r, std::function<void()> on_select,
                                       std::shared_ptr<Image> icon, std::wstring caption, radio_group* group)
    : radio_button(form, r, std::move(on_select), group), icon_(std::move(icon)), caption_(std::move(caption)) {
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    for (int i = 0; i < 6; ++i) {
        pieces_[i] = skin_images::image_of(skin, piece_ids[i]);
    }
    for (int set = 0; set < 6; set += 3) {
        Image& middle = *pieces_[set + 1];
        middle.resize(r.w / 2 - width_of(pieces_[set + 2]) - width_of(pieces_[set]), middle.height());
    }
}

void value_radio_button::set_value(const std::wstring& text) {
    if (text.empty()) {
        value_ = L"0";
        invalidate();
        return;
    }
    const std::size_t point = text.find(L'.');
    const bool one_point_at_end =
        point == std::wstring::npos || (text.find(L'.', point + 1) == std::wstring::npos && point + 2 >= text.size());
    if (text.size() <= 6 && one_point_at_end) {
        value_ = text;
        invalidate();
    }
}

rect value_radio_button::value_box() const {
    const float s = form_->get_scale();
    const int bh = height_of(pieces_[0]);
    return {static_cast<int>(rect_.x + rect_.w - rect_.w / 2 - width_of(icon_) - 6 * s),
            static_cast<int>(rect_.y + rect_.h / 2 - bh / 2), rect_.w / 2, bh};
}

int value_radio_button::fitted_height(const std::wstring& text, int box_width) const {
    const float s = form_->get_scale();
    return fitted_font_height(form_->get_hwnd(), text, static_cast<int>(box_width - 8 * s), 700, 65, 1, s);
}

void value_radio_button::draw_fitted_text(Graphics& g, const rect& box, const std::wstring& text,
                                          unsigned rrggbb) const {
    const float s = form_->get_scale();
    font_holder font(fitted_height(text, box.w), 700);
    g.draw_text(font, {static_cast<int>(box.x + 4 * s), box.y, static_cast<int>(box.w - 8 * s), box.h}, text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb::from_rrggbb(rrggbb));
}

rect value_radio_button::caption_rect() const {
    const float s = form_->get_scale();
    const rect box = value_box();
    // The caption ends where it always did, a little short of the value box; it starts a margin in from the
    // row's left edge, against which it stood flush.
    return {static_cast<int>(rect_.x + caption_inset * s), box.y,
            static_cast<int>(rect_.w / 2 - width_of(icon_) - (caption_inset + 9) * s), box.h};
}

int value_radio_button::caption_height() const {
    // A caption wider than its box at the full size steps down to fit (the landscape rows are half as wide).
    return fitted_font_height(form_->get_hwnd(), caption_, caption_rect().w, 400, 38, 19, form_->get_scale());
}

void value_radio_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    const float s = form_->get_scale();
    const rect box = value_box();
    int x = box.x;
    for (int i = checked_ ? 3 : 0, end = i + 3; i < end; ++i) {
        if (pieces_[i] && !pieces_[i]->empty()) {
            pieces_[i]->draw(g, x, box.y);
        }
        x += width_of(pieces_[i]);
    }
    if (icon_ && !icon_->empty()) {
        icon_->draw(g, static_cast<int>(rect_.x + rect_.w - icon_->width() - 3 * s),
                    rect_.y + rect_.h / 2 - icon_->height() / 2);
    }
    font_holder font(caption_height(), 400);
    g.draw_text(font, caption_rect(), caption_, DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS, TRANSPARENT,
                rgb{255, 255, 255});
    draw_fitted_text(g, box, value_, 0xFFC300);
}

} // namespace zel::form
