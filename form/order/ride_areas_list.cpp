#include "form/order/ride_areas_list.h"

#include "controller/controller.h"
#include "form/controls/image_box.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int badge_id = 1041;
constexpr int icon_id = 1040;

constexpr double row_height = 130.0;
constexpr double face_inset = 3.0; // black above and below the face
constexpr double picture_left = 12.0;
constexpr double name_gap = 24.0; // between the icon and the name
constexpr double count_left = 67.0;
constexpr double text_font = 34.0;
constexpr UINT text_format = DT_SINGLELINE | DT_VCENTER;

} // namespace

ride_areas_list::ride_areas_list(manager_2* form, int row_width, std::function<void(int)> on_click)
    : form_(form), row_width_(row_width), on_click_(std::move(on_click)), badge_(form_image(form, badge_id)),
      icon_(form_image(form, icon_id)) {}

ride_areas_list::~ride_areas_list() = default;

void ride_areas_list::set_rows(rows areas) {
    areas_ = std::move(areas);
    not_drawn_.assign(areas_.size(), true);
}

int ride_areas_list::row_count() const {
    return static_cast<int>(areas_.size());
}

size ride_areas_list::row_size(int) const {
    return size{row_width_, scaled(row_height, form_->get_scale())};
}

void ride_areas_list::row_clicked(int row) {
    if (on_click_) {
        on_click_(row);
    }
}

int ride_areas_list::row_selected(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < not_drawn_.size() ? (not_drawn_[row] ? 1 : 0) : 1;
}

void ride_areas_list::draw_face(Graphics& face, int width, int height, bool pressed) {
    const float s = form_->get_scale();
    const int inset = scaled(face_inset, s);
    face.fill_rect(rect{0, 0, width, height}, brush_holder(black));
    const rect inner{0, inset, width, height - 2 * inset};
    draw_gradient_frame(face, inner, pressed ? 1 : 0);
    const int left = scaled(picture_left, s);
    badge_->draw(face, left, inner.y + badge_->height());
    icon_->draw(face, left, inner.y + badge_->height() / 2 - icon_->height() / 2);
}

void ride_areas_list::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || row >= row_count()) {
        return;
    }
    not_drawn_[row] = false;
    faces_.blit(g, r, row == pressed_row, [this](Graphics& face, int width, int height, bool pressed) {
        draw_face(face, width, height, pressed);
    });

    const float s = form_->get_scale();
    const int inset = scaled(face_inset, s);
    const rect inner{r.x, r.y + inset, r.w, r.h - 2 * inset};
    font_holder font(scaled(text_font, s), 400);
    const zel_api::command::ref_area& area = *areas_[static_cast<std::size_t>(row)];
    g.draw_text(font, rect{inner.x + icon_->width() + scaled(name_gap, s), inner.y, inner.w, badge_->height()}, area.n,
                text_format, TRANSPARENT, white);
    int32_t drivers = 0;
    if (auto* c = controller_::controller::instance()) {
        if (const auto figure = c->find_nda(area.id)) {
            drivers = figure->c;
        }
    }
    g.draw_text(font,
                rect{r.x + scaled(count_left, s), inner.y + badge_->height(), badge_->width() - badge_->width() / 3,
                     badge_->height()},
                int_to_wstring(drivers), text_format, TRANSPARENT, white);
}

} // namespace zel::form
