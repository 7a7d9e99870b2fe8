#include "form/account/panel_change_country.h"

#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "form/shell/panel_param.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

struct country {
    const wchar_t* name;
    int flag;
};

// In the order of the rows. The last name carries a Latin "a" before its final letter, as the service spells it.
constexpr std::array<country, panel_change_country::country_count> countries = {{
    {L"Россия", 2196},
    {L"Казахстан", 2195},
    {L"Белоруссия", 2194},
    {L"Украина", 2197},
    {L"США", 2198},
    {L"Португалия", 2199},
    {L"Кыргызстaн", 2206},
}};

constexpr double row_height = 130;
constexpr double flag_left = 24;
constexpr double name_gap = 24;
constexpr double font_size = 34;
constexpr int frame_inset = 3;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr rgb row_fill{0, 0, 0};
constexpr rgb text_colour{255, 255, 255};

bool known(int index) {
    return index >= 0 && index < panel_change_country::country_count;
}

} // namespace

std::wstring panel_change_country::country_name(int index) {
    return known(index) ? countries[static_cast<std::size_t>(index)].name : L"";
}

int panel_change_country::flag_image_id(int index) {
    return known(index) ? countries[static_cast<std::size_t>(index)].flag : 0;
}

panel_change_country::panel_change_country(manager_2& form) : list_panel(form, row_height) {
    for (int i = 0; i < country_count; ++i) {
        rows_.push_back(i);
    }
}

panel_change_country::~panel_change_country() = default;

void panel_change_country::show(const panel_param*) {
    for (std::size_t i = 0; i < flags_.size(); ++i) {
        flags_[i] = form_image(&form_, countries[i].flag);
    }
    show_list(own_);
}

void panel_change_country::hide() {
    hide_list();
    for (auto& image : flags_) {
        image.reset();
    }
}

int panel_change_country::row_count() const {
    return static_cast<int>(rows_.size());
}

void panel_change_country::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    const int index = rows_[static_cast<std::size_t>(row)];
    const float s = form_.get_scale();
    g.fill_rect(r, brush_holder(row_fill));
    draw_gradient_frame(g, rect{r.x, r.y + frame_inset, r.w, r.h - 2 * frame_inset},
                        row == pressed_row ? frame_pressed : frame_normal);
    const int fx = static_cast<int>(static_cast<float>(r.x) + static_cast<float>(flag_left) * s);
    int flag_w = 0;
    if (known(index) && flags_[static_cast<std::size_t>(index)]) {
        Image& flag = *flags_[static_cast<std::size_t>(index)];
        flag_w = flag.width();
        flag.draw(g, fx, r.y + r.h / 2 - flag.height() / 2);
    }
    const int left = static_cast<int>(static_cast<float>(fx + flag_w) + static_cast<float>(name_gap) * s);
    font_holder font(scaled(font_size, s), 400);
    g.draw_text(font, rect{left, r.y + frame_inset, r.w, scaled(row_height, s)}, country_name(index),
                DT_SINGLELINE | DT_VCENTER, TRANSPARENT, text_colour);
}

void panel_change_country::row_clicked(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    form_.push_panel(panel_ids::reg_telephone, make_number_param(rows_[static_cast<std::size_t>(row)]));
}

} // namespace zel::form
