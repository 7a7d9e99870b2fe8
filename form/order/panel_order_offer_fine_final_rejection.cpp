#include "form/order/panel_order_offer_fine_final_rejection.h"

#include "api/command/received/order_offer.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/text_label.h"
#include "form/order/caption_value_box.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

panel_order_offer_fine_final_rejection::panel_order_offer_fine_final_rejection(manager_2& form)
    : panel_order_offer_fine(form) {}

panel_order_offer_fine_final_rejection::~panel_order_offer_fine_final_rejection() = default;

void panel_order_offer_fine_final_rejection::show(const panel_param*) {
    layout();
    read_ = &make_read_button();
    make_title(L"ЗА ОТКАЗ ОТ ЗАКАЗА");
    const offer_ptr offer = current_offer();
    if (!offer) {
        log(logger::warning, L"panel_order_offer_fine_final_rejection::show: no offer stored");
        form_.pop_panel();
        return;
    }
    boxes_ = make_fine_boxes();
    fill_fine_boxes(boxes_, *offer);
}

void panel_order_offer_fine_final_rejection::hide() {
    release_images();
    read_ = nullptr;
    boxes_ = {};
}

} // namespace zel::form
