// Sections: the box | the offer's time | the notices' parts.
#include "form/order/panel_order_offer_fine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "controller/controller.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/caption_value_box.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/saturating.h"
#include "foundation/server_clock.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

// The box in design pixels and its pictures.
constexpr double box_width = 507.0;
constexpr double box_height = 518.0;
constexpr int bottom_id = 2019;
constexpr int middle_id = 2020;
constexpr int top_id = 2021;

// The notices' parts: margin, title height, "Прочитал" height, the gap between the fine boxes' inner edges.
constexpr double margin = 15.0;
constexpr double title_height = 40.0;
constexpr double read_height = 70.0;
constexpr double box_gap = 10.0;
constexpr int title_font = 28;
constexpr unsigned title_colour = 0xFFD11F;
constexpr int read_font = 35;

std::wstring two_digits(int64_t value) {
    std::wstring text = int64_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

} // namespace

panel_order_offer_fine::panel_order_offer_fine(manager_2& form) : form_(form) {}

panel_order_offer_fine::~panel_order_offer_fine() = default;

// --- the box

void panel_order_offer_fine::layout() {
    const float s = form_.get_scale();
    const rect& screen = screen_;
    int H = std::min(scaled(box_height, s), screen.h);
    const int W = std::min(scaled(box_width, s), screen.w);
    content_ = rect{screen.x + screen.w / 2 - W / 2, screen.y + screen.h / 2 - H / 2, W, H};
    // Centred on the screen, a box taller than the room below the status strip would lie under the strip,
    // which covers its title: such a box is fitted into the work rectangle and centred on it instead.
    const rect& work = own_rect();
    if (work.h > 0 && content_.y < work.y) {
        H = std::min(H, work.h);
        content_.h = H;
        content_.y = work.y + work.h / 2 - H / 2;
    }

    const skin_images* skin = form_.get_skin_images();
    top_image_ = skin_images::image_of(skin, top_id);
    middle_image_ = skin_images::image_of(skin, middle_id);
    bottom_image_ = skin_images::image_of(skin, bottom_id);
    top_image_->resize(W, top_image_->height());
    bottom_image_->resize(W, bottom_image_->height());
    const int middle_height = H - bottom_image_->height() - top_image_->height();
    if (middle_height > 0) {
        middle_image_->resize(W, middle_height);
    } else {
        middle_image_ = std::make_shared<Image>(); // top and bottom already fill the box
    }

    top_ = rect{content_.x, content_.y, W, top_image_->height()};
    middle_ = rect{content_.x, content_.y + top_image_->height(), W, std::max(0, middle_height)};
    bottom_ = rect{content_.x, middle_.y + middle_.h, W, bottom_image_->height()};

    // Blending the corners over what the last paint of the box left there would darken them a little more with
    // every repaint; they are blended over this copy instead.
    beneath_.reset();
    if (const Graphics* back = form_.back_buffer(); back && content_.w > 0 && content_.h > 0) {
        beneath_ = std::make_unique<Graphics>(content_.w, content_.h, back->dc());
        back->blit_to(*beneath_, rect{0, 0, content_.w, content_.h}, content_.x, content_.y);
    }
}

void panel_order_offer_fine::release_images() {
    beneath_.reset();
    top_image_.reset();
    middle_image_.reset();
    bottom_image_.reset();
}

void panel_order_offer_fine::paint_background(Graphics& g, const rect& update) {
    if (beneath_) {
        const rect under = intersection(update, content_);
        if (under.w > 0 && under.h > 0) {
            beneath_->blit_to(g, under, under.x - content_.x, under.y - content_.y);
        }
    }
    const std::pair<const rect*, Image*> pieces[] = {
        {&top_, top_image_.get()}, {&middle_, middle_image_.get()}, {&bottom_, bottom_image_.get()}};
    for (const auto& [r, image] : pieces) {
        if (image && rect_overlaps(*r, update)) {
            image->draw(g, r->x, r->y);
        }
    }
}

// --- the offer's time

panel_order_offer_fine::offer_ptr panel_order_offer_fine::current_offer() {
    const controller* c = controller::instance();
    return c ? c->get_order_offer() : nullptr;
}

int64_t panel_order_offer_fine::seconds_left(const zel_api::command::order_offer& offer) {
    const controller* c = controller::instance();
    const auto clock = c ? c->get_server_clock() : nullptr;
    const int64_t now = clock ? clock->server_now() : now_seconds();
    return saturating_sub(offer.deadline_time / 1000, now);
}

std::wstring panel_order_offer_fine::countdown_text(int64_t seconds) {
    // A deadline hours away is held at 999:59, which still fits the buttons' countdown fields.
    constexpr int64_t longest = 999 * 60 + 59;
    seconds = std::clamp<int64_t>(seconds, 0, longest);
    return two_digits(seconds / 60) + L":" + two_digits(seconds % 60);
}

std::wstring panel_order_offer_fine::fine_text(int64_t fine, int64_t largest) {
    // A fine is a loss whatever its sign on the wire: a negative one shows its size rather than a second minus.
    const int64_t size = fine < 0 ? (fine < -largest ? largest : -fine) : std::min(fine, largest);
    return L"-" + int64_to_wstring(size);
}

std::wstring panel_order_offer_fine::reward_text(int64_t reward) {
    // A negative reward is none.
    return L"+" + int64_to_wstring(std::clamp<int64_t>(reward, 0, badge_largest));
}

int32_t panel_order_offer_fine::truncated(double value) {
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    if (std::isnan(value)) {
        log(logger::warning, L"panel_order_offer_fine: a sum that is not a number reads 0");
        return 0;
    }
    if (value < low || value > high) {
        log(logger::warning, L"panel_order_offer_fine: a sum beyond the 32-bit range is held at its end");
        return value < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

// --- the notices' parts

void panel_order_offer_fine::on_read() {
    form_.pop_to_first();
}

frame_text_button& panel_order_offer_fine::make_read_button() {
    const float s = form_.get_scale();
    const rect& C = content_;
    const int bw = static_cast<int>(static_cast<float>(C.w) - s * static_cast<float>(2 * margin));
    const int bh = scaled(read_height, s);
    const int y = static_cast<int>(static_cast<float>(C.y - bh + C.h) - s * static_cast<float>(margin));
    auto& read = add<frame_text_button>(
        1, &form_, rect{C.x + C.w / 2 - bw / 2, y, bw, bh}, [this] { on_read(); }, L"Прочитал");
    read.set_font(read_font, 700);
    return read;
}

text_label& panel_order_offer_fine::make_title(const std::wstring& text) {
    const float s = form_.get_scale();
    const rect& C = content_;
    const float m = s * static_cast<float>(margin);
    const rect r{static_cast<int>(m + static_cast<float>(C.x)), static_cast<int>(m + static_cast<float>(C.y)),
                 static_cast<int>(static_cast<float>(C.w) - 2 * m), scaled(title_height, s)};
    auto& title = add<text_label>(1, &form_, r, L"");
    title.set_font_size(title_font);
    title.set_color(title_colour);
    title.set_text(text, 700);
    return title;
}

panel_order_offer_fine::fine_boxes panel_order_offer_fine::make_fine_boxes() {
    const float s = form_.get_scale();
    const rect& C = content_;
    fine_boxes boxes{&add<caption_value_box>(1, &form_), &add<caption_value_box>(1, &form_)};
    const int w = boxes.rating->get_rect().w;
    const int h = boxes.rating->get_rect().h;
    const float middle = static_cast<float>(C.x + C.w / 2);
    const int y = C.y + C.h / 2 - h;
    const float gap = s * static_cast<float>(box_gap);
    boxes.rating->set_rect(rect{static_cast<int>(middle - gap - static_cast<float>(w)), y, w, h});
    boxes.rating->set_caption(L"РЕЙТИНГ");
    boxes.roubles->set_rect(
        rect{static_cast<int>(middle + gap), y, boxes.roubles->get_rect().w, boxes.roubles->get_rect().h});
    boxes.roubles->set_caption(L"РУБЛЕЙ");
    return boxes;
}

void panel_order_offer_fine::fill_fine_boxes(const fine_boxes& boxes, const zel_api::command::order_offer& offer) {
    boxes.rating->set_value(fine_text(offer.fine_rating, box_largest));
    boxes.rating->set_visible(offer.fineable && offer.fine_rating != 0);
    boxes.roubles->set_value(fine_text(truncated(offer.fine_sum), box_largest));
    boxes.roubles->set_visible(offer.fineable && offer.fine_sum != 0.0);
}

} // namespace zel::form
