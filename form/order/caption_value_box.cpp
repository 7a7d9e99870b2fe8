#include "form/order/caption_value_box.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr double value_font = 55.0;
constexpr double caption_font = 20.0;
constexpr double text_drop = 10.0;    // both texts stand this far below their half's top
constexpr UINT value_format = 0x29;   // centred, bottom, single line
constexpr UINT caption_format = 0x21; // centred, top, single line

} // namespace

caption_value_box::caption_value_box(manager_2* form) : image_box(form) {}

void caption_value_box::set_caption(const std::wstring& caption) {
    if (caption != caption_) {
        caption_ = caption;
        invalidate();
    }
}

void caption_value_box::set_value(const std::wstring& value) {
    if (value != value_) {
        value_ = value;
        invalidate();
    }
}

void caption_value_box::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    image_box::paint(g, update, dx, dy);
    const float s = form_->get_scale();
    const int x = rect_.x + dx;
    const int y = rect_.y + dy;
    const int half = rect_.h / 2;
    font_holder big(static_cast<int>(value_font * s), 700);
    g.draw_text(big, rect{x, static_cast<int>(y + text_drop * s), rect_.w, half}, value_, value_format, TRANSPARENT,
                white);
    font_holder small(static_cast<int>(caption_font * s), 400);
    g.draw_text(small, rect{x, static_cast<int>(y + half + text_drop * s), rect_.w, half}, caption_, caption_format,
                TRANSPARENT, white);
}

} // namespace zel::form
