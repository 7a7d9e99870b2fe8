#include "form/order/frame_icon_button.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

struct icon_layout {
    point icon;
    rect caption;
};

icon_layout lay_out(manager_2* form, const rect& r, const Image* icon, const std::wstring& caption) {
    font_holder font(scaled(25, form->get_scale()), 400);
    const int cw = text_extent(form->get_hwnd(), font, caption + L"  ").width;
    const int sw = text_extent(form->get_hwnd(), font, L"  ").width;
    const int iw = icon ? icon->width() : 0;
    const int ih = icon ? icon->height() : 0;
    const int gx = r.x + r.w / 2 - (iw + cw) / 2;
    const int gy = r.y + r.h / 2 - ih / 2;
    return {{gx, gy}, {gx + iw + sw, gy - ih / 6, iw + cw, iw}};
}

} // namespace

frame_icon_button::frame_icon_button(manager_2* form, const rect& r, std::function<void()> on_click,
                                     std::shared_ptr<Image> icon, std::wstring caption)
    : frame_button(form, r, std::move(on_click)), caption_(std::move(caption)), icon_(std::move(icon)) {}

point frame_icon_button::icon_position() const {
    return lay_out(form_, rect_, icon_.get(), caption_).icon;
}

rect frame_icon_button::caption_rect() const {
    return lay_out(form_, rect_, icon_.get(), caption_).caption;
}

void frame_icon_button::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    frame_button::paint(g, update, dx, dy);
    if (!icon_ || icon_->empty()) {
        return;
    }
    const icon_layout layout = lay_out(form_, rect_, icon_.get(), caption_);
    icon_->draw(g, layout.icon.x, layout.icon.y);
    font_holder font(scaled(25, form_->get_scale()), 400);
    g.draw_text(font, layout.caption, caption_, DT_LEFT | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb{150, 150, 150});
}

} // namespace zel::form
