// Sections: layout | show and hide | rows | buttons | events.
#include "form/account/panel_start2.h"

#include <algorithm>

#include "api/command/received/cmd_result.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/image_button.h"
#include "form/controls/line_control.h"
#include "form/controls/list_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;
namespace key = zel_api::key;

namespace {

// Pictures by index in images_.
constexpr std::array<int, 8> image_ids = {
    1004, 1005, 1011, 1012, arrow_up_image, arrow_up_pressed_image, arrow_down_image, arrow_down_pressed_image};
constexpr std::size_t create_icon = 0;
constexpr std::size_t refresh_icon = 1;
constexpr std::size_t row_icon = 2;
constexpr std::size_t row_overlay = 3;
constexpr std::size_t up_normal = 4;
constexpr std::size_t up_pressed = 5;
constexpr std::size_t down_normal = 6;
constexpr std::size_t down_pressed = 7;

// Design sizes: the buttons' band and width, a row's height, the row text's font.
constexpr double band = action_button_height;
constexpr double button_width = action_button_width;
constexpr double row_height = 130;
constexpr double row_font = 30;
constexpr rgb row_text_colour{255, 255, 255};
// One line, vertically centred, left, cut with an ellipsis.
constexpr UINT row_text_format = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;
constexpr int row_inset = 5;
constexpr int row_text_gap = 5;

constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr int frame_chosen = 2;

// The pair (A, B) that names this device: (serial, device id) when it has a serial number, else (device id,
// main id). A goes as "local-id", B as "main-id".
struct device_ids {
    std::wstring local_id;
    std::wstring main_id;
};

device_ids ids_of_device() {
    const device_info* device = device_info::instance();
    if (!device) {
        return {};
    }
    if (!device->serial().empty()) {
        return {device->serial(), device->device_id()};
    }
    return {device->device_id(), device->main_id()};
}

} // namespace

// --- layout

panel_start2::layout panel_start2::lay_out(int arrow_w, int arrow_h) const {
    const float s = form_.get_scale();
    const int b = scaled(band, s);
    const int w = scaled(button_width, s);
    const int m = b / 10;
    const rect& o = own_;
    const int top = o.y + o.h - m - b;
    const int list_h = o.h - 2 * m - b;
    const int right = screen_.x + screen_.w;
    layout l;
    l.create_profile = {o.x + o.w / 4 - w / 2, top, w, b - m};
    l.refresh = {o.x + 3 * (o.w / 4) - w / 2, top, w, b - m};
    l.list = {o.x, o.y, o.w, list_h};
    l.up = {right - arrow_w, screen_.y, arrow_w, arrow_h};
    l.down = {right - arrow_w, o.y + list_h - arrow_h, arrow_w, arrow_h};
    return l;
}

// --- show and hide

panel_start2::panel_start2(manager_2& form) : form_(form) {}

panel_start2::~panel_start2() = default;

void panel_start2::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

void panel_start2::show(const panel_param*) {
    const skin_images* skin = form_.get_skin_images();
    for (std::size_t i = 0; i < images_.size(); ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
    const layout l = lay_out(images_[up_normal]->width(), images_[up_normal]->height());

    create_profile_ = &add<frame_image_button>(
        1, &form_, l.create_profile, [this] { on_create_profile(); }, images_[create_icon], L"Создать профиль");
    refresh_ = &add<frame_image_button>(
        1, &form_, l.refresh, [this] { on_refresh(); }, images_[refresh_icon], L"Обновить");
    list_ = &add<list_view>(1, &form_, l.list);
    list_->set_source(this);
    list_->set_enabled(true);
    list_->set_visible(true);
    up_ = &add<image_button>(
        2, &form_, l.up, [this] { list_->scroll_up(); }, images_[up_normal], images_[up_pressed]);
    down_ = &add<image_button>(
        2, &form_, l.down, [this] { list_->scroll_down(); }, images_[down_normal], images_[down_pressed]);
    for (const auto& [r, colour] : l.lines) {
        add<line_control>(2, &form_, r, colour);
    }

    const controller* c = controller::instance();
    const bool connected = c && c->is_connected();
    refresh_->set_enabled(!connected);
    refresh_->set_visible(!connected);
    if (c && c->is_registering()) {
        form_.lock();
    }
    const bool registration = c && c->get_zero_params();
    create_profile_->set_enabled(registration);
    create_profile_->set_visible(registration);
    reload_rows();
}

void panel_start2::hide() {
    list_ = nullptr;
    create_profile_ = nullptr;
    refresh_ = nullptr;
    up_ = nullptr;
    down_ = nullptr;
    for (auto& image : images_) {
        image.reset();
    }
    clear_map();
}

void panel_start2::on_key_up_arrow() {
    if (list_) {
        list_->scroll_up();
    }
}

void panel_start2::on_key_down_arrow() {
    if (list_) {
        list_->scroll_down();
    }
}

// --- rows

void panel_start2::reload_rows() {
    const controller* c = controller::instance();
    rows_ = c ? c->get_device_servers() : decltype(rows_){};
    if (list_) {
        form_.invalidate_rect(list_->get_rect());
    }
}

std::wstring panel_start2::row_text(const zel_api::command::obj_device_server& server) {
    if (server.city_name.empty()) {
        return server.n;
    }
    return server.n + L" (" + server.city_name + L")";
}

int panel_start2::row_count() const {
    return static_cast<int>(rows_.size());
}

size panel_start2::row_size(int) const {
    return {list_ ? list_->get_rect().w : 0, scaled(row_height, form_.get_scale())};
}

void panel_start2::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    const rect inner{r.x + row_inset, r.y + row_inset, r.w - 2 * row_inset, r.h - row_inset};
    const controller* c = controller::instance();
    int style = frame_normal;
    if (row == pressed_row) {
        style = frame_pressed;
    } else if (c && c->get_server_index() == row) {
        style = frame_chosen;
    }
    draw_gradient_frame(g, inner, style);

    const float s = form_.get_scale();
    Image& icon = *images_[row_icon];
    const int d = static_cast<int>(static_cast<float>(row_height) * s - static_cast<float>(icon.height()));
    icon.draw(g, inner.x + d / 2, inner.y + d / 2);
    images_[row_overlay]->draw(g, inner.x + d / 2, inner.y + d / 2);

    const auto& record = rows_[static_cast<std::size_t>(row)];
    if (!record) {
        return;
    }
    // The text ends inside the row's frame, before the up arrow where that lies over the row, so that a long
    // name shows its ellipsis instead of being cut off by the list's edge or hidden under the arrow.
    const int left = inner.x + icon.width() + d + row_text_gap;
    int right = inner.x + inner.w - row_text_gap;
    if (up_ && up_->is_visible() && rect_overlaps(up_->get_rect(), inner)) {
        right = std::min(right, up_->get_rect().x - row_text_gap);
    }
    font_holder font(scaled(row_font, s), 400);
    g.draw_text(font, rect{left, inner.y, std::max(0, right - left), r.h - row_inset}, row_text(*record),
                row_text_format, TRANSPARENT, row_text_colour);
}

void panel_start2::row_clicked(int row) {
    controller* c = controller::instance();
    if (!c || row < 0 || static_cast<std::size_t>(row) >= rows_.size() || !rows_[static_cast<std::size_t>(row)]) {
        return;
    }
    c->disconnect();
    chosen_row_ = row;
    form_.lock();
    c->clear_callsigns();
    const device_ids ids = ids_of_device();
    c->request_callsign_list(ids.main_id, ids.local_id, rows_[static_cast<std::size_t>(row)]->org_id, row);
}

// --- buttons

void panel_start2::on_refresh() {
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    form_.lock();
    c->login_reg(false);
}

void panel_start2::on_create_profile() {
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    // Without a number no SMS goes and nothing answers: locking would leave the screen locked for good.
    const auto zero_params = c->get_zero_params();
    if (!zero_params || zero_params->sms.empty()) {
        log(logger::info, L"panel_start2: no SMS number for the registration; registration by telephone");
        form_.push_panel(panel_ids::change_country);
        return;
    }
    form_.lock();
    c->sms_register();
}

// --- events

void panel_start2::on_command(const zel_api::update_mask& mask) {
    controller* c = controller::instance();
    if (mask.test(key::disconnect_local)) {
        reload_rows();
    }
    if (mask.test(key::obj_device_server)) {
        form_.unlock();
        reload_rows();
    }
    if (mask.test(key::disconnect_global)) {
        form_.unlock();
        reload_rows();
    }
    if (mask.test(key::command_sms_register_ok) && c) {
        c->login_reg(true);
    }
    if (mask.test(key::command_sms_register_error)) {
        form_.unlock();
        form_.push_panel(panel_ids::change_country);
    }
    if (mask.test(key::cmd_result)) {
        const auto* result = mask.result_of(key::get_callsign_list_for_device);
        if (result && result->ok) {
            form_.unlock();
            form_.push_panel(panel_ids::set_signcall, make_number_param(chosen_row_));
        }
        form_.unlock();
    }
    if (mask.test(key::obj_zero_params)) {
        form_.unlock();
        if (create_profile_) {
            create_profile_->set_enabled(true);
            create_profile_->set_visible(true);
        }
    }
    if (mask.test(key::disconnect_local)) {
        form_.unlock();
        reload_rows();
    }
}

} // namespace zel::form
