#include "form/order/unit_text.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr UINT line_format = DT_SINGLELINE; // left, top

} // namespace

unit_text::unit_text(manager_2* form, int size, unsigned rrggbb)
    : control(form, rect{}), size_(size), colour_(rrggbb) {}

int unit_text::line_height() const {
    if (!visible_ || text_.empty() || !form_) {
        return 0;
    }
    font_holder font(scaled(size_, form_->get_scale()), 400);
    return text_extent(form_->get_hwnd(), font, text_).height;
}

void unit_text::set_text(const std::wstring& text) {
    text_ = text;
    rect_.h = line_height();
    invalidate();
}

void unit_text::set_position(int x, int y, int width) {
    rect_.x = x;
    rect_.y = y;
    rect_.w = width;
    invalidate();
}

void unit_text::set_visible(bool visible) {
    visible_ = visible;
    rect_.h = line_height();
    invalidate();
}

void unit_text::paint(Graphics& g, const rect&, int dx, int dy) {
    if (!visible_ || text_.empty()) {
        return;
    }
    font_holder font(scaled(size_, form_->get_scale()), 400);
    g.draw_text(font, rect{rect_.x + dx, rect_.y + dy, rect_.w, rect_.h}, text_, line_format, TRANSPARENT,
                rgb::from_rrggbb(colour_));
}

} // namespace zel::form
