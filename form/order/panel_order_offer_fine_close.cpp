#include "form/order/panel_order_offer_fine_close.h"

#include "form/controls/frame_text_button.h"
#include "form/controls/image_control.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr int picture_id = 2202;
constexpr double margin = 15.0;
constexpr double message_height = 40.0;
constexpr int message_font = 25;
constexpr unsigned message_colour = 0xFFFFFF;

} // namespace

panel_order_offer_fine_close::panel_order_offer_fine_close(manager_2& form) : panel_order_offer_fine(form) {}

panel_order_offer_fine_close::~panel_order_offer_fine_close() = default;

void panel_order_offer_fine_close::show(const panel_param*) {
    layout();
    const float s = form_.get_scale();
    const rect& C = content_rect();
    read_ = &make_read_button();
    make_title(L"ВЫ НЕ УСПЕЛИ ВЗЯТЬ ЗАКАЗ");

    const auto image = skin_images::image_of(form_.get_skin_images(), picture_id);
    const int w = image->width();
    const int h = image->height();
    const int button_h = read_->get_rect().h;
    picture_ =
        &add<image_control>(1, &form_, rect{C.x + C.w / 2 - w / 2, C.y + (C.h - button_h) / 2 - h / 2, w, h}, image);

    const float m = s * static_cast<float>(margin);
    const int yb = read_->get_rect().y;
    auto& message =
        add<text_label>(1, &form_,
                        rect{static_cast<int>(m + static_cast<float>(C.x)),
                             static_cast<int>(static_cast<float>(yb) - s * static_cast<float>(message_height)),
                             static_cast<int>(static_cast<float>(C.w) - 2 * m), scaled(message_height, s)},
                        L"");
    message.set_font_size(message_font);
    message.set_color(message_colour);
    message.set_text(L"Заказ отдан другому водителю", 700);
}

void panel_order_offer_fine_close::hide() {
    release_images();
    read_ = nullptr;
    picture_ = nullptr;
}

} // namespace zel::form
