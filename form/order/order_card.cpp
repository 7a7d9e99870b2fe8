#include "form/order/order_card.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/saturating.h"
#include "foundation/server_clock.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int first_picture = 7025;
constexpr int time_box_id = 7025;
constexpr double side = 15.0;        // the icons' gaps and the right margin
constexpr double line_centre = 29.0; // the caption line's middle below the card's top
constexpr double text_height = 37.0;
constexpr double figure_left = 12.0; // the figure is centred on this plus half of figure_width
constexpr double figure_width = 40.0;
constexpr double hour_left = 68.0;
constexpr double minute_left = 106.0;
constexpr double clock_width = 30.0;
constexpr int figure_font = 28;
constexpr int suffix_font = 15;
constexpr int clock_font = 28;
constexpr rgb figure_colour{46, 66, 60};
constexpr UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

std::wstring two_digits(int value) {
    std::wstring text = int_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

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

order_card::time_left order_card::time_left_text(int64_t minutes) {
    // Held to three characters, as the time box's left field shows them.
    if (minutes < 60) {
        return {int64_to_wstring(std::max<int64_t>(minutes, -99)), L""};
    }
    return {int64_to_wstring(std::min<int64_t>(minutes / 60, 999)), L"ч"};
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
    const float s = scale();
    pictures_[time_box_id - first_picture]->draw(g, box.x, box.y);
    std::shared_ptr<const server_clock> clock;
    if (const auto* c = controller_::controller::instance()) {
        clock = c->get_server_clock();
    }
    const int64_t now = clock ? clock->server_now() : now_seconds();
    const int64_t zone = clock ? clock->server_seconds() : 0;
    const time_left left = time_left_text(ms_minus_seconds(time_, now) / 60 / 1000);

    const int h = scaled(text_height, s);
    const font_holder figure_font_holder(scaled(figure_font, s), 700);
    const font_holder suffix_font_holder(scaled(suffix_font, s), 400);
    const int fw = text_extent(form_->get_hwnd(), figure_font_holder, left.figure).width;
    const int sw = left.suffix.empty() ? 0 : text_extent(form_->get_hwnd(), suffix_font_holder, left.suffix).width;
    const int x = box.x + scaled(figure_left, s) + scaled(figure_width, s) / 2 - (fw + sw) / 2;
    g.draw_text(figure_font_holder, rect{x, box.y, fw, h}, left.figure, centred, TRANSPARENT, figure_colour);
    if (!left.suffix.empty()) {
        g.draw_text(suffix_font_holder, rect{x + fw, box.y, sw, h}, left.suffix, centred, TRANSPARENT, figure_colour);
    }

    const int64_t t = time_ / 1000 + zone;
    const font_holder clock_font_holder(scaled(clock_font, s), 400);
    const int cw = scaled(clock_width, s);
    g.draw_text(clock_font_holder, rect{box.x + scaled(hour_left, s), box.y, cw, h}, two_digits(unix_time_hour(t)),
                centred, TRANSPARENT, rgb{255, 255, 255});
    g.draw_text(clock_font_holder, rect{box.x + scaled(minute_left, s), box.y, cw, h}, two_digits(unix_time_minute(t)),
                centred, TRANSPARENT, rgb{255, 255, 255});
}

} // namespace zel::form
