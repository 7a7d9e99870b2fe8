#include "form/account/panel_set_signcall.h"

#include "controller/controller.h"
#include "form/account/login_param.h"
#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/graphics.h"
#include "form/image.h"
#include "form/image_button.h"
#include "form/list_view.h"
#include "form/manager_2.h"
#include "form/skin_images.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int login_panel_id = 7;
constexpr std::array<int, 4> arrow_ids = {1046, 1047, 1044, 1045};
constexpr int list_margin = 5;
constexpr double row_height = 130;
constexpr double text_left = 24;
constexpr double font_size = 34;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr rgb text_colour{255, 255, 255};

} // namespace

panel_set_signcall::panel_set_signcall(manager_2& form) : form_(form) {}

panel_set_signcall::~panel_set_signcall() = default;

void panel_set_signcall::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

void panel_set_signcall::show(const panel_param* param) {
    const skin_images* skin = form_.get_skin_images();
    for (std::size_t i = 0; i < arrows_.size(); ++i) {
        arrows_[i] = skin_images::image_of(skin, arrow_ids[i]);
    }
    const int iw = arrows_[0]->width();
    const int ih = arrows_[0]->height();
    const int right = screen_.x + screen_.w;

    list_ = std::make_unique<list_view>(
        &form_, rect{own_.x + list_margin, own_.y + list_margin, own_.w - 2 * list_margin, own_.h - 2 * list_margin});
    list_->set_source(this);
    list_->set_enabled(true);
    list_->set_visible(true);
    add_control(list_.get(), 1);
    up_ = std::make_unique<image_button>(
        &form_, rect{right - iw, screen_.y, iw, ih}, [this] { list_->scroll_up(); }, arrows_[0], arrows_[1]);
    down_ = std::make_unique<image_button>(
        &form_, rect{right - iw, screen_.y + screen_.h - ih, iw, ih}, [this] { list_->scroll_down(); }, arrows_[2],
        arrows_[3]);
    add_control(up_.get(), 2);
    add_control(down_.get(), 2);

    const auto* index = param_as<number_param>(param);
    server_index_ = index ? static_cast<std::int32_t>(index->value) : -1;
    const controller* c = controller::instance();
    rows_ = c ? c->get_callsigns() : decltype(rows_){};
}

void panel_set_signcall::hide() {
    list_.reset();
    up_.reset();
    down_.reset();
    for (auto& image : arrows_) {
        image.reset();
    }
    clear_map();
}

void panel_set_signcall::on_key_up_arrow() {
    if (list_) {
        list_->scroll_up();
    }
}

void panel_set_signcall::on_key_down_arrow() {
    if (list_) {
        list_->scroll_down();
    }
}

int panel_set_signcall::row_count() const {
    return static_cast<int>(rows_.size());
}

size panel_set_signcall::row_size(int) const {
    return {list_ ? list_->get_rect().w : 0, scaled(row_height, form_.get_scale())};
}

void panel_set_signcall::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    draw_gradient_frame(g, r, row == pressed_row ? frame_pressed : frame_normal);
    const auto& record = rows_[static_cast<std::size_t>(row)];
    if (!record) {
        return;
    }
    const float s = form_.get_scale();
    font_holder font(scaled(font_size, s), 400);
    const int left = static_cast<int>(static_cast<float>(r.x) + static_cast<float>(text_left) * s);
    g.draw_text(font, rect{left, r.y, r.w, r.h}, record->callsign_name, DT_SINGLELINE | DT_VCENTER, TRANSPARENT,
                text_colour);
}

void panel_set_signcall::row_clicked(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() || !rows_[static_cast<std::size_t>(row)]) {
        return;
    }
    form_.push_panel(login_panel_id, std::make_shared<login_param>(static_cast<std::uint32_t>(server_index_),
                                                                   rows_[static_cast<std::size_t>(row)]->driver_id));
}

} // namespace zel::form
