#include "form/account/panel_menu_list.h"

#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"

namespace zel::form {

namespace {

constexpr double row_height = 150.0;
constexpr double list_margin = 10.0;
constexpr int icon_frame_id = 1035;
constexpr int shade_id = 1052;
constexpr int shade_size = 100;
// Pixels, not scaled: the frame's inset from the row's top and bottom, the icon's from the left, the caption's
// gap after the icon.
constexpr int frame_inset = 3;
constexpr int icon_left = 5;
constexpr int caption_gap = 10;
constexpr int caption_font = 30;
constexpr UINT caption_format = 0x24;

} // namespace

panel_menu_list::panel_menu_list(manager_2& form) : list_panel(form, row_height) {}

panel_menu_list::~panel_menu_list() = default;

void panel_menu_list::show_menu(const std::vector<std::pair<int, std::wstring>>& rows) {
    icon_frame_ = form_image(&form_, icon_frame_id);
    shade_ = form_image(&form_, shade_id);
    if (!shade_->empty()) {
        shade_->resize(shade_size, shade_size);
    }
    rows_.clear();
    for (const auto& [icon, caption] : rows) {
        rows_.push_back({form_image(&form_, icon), caption, true});
    }
    show_list(inset_work(scaled(list_margin, form_.get_scale())));
    set_row_flags(rows_.size(), false);
}

void panel_menu_list::hide_menu() {
    hide_list();
    rows_.clear();
    icon_frame_.reset();
    shade_.reset();
}

void panel_menu_list::set_row(int row, const std::wstring& caption, bool enabled) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    rows_[static_cast<std::size_t>(row)].caption = caption;
    rows_[static_cast<std::size_t>(row)].enabled = enabled;
}

void panel_menu_list::repaint_rows() {
    set_row_flags(rows_.size(), true);
    invalidate_list();
}

int panel_menu_list::row_clickable(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() && rows_[static_cast<std::size_t>(row)].enabled ? 1
                                                                                                                    : 0;
}

void panel_menu_list::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    clear_row_flag(row);
    const menu_row& item = rows_[static_cast<std::size_t>(row)];
    // fill_rect covers one pixel more each way; the row keeps to its own rectangle.
    g.fill_rect(rect{r.x, r.y, r.w - 1, r.h - 1}, brush_holder(rgb{0, 0, 0}));
    const rect frame{r.x, r.y + frame_inset, r.w, r.h - 2 * frame_inset};
    draw_gradient_frame(g, frame, item.enabled && row == pressed_row ? 1 : 0);
    const int icon_y = frame.y + frame.h / 2 - item.icon->height() / 2;
    item.icon->draw(g, r.x + icon_left, icon_y);
    icon_frame_->draw(g, r.x + icon_left, icon_y);
    const int left = r.x + icon_left + item.icon->width() + caption_gap;
    font_holder font(scaled(caption_font, form_.get_scale()), 400);
    g.draw_text(font, rect{left, frame.y, r.w, frame.h}, item.caption, caption_format, TRANSPARENT, white);
    if (!item.enabled) {
        shade_->draw(g, r.x, r.y, r.w, r.h);
    }
}

} // namespace zel::form
