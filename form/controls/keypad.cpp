#include "form/controls/keypad.h"

#include "form/controls/image_button.h"
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
constexpr int gap_x = 2;
constexpr int gap_y = 3;
constexpr int image_ids[9] = {1018, 1017, 1019, 1020, 1022, 1021, 1024, 1023, 1025};
enum { key_top_left, key_bottom_left, key_top_right, key_bottom_right, frame_corners, erase_icon = 8 };

void line(Graphics& g, point from, point to, const rgb& colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour.colorref());
    g.draw_line(from, to, pen);
    DeleteObject(pen);
}

} // namespace

void draw_frame_corners(Graphics& g, const rect& r, const std::shared_ptr<Image> corners[4]) {
    Image& top_left = *corners[0];
    Image& bottom_left = *corners[1];
    Image& top_right = *corners[2];
    Image& bottom_right = *corners[3];
    top_left.draw(g, r.x, r.y);
    bottom_left.draw(g, r.x, r.y + r.h - bottom_left.height() + 1);
    top_right.draw(g, r.x + r.w - top_right.width() + 1, r.y);
    bottom_right.draw(g, r.x + r.w - bottom_right.width() + 1, r.y + r.h - bottom_right.height() + 1);
}

keypad::keypad(manager_2* form, const rect& r) : control(form, r) {
    const int kw = (r.w - 2 * margin - 2 * gap_x) / 3;
    const int rw = (r.w - 2 * margin - 2 * gap_x) % 3;
    const int kh = (r.h - 2 * margin - 3 * gap_y) / 4;
    const int rh = (r.h - 2 * margin - 3 * gap_y) % 4;
    const int c0 = r.x + margin - 1;
    const int c1 = c0 + (kw + rw + 1) + gap_x;
    const int c2 = c1 + kw + gap_x;
    const int lefts[3] = {c0, c1, c2};
    const int widths[3] = {kw + rw + 1, kw, kw + 1};
    const int r0 = r.y + margin;
    const int r1 = r0 + (kh + rh) + gap_y;
    const int r2 = r1 + kh + gap_y;
    const int r3 = r2 + kh + gap_y;
    const int tops[4] = {r0, r1, r2, r3};
    const int heights[4] = {kh + rh, kh, kh, kh};
    for (int k = 0; k < 12; ++k) {
        keys_[static_cast<std::size_t>(k)] = {lefts[k % 3], tops[k / 3], widths[k % 3], heights[k / 3]};
    }
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    for (int i = 0; i < 9; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
}

void keypad::set_point_enabled(bool enabled) {
    point_enabled_ = enabled;
    if (form_) {
        form_->invalidate_rect(keys_[point_key]);
    }
}

wchar_t keypad::digit_of(int code) {
    if (code >= 0 && code <= 8) {
        return static_cast<wchar_t>(L'1' + code);
    }
    return code == 10 ? L'0' : 0;
}

std::wstring keypad::key_caption(int code) const {
    if (code == point_key) {
        return point_enabled_ ? L"." : L"";
    }
    const wchar_t digit = digit_of(code);
    return digit != 0 ? std::wstring(1, digit) : L"";
}

int keypad::key_at(int x, int y) const {
    for (int k = 0; k < 12; ++k) {
        if (k == point_key && !point_enabled_) {
            continue;
        }
        if (point_in_rect(keys_[static_cast<std::size_t>(k)], x, y)) {
            return k;
        }
    }
    return -1;
}

void keypad::on_pen_down(int x, int y) {
    if (!enabled_) {
        return;
    }
    pressed_ = key_at(x, y);
    if (pressed_ >= 0 && form_) {
        form_->invalidate_rect(keys_[static_cast<std::size_t>(pressed_)]);
    }
}

void keypad::on_pen_up(int x, int y) {
    if (!enabled_) {
        return;
    }
    const int k = key_at(x, y);
    if (k >= 0 && k == pressed_ && callback_) {
        callback_(k);
    }
    if (pressed_ >= 0 && form_) {
        form_->invalidate_rect(keys_[static_cast<std::size_t>(pressed_)]);
    }
    pressed_ = -1;
}

void keypad::draw_key_frame(Graphics& g, int code) const {
    const rect& k = keys_[static_cast<std::size_t>(code)];
    const rgb light{93, 96, 101};
    const rgb dark{67, 70, 75};
    const rgb black{0, 0, 0};
    line(g, {k.x, k.y}, {k.x + k.w, k.y}, light);
    line(g, {k.x, k.y + k.h}, {k.x + k.w, k.y + k.h}, dark);
    if (code % 3 == 0) {
        g.set_pixel({k.x + 1, k.y}, black);
    } else {
        line(g, {k.x, k.y}, {k.x, k.y + k.h}, light);
    }
    if (code % 3 == 2) {
        g.set_pixel({k.x + k.w - 1, k.y}, black);
    } else {
        line(g, {k.x + k.w, k.y}, {k.x + k.w, k.y + k.h}, dark);
    }
    g.set_pixel({k.x, k.y}, black);
    g.set_pixel({k.x + k.w, k.y}, black);
    g.set_pixel({k.x, k.y + k.h}, black);
    g.set_pixel({k.x + k.w, k.y + k.h}, black);
    const bool pressed = code == pressed_;
    g.gradient_fill({k.x + 1, k.y + 1}, {k.x + k.w - 1, k.y + k.h - 1}, pressed ? rgb{253, 219, 0} : rgb{67, 70, 75},
                    pressed ? rgb{198, 164, 19} : rgb{38, 39, 43}, 1);
}

void keypad::draw_key_face(Graphics& g, int code) const {
    const rect& k = keys_[static_cast<std::size_t>(code)];
    const int corner_width = images_[key_top_left]->width();
    if (code % 3 == 0) {
        images_[key_top_left]->draw(g, k.x + 1, k.y);
        images_[key_bottom_left]->draw(g, k.x + 1, k.y + k.h - images_[key_bottom_left]->height() + 1);
    } else if (code % 3 == 2) {
        images_[key_top_right]->draw(g, k.x + k.w - corner_width, k.y);
        images_[key_bottom_right]->draw(g, k.x + k.w - corner_width,
                                        k.y + k.h - images_[key_bottom_right]->height() + 1);
    }
    font_holder font(scaled(40, form_->get_scale()), 400);
    g.draw_text(font, k, key_caption(code), DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb{149, 149, 149});
    if (code == erase_key) {
        draw_centred(g, images_[erase_icon].get(), k);
    }
}

void keypad::paint(Graphics& g, const rect& update, int, int) {
    if (!visible_) {
        return;
    }
    g.fill_rect(rect_, brush_holder(rgb{0, 0, 0}));
    draw_frame_corners(g, rect_, &images_[frame_corners]);
    for (int k = 0; k < 12; ++k) {
        if (rect_overlaps(keys_[static_cast<std::size_t>(k)], update)) {
            draw_key_frame(g, k);
            draw_key_face(g, k);
        }
    }
}

} // namespace zel::form
