// Sections: pictures and layout numbers | show and hide | refresh | commands and arrows | row drawing.
#include "form/order/panel_orders_list.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/elapsed_time_box.h"
#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/order_figures.h"
#include "form/order/take_order_param.h"
#include "form/shell/manager_2.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;
using zel_api::command::order;

namespace {

// --- pictures and layout numbers

constexpr int pressed_middle = 7001;
constexpr int pressed_left = 7002;
constexpr int pressed_right = 7003;
constexpr int normal_middle = 7004;
constexpr int normal_left = 7005;
constexpr int normal_right = 7006;
constexpr int own_tariff_label = 7062;
constexpr int cashless_badge = 7007;
constexpr int trade_badge = 7009;
constexpr int option_badge = 7011; // the "of" 0x20 badge, as the ride's orders list draws it
constexpr int star_image = 7013;
constexpr int osid_badge = 7060;
constexpr int time_box = 7025;
constexpr int first_status_icon = 7014;

constexpr int image_ids[] = {pressed_middle,
                             pressed_left,
                             pressed_right,
                             normal_middle,
                             normal_left,
                             normal_right,
                             7014,
                             7015,
                             7016,
                             7017,
                             7018,
                             7019,
                             7020,
                             7021,
                             7022,
                             7023,
                             7024,
                             own_tariff_label,
                             cashless_badge,
                             trade_badge,
                             option_badge,
                             star_image,
                             osid_badge,
                             time_box,
                             arrow_up_image,
                             arrow_up_pressed_image,
                             arrow_down_image,
                             arrow_down_pressed_image};

// The status icon of an order class ("st"); 0 for a class without one.
int status_icon(int32_t st) {
    static const std::map<int32_t, int> icons = {{1, 7020},  {2, 7015},  {4, 7021},  {8, 7018},  {9, 7024}, {11, 7014},
                                                 {12, 7023}, {13, 7022}, {14, 7017}, {15, 7016}, {17, 7019}};
    const auto it = icons.find(st);
    return it == icons.end() ? 0 : it->second;
}

constexpr int preliminary = 1;
constexpr int osid_marked = 5;
constexpr uint64_t of_badge_bit = 0x20;
constexpr int cashless = 1;

// Design lengths (times the scale), from a row's top or from the clock picture's left edge.
constexpr double line1_top = 50;
constexpr double line2_top = 96;
constexpr double line3_top = 142;
constexpr double line_height = 46;
constexpr double line3_height = 78;
constexpr double margin_share = 0.03;
// The own tariff's name keeps this far inside its label's sides, clear of the border and the round corners.
constexpr double label_inset = 4;

constexpr double label_font = 38;
constexpr double smallest_label_font = label_font / 2;
constexpr double line_font = 40;
constexpr double figure_font = 45;
constexpr double sign_font = 25;

constexpr rgb secondary{207, 211, 211};
constexpr rgb sum_colour{255, 195, 0};
constexpr rgb distance_colour{50, 155, 5};
constexpr rgb star_colour{255, 195, 0};

constexpr UINT centred_line = DT_SINGLELINE | DT_CENTER; // 33
// A name too long for its label even in the smallest font ends in "...".
constexpr UINT label_format = centred_line | DT_WORD_ELLIPSIS;
constexpr UINT left_middle = DT_SINGLELINE | DT_VCENTER;              // 36
constexpr UINT centred_both = DT_SINGLELINE | DT_VCENTER | DT_CENTER; // 37
constexpr UINT right_middle = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;  // 38
constexpr UINT left_bottom = DT_SINGLELINE | DT_BOTTOM;               // 40
constexpr UINT right_bottom = DT_SINGLELINE | DT_BOTTOM | DT_RIGHT;   // 42

} // namespace

panel_orders_list::panel_orders_list(manager_2& form) : form_(form) {
    log(logger::info, L"panel_orders_list::panel_orders_list");
}

panel_orders_list::~panel_orders_list() = default;

std::shared_ptr<Image> panel_orders_list::picture(int image_id) const {
    const auto it = images_.find(image_id);
    return it == images_.end() ? std::make_shared<Image>() : it->second;
}

// --- show and hide

void panel_orders_list::show(const panel_param* param) {
    const skin_images* skin = form_.get_skin_images();
    images_.clear();
    for (int image_id : image_ids) {
        images_[image_id] = skin_images::image_of(skin, image_id);
    }
    view_ = &add<list_view>(1, &form_, own_);
    view_->set_source(this);
    view_->set_enabled(true);
    view_->set_visible(true);

    const int middle_width = own_.w - picture(pressed_right)->width() - picture(pressed_left)->width();
    for (int middle : {pressed_middle, normal_middle}) {
        const std::shared_ptr<Image> image = picture(middle);
        image->resize(middle_width, image->height());
    }

    const int aw = picture(arrow_up_image)->width();
    const int ah = picture(arrow_up_image)->height();
    up_ = &add<image_button>(
        2, &form_, rect{screen_.x + screen_.w - aw, screen_.y, aw, ah}, [this] { on_arrow_up(); },
        picture(arrow_up_image), picture(arrow_up_pressed_image));
    down_ = &add<image_button>(
        2, &form_, rect{screen_.x + screen_.w - aw, screen_.y + screen_.h - ah, aw, ah}, [this] { on_arrow_down(); },
        picture(arrow_down_image), picture(arrow_down_pressed_image));

    margin_ = static_cast<int>(picture(pressed_middle)->height() * margin_share);

    const auto* mode = param_as<number_param>(param);
    if (!mode) {
        log(logger::warning, L"panel_orders_list::show: no list mode; the list stays as it was");
    }
    mode_ = mode ? static_cast<int>(mode->value) : 0;
    refresh();
    view_->reset_first_row();
    resize_new_flags();
}

void panel_orders_list::hide() {
    // The controls are the panel base's: the clear after hide destroys them.
    view_ = nullptr;
    up_ = nullptr;
    down_ = nullptr;
    images_.clear();
    clear_map();
}

void panel_orders_list::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

// --- refresh

bool panel_orders_list::order_time_less(const order_ptr& a, const order_ptr& b) {
    // The design ordered nothing against an order without "tt" while ordering the others, which is no strict
    // weak order: std::sort could then read past the rows.
    if (!a->tt) {
        return false;
    }
    if (!b->tt) {
        return true;
    }
    return *a->tt < *b->tt;
}

void panel_orders_list::refresh() {
    const controller* c = controller::instance();
    if (!c) {
        return;
    }
    switch (mode_) {
    case 1:
        build_rows();
        break;
    case 2:
        sort_rows();
        break;
    case 3:
        rows_ = c->get_orders_3();
        break;
    default:
        break;
    }
    if (view_) {
        const int last = std::max(0, static_cast<int>(rows_.size()) - 1);
        if (view_->first_row_ref() > last) {
            view_->set_first_row(last);
        }
    }
}

void panel_orders_list::build_rows() {
    const auto list = controller::instance()->get_orders_1();
    // Each "s-id" of list 1 to its first record. The views point into the records, which list keeps alive.
    std::unordered_map<std::wstring_view, const order_ptr*> current;
    current.reserve(list.size());
    for (const auto& o : list) {
        current.try_emplace(o->s_id, &o);
    }
    std::vector<order_ptr> kept;
    kept.reserve(rows_.size());
    std::unordered_set<std::wstring_view> held;
    held.reserve(rows_.size() + list.size());
    for (const auto& row : rows_) {
        // The store replaced a re-sent order by a new record: show that one, not the copy the row held.
        if (const auto it = current.find(row->s_id); it != current.end()) {
            kept.push_back(*it->second);
            held.insert((*it->second)->s_id);
        }
    }
    // Orders not yet a row go to the top, each above the ones before it: in reverse order ahead of the kept rows.
    std::vector<order_ptr> added;
    for (const auto& o : list) {
        if (held.insert(o->s_id).second) {
            added.push_back(o);
        }
    }
    const int inserted = static_cast<int>(added.size());
    std::reverse(added.begin(), added.end());
    added.insert(added.end(), std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
    rows_ = std::move(added);
    if (inserted > 0 && now_seconds() - last_scroll_ > keep_place_seconds && view_) {
        view_->reset_first_row();
        form_.invalidate_rect(view_->get_rect());
    }
}

void panel_orders_list::sort_rows() {
    rows_ = controller::instance()->get_orders_2();
    std::stable_sort(rows_.begin(), rows_.end(), order_time_less);
}

void panel_orders_list::resize_new_flags() {
    new_rows_.resize(rows_.size(), true);
}

// --- commands and arrows

void panel_orders_list::on_command(const zel_api::update_mask& mask) {
    const bool orders = mask.test(zel_api::key::order);
    if (orders || mask.test(zel_api::key::odel)) {
        refresh();
        if (view_) {
            form_.invalidate_rect(view_->get_rect());
        }
        clear_map();
        resize_new_flags();
    }
    if (!orders) {
        return;
    }
    const controller* c = controller::instance();
    const auto current = c ? c->get_current_order() : nullptr;
    if (current && current->s && *current->s == 2) {
        form_.pop_to_first_quiet();
        form_.push_panel(panel_ids::on_the_way);
    }
}

void panel_orders_list::on_arrow_up() {
    if (view_) {
        view_->scroll_up();
    }
    last_scroll_ = now_seconds();
}

void panel_orders_list::on_arrow_down() {
    if (view_) {
        view_->scroll_down();
    }
    last_scroll_ = now_seconds();
}

// --- the row source

int panel_orders_list::row_count() const {
    return static_cast<int>(rows_.size());
}

size panel_orders_list::row_size(int) const {
    return {own_.w, picture(pressed_middle)->height()};
}

void panel_orders_list::row_clicked(int row) {
    if (row < 0 || row >= row_count()) {
        return;
    }
    form_.push_panel(panel_ids::take_order, make_take_order_param(mode_, rows_[row]->s_id));
}

int panel_orders_list::row_selected(int row) const {
    if (row < 0 || row >= static_cast<int>(new_rows_.size())) {
        return 1;
    }
    return new_rows_[row] ? 1 : 0;
}

// --- row drawing

void panel_orders_list::draw_face(Graphics& face, int width, int height, bool pressed) {
    face.fill_rect(rect{0, 0, width, height}, brush_holder(slate_colour));
    const int left_width = picture(pressed_left)->width();
    const int right_width = picture(pressed_right)->width();
    picture(pressed ? pressed_left : normal_left)->draw(face, 0, 0);
    picture(pressed ? pressed_middle : normal_middle)->draw(face, left_width, 0);
    picture(pressed ? pressed_right : normal_right)->draw(face, width - right_width, 0);
}

void panel_orders_list::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || row >= row_count()) {
        return;
    }
    if (row < static_cast<int>(new_rows_.size())) {
        new_rows_[row] = false;
    }
    const order& o = *rows_[row];
    g.fill_rect(r, brush_holder(slate_colour));
    faces_.blit(g, r, row == pressed_row, [this](Graphics& face, int width, int height, bool pressed) {
        draw_face(face, width, height, pressed);
    });

    int icon_width = 0;
    draw_status_icon(g, r, o, icon_width);
    // The stars stop short of what the top line already holds: the status icon, and the time box beside it.
    int taken = icon_width > 0 ? r.x + margin_ + icon_width : r.x;
    if (o.st && o.ttp && *o.ttp == preliminary) {
        taken = std::max(taken, draw_preliminary_time(g, r, o, icon_width));
    }
    draw_lines(g, r, o);
    draw_badges(g, r, o);
    draw_stars(g, r, o, taken);
}

void panel_orders_list::draw_status_icon(Graphics& g, const rect& r, const order& o, int& icon_width) {
    const float s = form_.get_scale();
    std::shared_ptr<Image> icon;
    if (o.dct) {
        icon = picture(own_tariff_label);
    } else if (o.st) {
        const int image_id = status_icon(*o.st);
        icon = image_id ? picture(image_id) : nullptr;
    }
    if (!icon) {
        return;
    }
    icon->draw(g, r.x + margin_, r.y);
    icon_width = icon->width();
    if (o.dct) {
        // The name's font steps down until the name fits inside the label.
        const int room = icon->width() - 2 * scaled(label_inset, s);
        font_holder font(
            fitted_font_height(form_.get_hwnd(), o.dct->n_ref(), room, 500, label_font, smallest_label_font, s), 500);
        g.draw_text(font, rect{r.x + margin_ + scaled(label_inset, s), r.y, room, icon->height()}, o.dct->n_ref(),
                    label_format, TRANSPARENT, black);
    }
}

int panel_orders_list::draw_preliminary_time(Graphics& g, const rect& r, const order& o, int icon_width) {
    const controller* c = controller::instance();
    const auto clock = c ? c->get_server_clock() : nullptr;
    if (!o.tt || !clock) {
        return r.x;
    }
    const int clock_x = r.x + margin_ + icon_width;
    const std::shared_ptr<Image> box = picture(time_box);
    box->draw(g, clock_x, r.y);
    // The minutes until "tt" and its time of day, as the time box of the take order panel counts them.
    elapsed_time_box::paint_texts(g, form_.get_hwnd(), form_.get_scale(), clock_x, r.y,
                                  elapsed_time_box::texts_for(*o.tt, clock->server_now(), clock->server_seconds()));
    return clock_x + box->width();
}

void panel_orders_list::draw_lines(Graphics& g, const rect& r, const order& o) {
    const float s = form_.get_scale();
    const int x = r.x + 2 * margin_;
    const int w = r.w - 4 * margin_;
    const rect line1{x, r.y + scaled(line1_top, s), w, scaled(line_height, s)};
    const rect line2{x, r.y + scaled(line2_top, s), w, scaled(line_height, s)};
    const rect line3{x, r.y + scaled(line3_top, s), w, scaled(line3_height, s)};

    if (!o.af.t.empty()) {
        font_holder bold(scaled(line_font, s), 700);
        g.draw_text(bold, line1, o.af.t, left_middle, TRANSPARENT, white);
    }

    const bool has_sum = o.msum && *o.msum >= 0.01f;
    const bool has_distance = o.dist_to_driver && *o.dist_to_driver >= 1;
    if (o.ttp && *o.ttp == 0 && (has_sum || has_distance)) {
        font_holder figure(scaled(figure_font, s), 700);
        font_holder sign(scaled(sign_font, s), 400);
        if (o.msum && *o.msum > 0) {
            const std::wstring sum = line_roubles_text(*o.msum);
            const int sum_width = text_extent(form_.get_hwnd(), figure, sum).width;
            g.draw_text(figure, rect{line2.x, line2.y, sum_width, line2.h}, sum, left_middle, TRANSPARENT, sum_colour);
            g.draw_text(sign, rect{line2.x + sum_width, line2.y, line2.w - sum_width, line2.h}, L" р.", left_bottom,
                        TRANSPARENT, sum_colour);
        }
        if (o.dist_to_driver && *o.dist_to_driver > 0) {
            const std::wstring km = L" км";
            const int km_width = text_extent(form_.get_hwnd(), sign, km).width;
            g.draw_text(sign, line2, km, right_bottom, TRANSPARENT, distance_colour);
            g.draw_text(figure, rect{line2.x, line2.y, line2.w - km_width, line2.h},
                        line_kilometres_text(*o.dist_to_driver), right_middle, TRANSPARENT, distance_colour);
        }
    } else if (!o.af.tx.empty()) {
        font_holder normal(scaled(line_font, s), 400);
        g.draw_text(normal, line2, o.af.tx, left_middle, TRANSPARENT, secondary);
    }

    if (!o.at.empty()) {
        font_holder normal(scaled(line_font, s), 400);
        g.draw_text(normal, line3, o.at.back().t + L" " + o.at.back().tx, left_middle, TRANSPARENT, white);
    }
}

void panel_orders_list::draw_badges(Graphics& g, const rect& r, const order& o) {
    auto corner = [&](int image_id) {
        const std::shared_ptr<Image> badge = picture(image_id);
        badge->draw(g, r.x + r.w - badge->width(), r.y + r.h - badge->height());
    };
    const bool osid_five = o.osid && *o.osid == osid_marked;
    // The own tariff's label (7062) is the tall status tag that carries the tariff's name: in the corner it would
    // stand empty over the other badges and past the row's face, so the bit shows its own round badge.
    if (o.of && (*o.of & of_badge_bit) != 0) {
        corner(option_badge);
    }
    if (o.trade && *o.trade && !osid_five) {
        corner(trade_badge);
    }
    if (o.icl && *o.icl == cashless) {
        corner(cashless_badge);
    }
    if (osid_five) {
        corner(osid_badge);
    }
}

void panel_orders_list::draw_stars(Graphics& g, const rect& r, const order& o, int taken) {
    if (!o.star || *o.star <= 0) {
        return;
    }
    const std::shared_ptr<Image> star = picture(star_image);
    const int width = star->width();
    const int right = r.x + r.w - 2 * margin_;
    const int room = right - taken - margin_;
    const int fit = width > 0 ? std::max(room / width, 0) : 0;
    // As many stars as the line holds; a count beyond them gives up its last place to the held mark.
    const bool held = *o.star > fit;
    const int count = held ? fit - 1 : *o.star;
    const int y = r.y + picture(first_status_icon)->height() / 2;
    for (int i = 0; i < count; ++i) {
        star->draw(g, right - width * (i + 1), y);
    }
    if (held && fit > 0) {
        font_holder mark(star->height(), 700);
        g.draw_text(mark, rect{right - width * fit, y, width, star->height()}, std::wstring(1, held_mark), centred_both,
                    TRANSPARENT, star_colour);
    }
}

} // namespace zel::form
