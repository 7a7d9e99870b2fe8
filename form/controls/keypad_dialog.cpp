#include "form/controls/keypad_dialog.h"

#include "form/controls/keypad.h"
#include "form/drawing/brush_holder.h"
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

constexpr int margin = 2;
constexpr int image_ids[8] = {1022, 1021, 1024, 1023, 1018, 1017, 1019, 1020};

} // namespace

keypad_dialog::keypad_dialog(manager_2* form, const rect& r) : control(form, r) {
    const int bar = scaled(60, form ? form->get_scale() : 1.0f);
    const int odd = r.w % 2;
    const int half = (r.w - odd) / 2;
    ok_ = {r.x + margin, r.y + margin, half - 2 * margin, bar - 2 * margin};
    cancel_ = {r.x + margin + half + odd, r.y + margin, half - 2 * margin, bar - 2 * margin};
    keypad_rect_ = {r.x + margin, r.y + margin + bar + odd, r.w - 2 * margin, r.h - bar};
    keypad_ = std::make_unique<keypad>(form, keypad_rect_);
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    for (int i = 0; i < 8; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
}

keypad_dialog::~keypad_dialog() = default;

void keypad_dialog::set_callback(std::function<void(int)> callback) {
    callback_ = callback;
    keypad_->set_callback(std::move(callback));
}

void keypad_dialog::set_point_enabled(bool enabled) {
    keypad_->set_point_enabled(enabled);
}

std::wstring keypad_dialog::key_caption(int code) const {
    return keypad_->key_caption(code);
}

void keypad_dialog::set_visible(bool visible) {
    visible_ = visible;
    keypad_->set_visible(visible);
    invalidate();
}

void keypad_dialog::set_enabled(bool enabled) {
    enabled_ = enabled;
    keypad_->set_enabled(enabled);
    invalidate();
}

void keypad_dialog::notify(int code) const {
    // The design called the callback untested: an unset one threw from the pen handler.
    if (callback_) {
        callback_(code);
    }
}

void keypad_dialog::on_pen_down(int x, int y) {
    if (point_in_rect(keypad_rect_, x, y)) {
        keypad_->on_pen_down(x, y);
    } else if (point_in_rect(ok_, x, y)) {
        pressed_ = 1;
        form_->invalidate_rect(ok_);
    } else if (point_in_rect(cancel_, x, y)) {
        pressed_ = 2;
        form_->invalidate_rect(cancel_);
    } else {
        pressed_ = 0;
    }
}

void keypad_dialog::on_pen_up(int x, int y) {
    if (point_in_rect(keypad_rect_, x, y)) {
        pressed_ = 0;
        keypad_->on_pen_up(x, y);
    } else if (point_in_rect(ok_, x, y) && pressed_ == 1) {
        notify(ok_code);
        pressed_ = 0;
        form_->invalidate_rect(ok_);
    } else if (point_in_rect(cancel_, x, y) && pressed_ == 2) {
        notify(cancel_code);
        pressed_ = 0;
        form_->invalidate_rect(cancel_);
    } else {
        pressed_ = 0;
        form_->invalidate_rect(ok_);
        form_->invalidate_rect(cancel_);
    }
}

void keypad_dialog::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    if (rect_overlaps(keypad_rect_, update)) {
        keypad_->paint(g, update, dx, dy);
    }
    font_holder font(scaled(40, form_->get_scale()), 400);
    const rect* buttons[2] = {&ok_, &cancel_};
    const wchar_t* captions[2] = {L"Ок", L"Отмена"};
    for (int i = 0; i < 2; ++i) {
        const rect& b = *buttons[i];
        g.fill_rect(b, brush_holder(rgb{0, 0, 0}));
        draw_frame_corners(g, b, &images_[0]);
        const rect inner{b.x + 2, b.y + 2, b.w - 4, b.h - 4};
        draw_gradient_frame(g, inner, pressed_ == i + 1 ? 1 : 0);
        const int corner_width = images_[4]->width();
        images_[4]->draw(g, inner.x, inner.y);
        images_[5]->draw(g, inner.x, inner.y + inner.h - images_[5]->height() + 1);
        images_[6]->draw(g, inner.x + inner.w - corner_width + 1, inner.y);
        images_[7]->draw(g, inner.x + inner.w - corner_width + 1, inner.y + inner.h - images_[7]->height() + 1);
        g.draw_text(font, b, captions[i], DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb{149, 149, 149});
    }
}

} // namespace zel::form
