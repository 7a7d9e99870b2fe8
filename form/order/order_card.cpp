#include "form/order/order_card.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/controls/elapsed_time_box.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/server_clock.h"
#include "platform/gdi.h"

namespace zel::form {

namespace {

constexpr int first_picture = 7025;
constexpr int time_box_id = 7025;
constexpr double side = 15.0;        // the icons' gaps and the right margin
constexpr double line_centre = 29.0; // the caption line's middle below the card's top

} // namespace

order_card::order_card(manager_2* form, const rect& r, std::function<void()> on_call)
    : order_info_with_timer(form, r, std::move(on_call)) {
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        pictures_[i] = form_image(form, first_picture + static_cast<int>(i));
    }
}

order_card::~order_card() = default;

int order_card::count_icon(int32_t cc, int32_t ccs) {
    if (ccs >= 1) {
        return ccs >= 5 ? 7030 : 7025 + ccs;
    }
    if (cc >= 1) {
        return cc >= 5 ? 7036 : 7031 + cc;
    }
    return 7031;
}

int order_card::kind_icon(int32_t sms) {
    switch (sms) {
    case 1:
        return 7038;
    case 2:
    case 16:
    case 101:
        return 7039;
    case 100:
        return 7040;
    case 4:
    case 8:
        return 7041;
    default:
        return 7037; // 0, 102, -1 and anything unknown
    }
}

void order_card::paint_info(Graphics& g) {
    const float s = scale();
    int right = rect_.x + rect_.w - scaled(side, s);
    const int centre = rect_.y + scaled(line_centre, s) + offset_;
    time_box_ = rect{};
    if (time_ != -1) {
        const Image& box = *pictures_[time_box_id - first_picture];
        time_box_ = rect{right - box.width(), centre - box.height() / 2, box.width(), box.height()};
        draw_info(g, time_box_);
        right -= scaled(side, s) + box.width();
    }
    Image& kind = *pictures_[static_cast<std::size_t>(kind_icon(kind_) - first_picture)];
    kind.draw(g, right - kind.width(), centre - kind.height() / 2);
    right -= scaled(side, s) + kind.width();
    Image& count = *pictures_[static_cast<std::size_t>(count_icon(cc_, ccs_) - first_picture)];
    count.draw(g, right - count.width(), centre - count.height() / 2);
}

void order_card::draw_info(Graphics& g, const rect& box) {
    pictures_[time_box_id - first_picture]->draw(g, box.x, box.y);
    std::shared_ptr<const server_clock> clock;
    if (const auto* c = controller_::controller::instance()) {
        clock = c->get_server_clock();
    }
    const int64_t now = clock ? clock->server_now() : now_seconds();
    const int64_t zone = clock ? clock->server_seconds() : 0;
    // The minutes left until the order's time count as the time box counts the time since a start.
    elapsed_time_box::paint_texts(g, form_->get_hwnd(), scale(), box.x, box.y,
                                  elapsed_time_box::texts_for(time_, now, zone));
}

} // namespace zel::form
