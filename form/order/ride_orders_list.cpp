#include "form/order/ride_orders_list.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/controls/elapsed_time_box.h"
#include "form/controls/image_box.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

// "st" to its class tag, in the order of the tags' ids.
constexpr std::pair<int32_t, int> class_tags[] = {{11, 7014}, {2, 7015}, {15, 7016}, {14, 7017}, {8, 7018}, {17, 7019},
                                                  {1, 7020},  {4, 7021}, {13, 7022}, {12, 7023}, {9, 7024}};
constexpr int first_tag_id = 7014;

constexpr float margin_share = 0.03f; // of the face's height: the margin m

// Design lengths from the row's top.
constexpr double line1_top = 50.0;
constexpr double line2_top = 96.0;
constexpr double line3_top = 142.0;
constexpr double line_height = 46.0;
constexpr double line3_height = 78.0;

// The own tariff's name keeps this far inside its tag's sides, clear of the border and the round corners.
constexpr double tag_inset = 4.0;

// Font sizes.
constexpr double tag_font = 38.0;
constexpr double line_font = 40.0;
constexpr double figure_font = 45.0;
constexpr double figure_unit_font = 25.0;

constexpr rgb note_grey{207, 211, 211};
constexpr rgb money{255, 195, 0};
constexpr rgb distance{50, 155, 5};

// A name too long for its tag even in the smallest font ends in "...".
constexpr UINT tag_format = DT_SINGLELINE | DT_CENTER | DT_WORD_ELLIPSIS;
constexpr UINT line_format = DT_SINGLELINE | DT_VCENTER;
constexpr UINT unit_format = DT_SINGLELINE | DT_BOTTOM;
constexpr UINT right_unit_format = DT_SINGLELINE | DT_BOTTOM | DT_RIGHT;
constexpr UINT right_figure_format = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;

constexpr uint64_t flagged_bit = 0x20;

void stretch_middle(Image& middle, int row_width, const Image& left, const Image& right) {
    const int fill = row_width - right.width() - left.width();
    if (fill > 0 && fill != middle.width()) {
        middle.resize(fill, middle.height());
    }
}

// The whole roubles of a sum, as the row writes them; sums beyond any fare stop at two milliard.
std::wstring whole_roubles(float sum) {
    return int_to_wstring(sum < 2.0e9f ? static_cast<int32_t>(sum) : 2000000000);
}

} // namespace

ride_orders_list::ride_orders_list(manager_2* form, int row_width, std::function<void(int)> on_click)
    : form_(form), row_width_(row_width), on_click_(std::move(on_click)), pressed_middle_(form_image(form, 7001)),
      pressed_left_(form_image(form, 7002)), pressed_right_(form_image(form, 7003)),
      normal_middle_(form_image(form, 7004)), normal_left_(form_image(form, 7005)),
      normal_right_(form_image(form, 7006)), own_tariff_(form_image(form, 7062)), time_box_(form_image(form, 7025)),
      cashless_(form_image(form, 7007)), trade_(form_image(form, 7009)), flagged_(form_image(form, 7011)),
      star_(form_image(form, 7013)) {
    for (const auto& [st, id] : class_tags) {
        class_tags_[id] = form_image(form, id);
    }
    // The face's middles are one column wide in the skin: stretched once to the rows' width.
    stretch_middle(*pressed_middle_, row_width, *pressed_left_, *pressed_right_);
    stretch_middle(*normal_middle_, row_width, *normal_left_, *normal_right_);
}

ride_orders_list::~ride_orders_list() = default;

int ride_orders_list::class_image_id(int32_t st) {
    for (const auto& [value, id] : class_tags) {
        if (value == st) {
            return id;
        }
    }
    return 0;
}

void ride_orders_list::set_rows(rows orders) {
    orders_ = std::move(orders);
    not_drawn_.assign(orders_.size(), true);
}

int ride_orders_list::row_count() const {
    return static_cast<int>(orders_.size());
}

size ride_orders_list::row_size(int) const {
    return size{row_width_, pressed_middle_->height()};
}

void ride_orders_list::row_clicked(int row) {
    if (on_click_) {
        on_click_(row);
    }
}

int ride_orders_list::row_selected(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < not_drawn_.size() ? (not_drawn_[row] ? 1 : 0) : 1;
}

void ride_orders_list::draw_face(Graphics& face, int width, int height, bool pressed) {
    face.fill_rect(rect{0, 0, width, height}, brush_holder(slate_colour));
    Image& left = pressed ? *pressed_left_ : *normal_left_;
    Image& middle = pressed ? *pressed_middle_ : *normal_middle_;
    Image& right = pressed ? *pressed_right_ : *normal_right_;
    left.draw(face, 0, 0);
    middle.draw(face, left.width(), 0);
    right.draw(face, width - right.width(), 0);
}

void ride_orders_list::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || row >= row_count()) {
        return;
    }
    not_drawn_[row] = false;
    faces_.blit(g, r, row == pressed_row, [this](Graphics& face, int width, int height, bool pressed) {
        draw_face(face, width, height, pressed);
    });

    const zel_api::command::order& o = *orders_[static_cast<std::size_t>(row)];
    const int m = static_cast<int>(static_cast<float>(pressed_middle_->height()) * margin_share);
    draw_class(g, o, r.x + m, r.y);
    if (o.ttp && *o.ttp == 1) {
        draw_time_box(g, o, r.x + class_tags_[first_tag_id]->width() + m, r.y);
    }
    draw_lines(g, o, r, m);
    draw_marks(g, o, r, m);
}

void ride_orders_list::draw_class(Graphics& g, const zel_api::command::order& o, int left, int top) {
    if (o.dct) {
        // The order's own tariff whatever its class: the tag with the tariff's name on it.
        own_tariff_->draw(g, left, top);
        // The name's font steps down until the name fits inside the tag.
        const float s = form_->get_scale();
        const int inset = scaled(tag_inset, s);
        const int room = own_tariff_->width() - 2 * inset;
        font_holder font(fitted_font_height(form_->get_hwnd(), o.dct->n_ref(), room, 500, tag_font, tag_font / 2, s),
                         500);
        g.draw_text(font, rect{left + inset, top, room, own_tariff_->height()}, o.dct->n_ref(), tag_format, TRANSPARENT,
                    black);
        return;
    }
    if (const int id = o.st ? class_image_id(*o.st) : 0) {
        class_tags_[id]->draw(g, left, top);
    }
}

void ride_orders_list::draw_time_box(Graphics& g, const zel_api::command::order& o, int left, int top) {
    if (!o.tt) {
        return; // a preliminary order without its time: nothing to count down to
    }
    time_box_->draw(g, left, top);
    int64_t now = now_seconds();
    int64_t zone = 0;
    if (auto* c = controller_::controller::instance()) {
        if (const auto clock = c->get_server_clock()) {
            now = clock->server_now();
            zone = clock->server_seconds();
        }
    }
    // Minutes (or whole hours) left until the order's time, and its time of day.
    elapsed_time_box::paint_texts(g, form_->get_hwnd(), form_->get_scale(), left, top,
                                  elapsed_time_box::texts_for(*o.tt, now, zone));
}

void ride_orders_list::draw_lines(Graphics& g, const zel_api::command::order& o, const rect& r, int margin) {
    const float s = form_->get_scale();
    const int text_x = r.x + 2 * margin;
    const int text_w = r.w - 4 * margin;
    const int line_h = scaled(line_height, s);

    if (!o.af.t.empty()) {
        font_holder font(scaled(line_font, s), 700);
        g.draw_text(font, rect{text_x, r.y + scaled(line1_top, s), text_w, line_h}, o.af.t, line_format, TRANSPARENT,
                    white);
    }

    const int line2_y = r.y + scaled(line2_top, s);
    const float sum = o.msum.value_or(0.0f);
    const int32_t metres = o.dist_to_driver.value_or(0);
    if (o.ttp && *o.ttp == 0 && (sum > 0.01f || metres > 0.01f)) {
        font_holder figure(scaled(figure_font, s), 700);
        font_holder unit(scaled(figure_unit_font, s), 400);
        if (sum > 0) {
            const std::wstring roubles = whole_roubles(sum);
            const int width = text_extent(form_->get_hwnd(), figure, roubles).width;
            g.draw_text(figure, rect{text_x, line2_y, width, line_h}, roubles, line_format, TRANSPARENT, money);
            const wchar_t* sign = L" р.";
            const int sign_width = text_extent(form_->get_hwnd(), unit, sign).width;
            g.draw_text(unit, rect{text_x + width, line2_y, sign_width, line_h}, sign, unit_format, TRANSPARENT, money);
        }
        if (metres > 0) {
            const wchar_t* km = L" км";
            const int km_width = text_extent(form_->get_hwnd(), unit, km).width;
            g.draw_text(unit, rect{text_x, line2_y, text_w, line_h}, km, right_unit_format, TRANSPARENT, distance);
            g.draw_text(figure, rect{text_x, line2_y, text_w - km_width, line_h},
                        float1_to_wstring(static_cast<float>(metres) * 0.001f), right_figure_format, TRANSPARENT,
                        distance);
        }
    } else if (!o.af.tx.empty()) {
        font_holder font(scaled(line_font, s), 400);
        g.draw_text(font, rect{text_x, line2_y, text_w, line_h}, o.af.tx, line_format, TRANSPARENT, note_grey);
    }

    if (!o.at.empty()) {
        font_holder font(scaled(line_font, s), 400);
        g.draw_text(font, rect{text_x, r.y + scaled(line3_top, s), text_w, scaled(line3_height, s)},
                    o.at.back().t + o.at.back().tx, line_format, TRANSPARENT, white);
    }
}

void ride_orders_list::draw_marks(Graphics& g, const zel_api::command::order& o, const rect& r, int margin) {
    auto corner = [&](Image& badge) { badge.draw(g, r.x + r.w - badge.width(), r.y + r.h - badge.height()); };
    if (o.of && (*o.of & flagged_bit) != 0) {
        corner(*flagged_);
    }
    if (o.trade && *o.trade) {
        corner(*trade_);
    }
    if (o.icl && *o.icl == 1) {
        corner(*cashless_);
    }
    const int star_width = star_->width();
    if (!o.star || *o.star <= 0 || star_width <= 0) {
        return;
    }
    // No more stars than the row holds: a wild count draws a full row, not a long stall.
    const int fit = std::max(0, (r.w - 2 * margin) / star_width);
    const int stars = std::min(*o.star, fit);
    const int top = r.y + class_tags_[first_tag_id]->height() / 2;
    for (int i = 0; i < stars; ++i) {
        star_->draw(g, r.x + r.w - 2 * margin - star_width * (i + 1), top);
    }
}

} // namespace zel::form
