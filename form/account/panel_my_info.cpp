#include "form/account/panel_my_info.h"

#include <algorithm>
#include <cstdlib>

#include "controller/controller.h"
#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"
#include "foundation/saturating.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/process_control.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr std::array<int, panel_my_info::row_total> icon_ids = {1032, 1031, 1034, 1037, 1038};
constexpr int icon_overlay_id = 1035;
constexpr int veil_id = 1052;
constexpr int veil_side = 100;

constexpr int news_row = 0;
constexpr int rating_row = 2;
// The panels that rows 1, 2 and 3 open.
constexpr std::array<int, 3> row_panels = {panel_ids::balance, panel_ids::my_rating, panel_ids::shift_list};

constexpr double list_inset = 10;
constexpr double row_height = 150;
constexpr int icon_left = 5; // pixels
constexpr int caption_gap = 10;
constexpr double caption_size = 30;
constexpr double total_size = 27;
// The total's font steps down to half its size before the total is held.
constexpr double smallest_total_size = total_size / 2;
// The total keeps inside the icon's frame (its border is this wide).
constexpr double total_inset = 4;
constexpr double total_drop = 5;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;

const std::array<std::wstring, panel_my_info::row_total> captions = {L"Новости", L"Моя информация", L"Рейтинг",
                                                                     L"Смены", L"Настройки таксометра"};

} // namespace

panel_my_info::panel_my_info(manager_2& form) : list_panel(form, row_height) {}

panel_my_info::~panel_my_info() = default;

std::wstring panel_my_info::news_address() {
    const char* text = std::getenv("MORVIK_NEWS_URL");
    return utf8_to_wide(text && *text ? text : MORVIK_NEWS_URL);
}

void panel_my_info::show(const panel_param*) {
    for (std::size_t i = 0; i < icons_.size(); ++i) {
        icons_[i] = form_image(&form_, icon_ids[i]);
    }
    icon_overlay_ = form_image(&form_, icon_overlay_id);
    veil_ = form_image(&form_, veil_id);

    show_list(inset_work(scaled(list_inset, form_.get_scale())));

    // Show empties the rows before building them, so a second show never doubles them.
    const controller* c = controller::instance();
    const bool logged_in = c && c->is_logged_in();
    rows_.clear();
    for (int i = 0; i < row_total; ++i) {
        const bool enabled = i == news_row || (i < row_total - 1 && logged_in);
        rows_.push_back({icons_[static_cast<std::size_t>(i)].get(), captions[static_cast<std::size_t>(i)], enabled});
    }

    veil_->resize(veil_side, veil_side);
    // Only the rows that open a panel start flagged.
    set_row_flags(row_total, true);
    clear_row_flag(news_row);
    clear_row_flag(row_total - 1);
}

void panel_my_info::hide() {
    hide_list();
    rows_.clear();
    for (auto& image : icons_) {
        image.reset();
    }
    icon_overlay_.reset();
    veil_.reset();
}

int panel_my_info::row_count() const {
    return static_cast<int>(rows_.size());
}

bool panel_my_info::row_enabled(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() && rows_[static_cast<std::size_t>(row)].enabled;
}

int panel_my_info::row_clickable(int row) const {
    return row_enabled(row) ? 1 : 0;
}

void panel_my_info::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    clear_row_flag(row);
    const menu_row& item = rows_[static_cast<std::size_t>(row)];
    const float s = form_.get_scale();
    brush_holder black_brush(black);
    g.fill_rect(r, black_brush);
    const rect inner{r.x, r.y + 3, r.w, r.h - 6};
    draw_gradient_frame(g, inner, item.enabled && row == pressed_row ? frame_pressed : frame_normal);

    const int icon_w = item.icon ? item.icon->width() : 0;
    const int icon_h = item.icon ? item.icon->height() : 0;
    const int icon_x = r.x + icon_left;
    const int icon_y = inner.y + inner.h / 2 - icon_h / 2;
    if (item.icon) {
        item.icon->draw(g, icon_x, icon_y);
    }
    icon_overlay_->draw(g, icon_x, icon_y);

    font_holder caption_font(scaled(caption_size, s), 400);
    g.draw_text(caption_font, rect{icon_x + icon_w + caption_gap, inner.y, r.w, inner.h}, item.caption,
                DT_SINGLELINE | DT_VCENTER, TRANSPARENT, white);

    if (!item.enabled) {
        veil_->tile_in_rect(g, r);
        return;
    }
    if (row == rating_row) {
        // Summed with saturation (two large values overflow 32 bits); the font steps down until the total fits
        // inside the icon's frame, and a total that fits not even the smallest is held with its mark.
        std::int64_t sum = 0;
        if (const controller* c = controller::instance()) {
            for (const auto& value : c->get_riv_list()) {
                sum = saturating_add(sum, value ? value->v : 0);
            }
        }
        const fitted_figure total = fit_figure(form_.get_hwnd(), sum, icon_w - 2 * scaled(total_inset, s), 400,
                                               total_size, smallest_total_size, s);
        font_holder total_font(total.height, 400);
        g.draw_text(total_font, rect{icon_x, scaled(total_drop, s) + icon_y, icon_w, icon_h}, total.text,
                    DT_CENTER | DT_SINGLELINE | DT_VCENTER, TRANSPARENT, black);
    }
}

void panel_my_info::row_clicked(int row) {
    if (!row_enabled(row)) {
        return;
    }
    if (row == news_row) {
        const std::wstring address = news_address();
        if (!process_control::current().start_program(L"xdg-open", {address})) {
            zel::log(logger::warning, L"news page: xdg-open could not be started for " + address);
        }
        return;
    }
    if (row >= 1 && row <= static_cast<int>(row_panels.size())) {
        form_.push_panel(row_panels[static_cast<std::size_t>(row - 1)], nullptr);
    }
}

} // namespace zel::form
