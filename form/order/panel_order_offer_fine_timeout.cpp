#include "form/order/panel_order_offer_fine_timeout.h"

#include "api/command/received/order_offer.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/text_label.h"
#include "form/order/caption_value_box.h"
#include "form/order/status_text_box.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

panel_order_offer_fine_timeout::panel_order_offer_fine_timeout(manager_2& form) : panel_order_offer_fine(form) {}

panel_order_offer_fine_timeout::~panel_order_offer_fine_timeout() = default;

void panel_order_offer_fine_timeout::show(const panel_param*) {
    layout();
    read_ = &make_read_button();
    make_title(L"ЗАКАЗ НЕ ВЗЯТ ВОВРЕМЯ");
    const offer_ptr offer = current_offer();
    if (!offer) {
        log(logger::warning, L"panel_order_offer_fine_timeout::show: no offer stored");
        form_.pop_panel();
        return;
    }
    boxes_ = make_fine_boxes();
    fill_fine_boxes(boxes_, *offer);
    // As large as a fine box, centred below the two.
    status_ = &add<status_text_box>(1, &form_);
    const rect& C = content_rect();
    const rect& fine = boxes_.roubles->get_rect();
    status_->set_rect(rect{C.x + C.w / 2 - fine.w / 2, C.y + C.h / 2, fine.w, fine.h});
}

void panel_order_offer_fine_timeout::hide() {
    release_images();
    read_ = nullptr;
    boxes_ = {};
    status_ = nullptr;
}

} // namespace zel::form
