#include "form/account/panel_my_rating.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
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

using controller_::controller;

namespace {

constexpr double row_height = 80;
constexpr double side = 20;
constexpr double name_size = 30;
constexpr double value_size = 45;
constexpr double max_lift = 6;
constexpr float name_share = 0.75f;
constexpr int normal_weight = 400;
// The maximum's box is as wide as this in its font; a longer maximum is cut.
const std::wstring max_sample = L"/00";

constexpr rgb grey_text{207, 211, 211};
constexpr rgb green{106, 167, 82};
constexpr rgb red{190, 48, 4};
constexpr rgb yellow{251, 193, 0};

void line(Graphics& g, point from, point to, const rgb& colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour.colorref());
    g.draw_line(from, to, pen);
    DeleteObject(pen);
}

} // namespace

panel_my_rating::panel_my_rating(manager_2& form) : list_panel(form, row_height) {}

panel_my_rating::~panel_my_rating() = default;

rgb panel_my_rating::value_colour(std::int32_t max, std::int32_t value) {
    if (max < 1) {
        return value == 0 ? green : red;
    }
    if (value == 0) {
        return red;
    }
    return value == max ? green : yellow;
}

void panel_my_rating::paint_background(Graphics& g, const rect& update) {
    paint_background_dark(g, update);
}

void panel_my_rating::show(const panel_param*) {
    show_list(own_);
    refresh();
    set_row_flags(rates_.size(), true);
}

void panel_my_rating::refresh() {
    rates_.clear();
    values_.clear();
    if (const controller* c = controller::instance()) {
        rates_ = c->get_rates();
        values_ = c->get_riv_list();
    }
}

void panel_my_rating::hide() {
    hide_list();
}

int panel_my_rating::row_count() const {
    return static_cast<int>(rates_.size());
}

std::int32_t panel_my_rating::value_of(std::int64_t rate_id) const {
    for (const auto& value : values_) {
        if (value && value->id == rate_id) {
            return value->v;
        }
    }
    return 0;
}

void panel_my_rating::draw_row(Graphics& g, const rect& r, int, int row, int, int) {
    if (row < 0 || static_cast<std::size_t>(row) >= rates_.size() || !rates_[static_cast<std::size_t>(row)]) {
        return;
    }
    const auto& rate = *rates_[static_cast<std::size_t>(row)];
    const float s = form_.get_scale();
    const int s20 = scaled(side, s);
    brush_holder row_brush(dark_colour);
    g.fill_rect(r, row_brush);
    line(g, {r.x, r.y + r.h - 1}, {r.x + r.w, r.y + r.h - 1}, rgb::from_rrggbb(rule_light));
    line(g, {r.x, r.y + r.h - 2}, {r.x + r.w, r.y + r.h - 2}, rgb::from_rrggbb(rule_dark));

    font_holder small_font(scaled(name_size, s), normal_weight);
    g.draw_text(small_font, rect{r.x + s20, r.y, static_cast<int>(static_cast<float>(r.w) * name_share), r.h}, rate.n,
                DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS, TRANSPARENT, white);

    const size sample = text_extent(form_.get_hwnd(), small_font, max_sample);
    const std::int32_t value = value_of(rate.id);
    const std::wstring value_text = int_to_wstring(value);
    font_holder value_font(scaled(value_size, s), normal_weight);
    const size value_extent = text_extent(form_.get_hwnd(), value_font, value_text);
    const int value_w = value_extent.width;
    const int top = r.y + r.h / 2 - sample.height / 2;

    g.draw_text(small_font,
                rect{r.x + r.w - sample.width - s20, static_cast<int>(static_cast<float>(top) - max_lift * s),
                     sample.width, sample.height},
                L"/" + int_to_wstring(rate.max), DT_SINGLELINE | DT_BOTTOM, TRANSPARENT, grey_text);
    // The value's line is taller than the maximum's: its box keeps the maximum's bottom, where the bottom-aligned
    // figure stands, and grows upward to the value's own height, so the figure's top is not clipped.
    const int value_h = std::max(sample.height, value_extent.height);
    g.draw_text(value_font,
                rect{r.x + r.w - value_w - sample.width - s20, top + sample.height - value_h, value_w, value_h},
                value_text, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, TRANSPARENT, value_colour(rate.max, value));
}

} // namespace zel::form
