#include "form/account/panel_set_signcall.h"

#include "controller/controller.h"
#include "form/account/login_param.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int list_margin = 5;
constexpr double row_height = 130;
constexpr double text_left = 24;
constexpr double font_size = 34;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr rgb text_colour{255, 255, 255};

} // namespace

panel_set_signcall::panel_set_signcall(manager_2& form) : list_panel(form, row_height) {}

panel_set_signcall::~panel_set_signcall() = default;

void panel_set_signcall::show(const panel_param* param) {
    show_list(inset_work(list_margin));
    const auto* index = param_as<number_param>(param);
    server_index_ = index ? static_cast<std::int32_t>(index->value) : -1;
    const controller* c = controller::instance();
    rows_ = c ? c->get_callsigns() : decltype(rows_){};
}

void panel_set_signcall::hide() {
    hide_list();
}

int panel_set_signcall::row_count() const {
    return static_cast<int>(rows_.size());
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
    form_.push_panel(panel_ids::login, std::make_shared<login_param>(static_cast<std::uint32_t>(server_index_),
                                                                     rows_[static_cast<std::size_t>(row)]->driver_id));
}

} // namespace zel::form
