// Sections: layout numbers | show and hide | layout | the fill and the timer | buttons | commands.
#include "form/order/panel_work_card.h"

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/caption_radio_button.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/line_control.h"
#include "form/controls/radio_group.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/order/order_card.h"
#include "form/order/return_first_arg.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

// --- layout numbers (design pixels; the buttons' size and the landscape right column's shade are drawing.h's)

constexpr double tab_height = 50.0;
constexpr double margin = 6.0;
constexpr double column_gap = 40.0; // the landscape left column leaves the button column this much more
constexpr int cancel_icon = 1049;
constexpr int order_tab_on = 7045;
constexpr int order_tab_off = 7046;

std::wstring point_text(const zel_api::command::order_point& p) {
    return p.t + L" " + p.tx;
}

std::wstring two_digits(int64_t value) {
    std::wstring text = int64_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

} // namespace

panel_work_card::panel_work_card(manager_2& form, const screen& kind) : form_(form), kind_(kind) {}

panel_work_card::~panel_work_card() = default;

std::wstring panel_work_card::elapsed_text(int64_t seconds) {
    return two_digits(seconds / 60) + two_digits(seconds % 60);
}

// --- show and hide

void panel_work_card::show(const panel_param*) {
    leaving_ = false;
    held_.reset();
    stamp_ = {};
    cancel_image_ = form_image(&form_, cancel_icon);
    action_image_ = form_image(&form_, kind_.action_icon);
    order_tab_on_ = form_image(&form_, order_tab_on);
    order_tab_off_ = form_image(&form_, order_tab_off);
    timer_tab_on_ = form_image(&form_, kind_.timer_tab_on);
    timer_tab_off_ = form_image(&form_, kind_.timer_tab_off);
    build_controls();
    card_->set_visible(true);
    card_->set_enabled(true);

    const controller* c = controller::instance();
    held_ = c ? c->get_current_order() : nullptr;
    if (!held_) {
        log(logger::warning, L"panel_work_card::show: no current order");
        no_order_at_show();
        return;
    }
    card_->reset_scroll();
    fill_order_info();
    if (leaving_) {
        return;
    }
    timer_ = form_.set_timer(1, [this] { on_timer_tick(); });
    on_timer_tick();
}

void panel_work_card::hide() {
    if (timer_ != -1) {
        form_.kill_timer(timer_);
        timer_ = -1;
    }
    // The controls are the panel base's: the clear after hide destroys them.
    cancel_ = nullptr;
    action_ = nullptr;
    card_ = nullptr;
    tabs_.reset();
    cancel_image_.reset();
    action_image_.reset();
    order_tab_on_.reset();
    order_tab_off_.reset();
    timer_tab_on_.reset();
    timer_tab_off_.reset();
    held_.reset();
}

// --- layout

namespace {

// What both layouts start from: the buttons' size and gap, the tabs' height, the margin and the bottom row.
struct card_measures {
    int bh, bw, g, t, m, bottom_row;
};

card_measures measure(const rect& A, float s) {
    card_measures c;
    c.bh = scaled(action_button_height, s);
    c.bw = scaled(action_button_width, s);
    c.g = c.bh / 10;
    c.t = scaled(tab_height, s);
    c.m = scaled(margin, s);
    c.bottom_row = A.y + A.h - c.g - c.bh;
    return c;
}

} // namespace

panel_work_card::layout panel_work_card::place() const {
    const rect& A = own_;
    const auto [bh, bw, g, t, m, bottom_row] = measure(A, form_.get_scale());
    layout l;
    l.cancel = {A.x + A.w / 4 - bw / 2, bottom_row, bw, bh - g};
    l.action = {A.x + 3 * (A.w / 4) - bw / 2, bottom_row, bw, bh - g};
    l.order_tab = {A.x, A.y, A.w / 2, t};
    l.timer_tab = {A.x + A.w / 2, A.y, A.w / 2, t};
    l.card = {A.x + m, A.y + t + m, A.w - 2 * m, bottom_row - 2 * g - t - A.y};
    l.caption = kind_.caption;
    return l;
}

panel_work_card::layout panel_work_card::place_in_columns() const {
    const float s = form_.get_scale();
    const rect& A = own_;
    const auto [bh, bw, g, t, m, bottom_row] = measure(A, s);
    const int cw = (A.w - bw) - scaled(column_gap, s);
    const int bx = A.x + cw + (A.w - cw) / 2 - bw / 2;
    layout l;
    l.cancel = {bx, bottom_row, bw, bh - g};
    l.action = {bx, bottom_row - g - bh, bw, bh - g};
    l.order_tab = {A.x, A.y, cw / 2, t};
    l.timer_tab = {A.x + cw / 2, A.y, cw / 2, t};
    // Inside the work area: a card as tall as the whole area would put its bottom, and its down arrow, below the
    // screen, and a long text could never be scrolled into view.
    l.card = {A.x + m, A.y + t + m, cw - 2 * m, A.h - t - 2 * m};
    l.caption = kind_.caption_hor;
    l.columns = true;
    l.column_x = A.x + cw;
    return l;
}

void panel_work_card::build_controls() {
    const layout l = place();
    const rect& A = own_;
    columns_ = l.columns;
    column_x_ = l.columns ? l.column_x : 0;

    cancel_ = &add<frame_image_button>(1, &form_, l.cancel, return_first_arg, cancel_image_, L"Отменить");
    cancel_->set_style(2);
    action_ = &add<frame_image_button>(
        1, &form_, l.action, [this] { on_action(); }, action_image_, kind_.action);
    tabs_ = std::make_unique<radio_group>();
    auto& order_tab = add<caption_radio_button>(1, &form_, l.order_tab, return_first_arg, order_tab_on_, order_tab_off_,
                                                L"ЗАКАЗ", tabs_.get());
    add<caption_radio_button>(1, &form_, l.timer_tab, return_first_arg, timer_tab_on_, timer_tab_off_, L"ТАЙМЕР",
                              tabs_.get());
    card_ = &add<order_card>(1, &form_, l.card, [this] { on_call(); });
    card_->set_order_text(l.caption);
    if (l.columns) {
        add<line_control>(2, &form_, rect{l.column_x, A.y, 0, A.h}, rule_dark);
        add<line_control>(2, &form_, rect{l.column_x + 1, A.y, 0, A.h}, rule_light);
    }
    order_tab.set_checked(true);
}

void panel_work_card::paint_background(Graphics& g, const rect& update) {
    if (!columns_) {
        g.fill_rect(update, brush_holder(rgb::from_rrggbb(kind_.background)));
        return;
    }
    const rect& A = own_;
    const rect left = intersection(update, rect{A.x, A.y, column_x_ - A.x, A.h});
    const rect right = intersection(update, rect{column_x_, A.y, A.x + A.w - column_x_, A.h});
    if (left.w > 0 && left.h > 0) {
        g.fill_rect(left, brush_holder(rgb::from_rrggbb(kind_.background_left_hor)));
    }
    if (right.w > 0 && right.h > 0) {
        g.fill_rect(right, brush_holder(button_column_colour));
    }
}

// --- the fill and the timer

void panel_work_card::fill_order_info() {
    if (!card_ || leaving_) {
        return;
    }
    if (!held_) {
        leave_to_first();
        return;
    }
    const zel_api::command::order& o = *held_;
    if (o.s && *o.s == kind_.next_status) {
        move_on(kind_.next_panel);
        return;
    }
    card_->set_block_1(point_text(o.af));
    card_->set_block_2(o.i);
    std::wstring destinations;
    for (const auto& p : o.at) {
        destinations += point_text(p);
    }
    card_->set_block_3(destinations);
    card_->set_figures(o.cc.value_or(-1), o.ccs.value_or(-1));
    card_->set_kind(o.sms.value_or(-1));
    card_->set_time(o.ttp && *o.ttp == 1 && o.tt ? *o.tt : -1);
    filled(o);
    form_.invalidate_rect(card_->get_rect());
}

void panel_work_card::on_timer_tick() {
    if (!card_) {
        return;
    }
    stamp_ = stamp();
    if (held_ && !stamp_.order_id.empty() && stamp_.order_id == held_->s_id) {
        card_->set_timer_text(elapsed_text(now_seconds() - stamp_.time));
    } else {
        card_->set_timer_text(L"0000");
    }
}

void panel_work_card::move_on(int id) {
    if (leaving_) {
        return;
    }
    leaving_ = true;
    form_.pop_to_first_quiet();
    form_.push_panel(id);
}

void panel_work_card::leave_to_first() {
    if (leaving_) {
        return;
    }
    leaving_ = true;
    form_.pop_to_first();
}

void panel_work_card::leave_back() {
    if (leaving_) {
        return;
    }
    leaving_ = true;
    form_.pop_panel();
}

// --- buttons

void panel_work_card::on_action() {
    if (!held_ || leaving_) {
        return;
    }
    form_.lock();
    send_action(held_->s_id);
}

// --- commands

void panel_work_card::on_command(const zel_api::update_mask& mask) {
    const controller* c = controller::instance();
    if (mask.test(zel_api::key::cmd_result)) {
        const auto* result = mask.result_of(kind_.command);
        if (result && result->ok && card_) {
            move_on(kind_.next_panel);
        }
        form_.unlock();
    }
    if (mask.test(zel_api::key::odel) && card_ && c && !c->get_current_order()) {
        const auto session = c->get_session_param();
        if (!session || (session->area_id && *session->area_id != 0)) {
            leave_to_first();
        } else {
            move_on(panel_ids::area_list);
        }
    }
    if (mask.test(zel_api::key::order) && card_ && c) {
        // The store copies on write: the held record is a snapshot, so find the order again. One no longer
        // current keeps its last copy until an "odel" decides.
        if (held_) {
            if (auto fresh = c->find_order(zel_api::command::order::list_current, held_->s_id)) {
                held_ = std::move(fresh);
            }
        }
        fill_order_info();
    }
}

} // namespace zel::form
