#include "form/order/status_text_box.h"

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

constexpr int status_image_id = 2205;
constexpr double text_font = 20.0;
constexpr UINT text_format = 0x21; // centred, top, single line
const wchar_t* const first_line = L"СТАТУС";
const wchar_t* const second_line = L"НА ОБЕДЕ";

} // namespace

status_text_box::status_text_box(manager_2* form) : image_box(form), status_image_(form_image(form, status_image_id)) {}

void status_text_box::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    image_box::paint(g, update, dx, dy);
    const int x = rect_.x + dx;
    const int y = rect_.y + dy;
    const int w = rect_.w;
    const int h = rect_.h;
    font_holder font(static_cast<int>(text_font * form_->get_scale()), 400);
    const int line = text_extent(form_->get_hwnd(), font, first_line).height;
    g.draw_text(font, rect{x, y + h / 2, w, h / 2}, first_line, text_format, TRANSPARENT, white);
    g.draw_text(font, rect{x, y + h / 2 + line, w, h / 2}, second_line, text_format, TRANSPARENT, white);
    status_image_->draw(g, x + w / 2 - status_image_->width() / 2, y + h / 2 - status_image_->height());
}

} // namespace zel::form
