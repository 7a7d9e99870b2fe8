// Sections: pictures and layout numbers | construction | texts and blocks | scrolling and pen | painting.
#include "form/order/order_info_with_timer.h"

#include "form/controls/image_button.h"
#include "form/controls/multiline_text.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/order/frame_icon_button.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

// --- pictures and layout numbers (design pixels, fonts before scaling)

constexpr int corner_top_left_image = 1018;
constexpr int corner_bottom_left_image = 1017;
constexpr int corner_top_right_image = 1019;
constexpr int corner_bottom_right_image = 1020;
constexpr int cell_image = 2025;
constexpr int colon_image = 2046;
constexpr int call_image = 2190;
// Digit d: its top half at first_digit_image + 2d, its bottom half at the id after.
constexpr int first_digit_image = 2026;

constexpr double clock_top = 55.0; // the digit cells' top below the card's top
constexpr double text_gap = 10.0;  // between the cells' bottom and block 1
constexpr double side = 15.0;      // the blocks' and the caption's inset from the sides
constexpr double caption_height = 45.0;
constexpr int caption_font = 28;
constexpr int block_font = 40;
constexpr unsigned block_colours[3] = {0xFFFFFF, 0xCFD3D3, 0xFFFFFF};
constexpr double step = 40.0; // one scroll step
constexpr double call_width = 400.0;
constexpr double call_height = 117.0;
constexpr rgb top_colour{22, 23, 25};
constexpr rgb bottom_colour{35, 40, 48};
const wchar_t* const call_caption = L"Позвонить клиенту";
const wchar_t* const no_time = L"9999";

} // namespace

// --- construction

order_info_with_timer::order_info_with_timer(manager_2* form, const rect& r, std::function<void()> on_call)
    : control(form, r), corner_tl_(form_image(form, corner_top_left_image)),
      corner_bl_(form_image(form, corner_bottom_left_image)), corner_tr_(form_image(form, corner_top_right_image)),
      corner_br_(form_image(form, corner_bottom_right_image)), cell_(form_image(form, cell_image)),
      colon_(form_image(form, colon_image)), up_image_(form_image(form, arrow_up_image)),
      up_pressed_(form_image(form, arrow_up_pressed_image)), down_image_(form_image(form, arrow_down_image)),
      down_pressed_(form_image(form, arrow_down_pressed_image)), call_icon_(form_image(form, call_image)) {
    for (int d = 0; d < 10; ++d) {
        digits_.emplace_back(form_image(form, first_digit_image + 2 * d),
                             form_image(form, first_digit_image + 2 * d + 1));
    }
    const float s = scale();
    text_top_ = r.y + scaled(clock_top, s) + scaled(text_gap, s) + cell_->height();
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        blocks_[i] =
            std::make_unique<multiline_text>(form, r.x + scaled(side, s), text_top_, r.w - scaled(2 * side, s));
        blocks_[i]->set_font(block_font, false);
        blocks_[i]->set_color(block_colours[i]);
        blocks_[i]->set_visible(false);
    }
    const int aw = up_image_->width();
    const int ah = up_image_->height();
    up_ = std::make_unique<image_button>(
        form, rect{r.x + r.w - aw, r.y, aw, ah}, [this] { on_scroll_up(); }, up_image_, up_pressed_);
    down_ = std::make_unique<image_button>(
        form, rect{r.x + r.w - aw, r.y + r.h - ah, aw, ah}, [this] { on_scroll_down(); }, down_image_, down_pressed_);
    for (image_button* arrow : {up_.get(), down_.get()}) {
        arrow->set_visible(false);
        arrow->set_enabled(false);
    }
    call_ = std::make_unique<frame_icon_button>(form, call_button_rect(), std::move(on_call), call_icon_, call_caption);
    call_->set_visible(false);
}

order_info_with_timer::~order_info_with_timer() = default;

float order_info_with_timer::scale() const {
    return form_ ? form_->get_scale() : 1.0f;
}

// Centred where the clock is drawn, moved by the offset like the rest of the card.
rect order_info_with_timer::call_button_rect() const {
    const float s = scale();
    const int bw = scaled(call_width, s);
    const int bh = scaled(call_height, s);
    const int top = rect_.y + scaled(clock_top, s) + cell_->height() / 2 - colon_->height() / 2 + bh / 4 + offset_;
    return rect{rect_.x + rect_.w / 2 - bw / 2, top - bh / 2, bw, bh};
}

// --- texts and blocks

void order_info_with_timer::set_order_text(const std::wstring& text) {
    caption_ = text;
    invalidate();
}

void order_info_with_timer::set_timer_text(const std::wstring& text) {
    timer_ = text;
    invalidate();
}

void order_info_with_timer::place_blocks(int from) {
    for (int i = from; i < 3; ++i) {
        multiline_text& b = *blocks_[static_cast<std::size_t>(i)];
        const rect& r = b.get_rect_c();
        int top = text_top_ + offset_;
        if (i > 0) {
            const rect& above = blocks_[static_cast<std::size_t>(i - 1)]->get_rect_c();
            top = above.y + above.h;
        }
        b.set_position(r.x, top, r.w);
    }
}

// Block 1 keeps the offset like the others: placed at the unscrolled top, a refill while scrolled would make the
// first block jump back over the caption while the blocks under it stayed scrolled.
void order_info_with_timer::set_block_1(const std::wstring& text) {
    place_blocks(0);
    blocks_[0]->set_text(text);
    blocks_[0]->set_visible(true);
    place_blocks(1);
    update_scroll();
    invalidate();
}

void order_info_with_timer::set_block_2(const std::wstring& text) {
    place_blocks(1);
    blocks_[1]->set_text(text);
    blocks_[1]->set_visible(true);
    place_blocks(2);
    update_scroll();
    invalidate();
}

void order_info_with_timer::set_block_3(const std::wstring& text) {
    place_blocks(2);
    blocks_[2]->set_text(text);
    blocks_[2]->set_visible(true);
    update_scroll();
    invalidate();
}

void order_info_with_timer::set_call_button_visible(bool visible) {
    call_->set_visible(visible);
    invalidate();
}

void order_info_with_timer::set_figures(int32_t, int32_t) {}
void order_info_with_timer::set_kind(int32_t) {}
void order_info_with_timer::set_time(int64_t) {}

// --- scrolling and pen

void order_info_with_timer::update_scroll() {
    const rect& last = blocks_[2]->get_rect_c();
    const bool down = last.y + last.h > rect_.y + rect_.h;
    down_->set_visible(down);
    down_->set_enabled(down);
    const bool up = offset_ < 0;
    up_->set_visible(up);
    up_->set_enabled(up);
}

void order_info_with_timer::on_scroll_up() {
    offset_ += scaled(step, scale());
    if (offset_ > 0) {
        offset_ = 0;
    }
    place_blocks(0);
    call_->set_rect(call_button_rect());
    invalidate();
}

void order_info_with_timer::on_scroll_down() {
    offset_ -= scaled(step, scale());
    place_blocks(0);
    call_->set_rect(call_button_rect());
    invalidate();
}

void order_info_with_timer::on_pen_down(int x, int y) {
    up_->on_pen_down(x, y);
    down_->on_pen_down(x, y);
    if (call_->is_visible()) {
        call_->on_pen_down(x, y);
    }
    update_scroll();
}

void order_info_with_timer::on_pen_up(int x, int y) {
    up_->on_pen_up(x, y);
    down_->on_pen_up(x, y);
    if (call_->is_visible()) {
        call_->on_pen_up(x, y);
    }
    update_scroll();
}

// --- painting

void order_info_with_timer::paint(Graphics& g, const rect& update, int, int) {
    if (!visible_) {
        return;
    }
    const float s = scale();
    const rect& r = rect_;
    g.save();
    g.clip_to(r);
    g.gradient_fill({r.x + 1, r.y + 1}, {r.x + r.w - 1, r.y + r.h - 1}, top_colour, bottom_colour, 1);
    corner_tl_->draw(g, r.x, r.y);
    corner_bl_->draw(g, r.x, r.y + r.h - corner_bl_->height() + 1);
    corner_tr_->draw(g, r.x + r.w - corner_tr_->width() + 1, r.y);
    corner_br_->draw(g, r.x + r.w - corner_br_->width() + 1, r.y + r.h - corner_br_->height() + 1);

    font_holder caption_font_holder(scaled(caption_font, s), 700);
    const rect caption_rect{r.x + scaled(side, s), r.y + offset_, static_cast<int>(r.w * 2.0 / 3.0),
                            scaled(caption_height, s)};
    g.draw_text(caption_font_holder, caption_rect, caption_, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS, TRANSPARENT,
                rgb{255, 255, 255});

    if (call_->is_visible()) {
        painted_digits_.clear();
        call_->paint(g, update, 0, 0);
    } else {
        draw_timer(g);
    }
    for (const auto& b : blocks_) {
        b->paint(g, update, 0, 0);
    }
    paint_info(g);
    for (image_button* arrow : {up_.get(), down_.get()}) {
        if (arrow->is_visible() && arrow->is_enabled()) {
            arrow->paint(g, update, 0, 0);
        }
    }
    g.restore();
}

void order_info_with_timer::draw_timer(Graphics& g) {
    const float s = scale();
    const int cw = cell_->width();
    const int ch = cell_->height();
    const int colw = colon_->width();
    const int cx = rect_.x + rect_.w / 2 - colw / 2;
    const int cy = rect_.y + scaled(clock_top, s) + offset_;
    colon_->draw(g, cx, cy + ch / 2 - colon_->height() / 2);
    if (timer_.size() != 4) {
        timer_ = no_time;
    }
    const int lefts[4] = {cx - 2 * cw, cx - cw, cx + colw, cx + colw + cw};
    const int top_half = digits_[0].first->height();
    painted_digits_.clear();
    for (int i = 0; i < 4; ++i) {
        cell_->draw(g, lefts[i], cy);
        const wchar_t c = timer_[static_cast<std::size_t>(i)];
        const int d = c >= L'0' && c <= L'9' ? c - L'0' : 0;
        digits_[static_cast<std::size_t>(d)].first->draw(g, lefts[i], cy + ch / 2 - top_half);
        digits_[static_cast<std::size_t>(d)].second->draw(g, lefts[i], cy + ch / 2);
        painted_digits_ += static_cast<wchar_t>(L'0' + d);
    }
}

void order_info_with_timer::paint_info(Graphics&) {}

} // namespace zel::form
