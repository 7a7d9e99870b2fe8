#include "form/order/tariff_widget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "form/controls/image_box.h"
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

constexpr int purchase_middle_id = 7064;
constexpr int purchase_left_id = 7065;
constexpr int purchase_right_id = 7066;
constexpr int fare_middle_id = 7067;
constexpr int fare_left_id = 7068;
constexpr int fare_right_id = 7069;

constexpr double line_gap = 12.0; // above every line
constexpr int text_inset = 10;    // texts keep this far from the line's ends (screen pixels)
constexpr int figure_gap = 6;     // and at least this far from the figure's left (screen pixels)

constexpr double title_font = 28.0;
constexpr double subtitle_font = 22.0;
constexpr double unit_font = 20.0;
constexpr double value_font = 65.0;

constexpr rgb subtitle_grey{150, 146, 145};
constexpr rgb subtitle_green{119, 199, 89};
constexpr rgb amber{248, 186, 52};

constexpr UINT title_format = DT_SINGLELINE | DT_BOTTOM;
constexpr UINT subtitle_format = DT_SINGLELINE | DT_VCENTER;
constexpr UINT unit_format = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
constexpr UINT value_format = DT_SINGLELINE | DT_BOTTOM | DT_RIGHT;

const wchar_t* const rouble_unit = L" р.";

// The middle of a three-part line stretched so that the caps meet the widget's ends.
void fit_middle(Image& middle, int width, const Image& left, const Image& right) {
    const int fill = width - right.width() - left.width();
    if (fill > 1 && fill != middle.width()) {
        middle.resize(fill, middle.height());
    }
}

// The part of a text's box that ends a gap short of a right-aligned figure of that width in its box; the
// figure's own box when the figure is wider than it.
rect text_box_left_of(const rect& text, const rect& figure_box, int figure_width) {
    const int figure_left = figure_box.x + figure_box.w - std::min(figure_width, figure_box.w);
    return rect{text.x, text.y, std::max(0, std::min(text.x + text.w, figure_left - figure_gap) - text.x), text.h};
}

} // namespace

tariff_widget::tariff_widget(manager_2* form, const rect& r, int kind)
    : control(form, r), kind_(kind), gap_(scaled(line_gap, form ? form->get_scale() : 1.0f)),
      purchase_middle_(form_image(form, purchase_middle_id)), purchase_left_(form_image(form, purchase_left_id)),
      purchase_right_(form_image(form, purchase_right_id)), fare_middle_(form_image(form, fare_middle_id)),
      fare_left_(form_image(form, fare_left_id)), fare_right_(form_image(form, fare_right_id)) {
    fit_middle(*purchase_middle_, r.w, *purchase_left_, *purchase_right_);
    fit_middle(*fare_middle_, r.w, *fare_left_, *fare_right_);
    rect_ = extent();
}

tariff_widget::~tariff_widget() = default;

std::wstring tariff_widget::round_value(float value) {
    const double hundredths = static_cast<double>(value) * 100.0;
    // Beyond any fare (or not a number at all) the integer conversions below would be undefined.
    if (!(std::fabs(hundredths) < 2.0e9)) {
        wchar_t text[64];
        std::swprintf(text, 64, L"%.0f", static_cast<double>(value));
        return text;
    }
    if (static_cast<int>(hundredths) % 100 != 0) {
        return float1_to_wstring(value);
    }
    return int_to_wstring(static_cast<int32_t>(value));
}

bool tariff_widget::shows_purchase_line() const {
    return kind_ == kind_purchase && purchase_percent_ > 0.001f && purchase_minimum_ > 0.001f;
}

rect tariff_widget::fare_line_rect(int k) const {
    const int h = fare_middle_->height();
    return rect{rect_.x, rect_.y + k * gap_ + (k - 1) * h, rect_.w, h};
}

rect tariff_widget::purchase_line_rect() const {
    return rect{rect_.x, rect_.y + 5 * gap_ + 4 * fare_middle_->height(), rect_.w, purchase_middle_->height()};
}

rect tariff_widget::extent() const {
    const rect last = shows_purchase_line() ? purchase_line_rect() : fare_line_rect(4);
    return rect{rect_.x, rect_.y, rect_.w, last.y + last.h - rect_.y};
}

void tariff_widget::set_figure(float& figure, float value) {
    if (figure == value) {
        return;
    }
    figure = value;
    invalidate();
    // The purchase line may come or go: the reported height follows it.
    const int before = rect_.h;
    rect_ = extent();
    if (rect_.h != before) {
        invalidate();
    }
}

void tariff_widget::set_base_price(float value) {
    set_figure(base_price_, value);
}
void tariff_widget::set_included_km(float value) {
    set_figure(included_km_, value);
}
void tariff_widget::set_included_minutes(float value) {
    set_figure(included_minutes_, value);
}
void tariff_widget::set_price_per_km(float value) {
    set_figure(price_per_km_, value);
}
void tariff_widget::set_price_per_minute(float value) {
    set_figure(price_per_minute_, value);
}
void tariff_widget::set_price_per_waiting_minute(float value) {
    set_figure(price_per_waiting_minute_, value);
}
void tariff_widget::set_purchase_percent(float value) {
    set_figure(purchase_percent_, value);
}
void tariff_widget::set_purchase_minimum(float value) {
    set_figure(purchase_minimum_, value);
}

void tariff_widget::paint(Graphics& g, const rect&, int dx, int dy) {
    if (!visible_) {
        return;
    }
    auto moved = [&](rect r) {
        r.x += dx;
        r.y += dy;
        return r;
    };
    rub_text(g, moved(fare_line_rect(1)), L"МИНИМАЛКА",
             L"ВКЛЮЧАЕТ " + round_value(included_km_) + L" КМ ИЛИ " + round_value(included_minutes_) + L" МИН",
             round_value(base_price_));
    rub_text(g, moved(fare_line_rect(2)), L"КИЛОМЕТР", L"", round_value(price_per_km_));
    rub_text(g, moved(fare_line_rect(3)), L"МИНУТА", L"", round_value(price_per_minute_));
    rub_text(g, moved(fare_line_rect(4)), L"МИНУТА ОЖИДАНИЯ", L"", round_value(price_per_waiting_minute_));
    if (shows_purchase_line()) {
        tariff_line(g, moved(purchase_line_rect()));
    }
}

void tariff_widget::rub_text(Graphics& g, const rect& r, const std::wstring& title, const std::wstring& subtitle,
                             const std::wstring& value) {
    const float s = form_->get_scale();
    fare_left_->draw(g, r.x, r.y);
    fare_middle_->draw(g, r.x + fare_left_->width(), r.y);
    fare_right_->draw(g, r.x + fare_left_->width() + fare_middle_->width(), r.y);

    const int half = r.h / 2;
    HWND window = form_->get_hwnd();
    font_holder unit_face(scaled(unit_font, s), 700);
    const int unit_width = text_extent(window, unit_face, rouble_unit).width;
    font_holder value_face(scaled(value_font, s), 700);
    const rect value_box{r.x + text_inset, r.y, r.w - unit_width - 2 * text_inset, r.h};
    const int value_width = text_extent(window, value_face, value).width;

    // The title and the subtitle end a gap short of the figure, which takes the whole line's height at the
    // right; a text wider than that steps down to fit (the narrow landscape line).
    const rect title_box = text_box_left_of(rect{r.x + text_inset, r.y, r.w, half}, value_box, value_width);
    font_holder title_face(fitted_font_height(window, title, title_box.w, 700, title_font, title_font / 2, s), 700);
    g.draw_text(title_face, title_box, title, title_format, TRANSPARENT, white);
    const rect subtitle_box = text_box_left_of(rect{r.x + text_inset, r.y + half, r.w, half}, value_box, value_width);
    font_holder subtitle_face(
        fitted_font_height(window, subtitle, subtitle_box.w, 700, subtitle_font, subtitle_font / 2, s), 700);
    g.draw_text(subtitle_face, subtitle_box, subtitle, subtitle_format, TRANSPARENT, subtitle_grey);

    g.draw_text(unit_face, rect{r.x + r.w - unit_width - text_inset, r.y + half, unit_width, half}, rouble_unit,
                unit_format, TRANSPARENT, amber);
    g.draw_text(value_face, value_box, value, value_format, TRANSPARENT, amber);
}

void tariff_widget::tariff_line(Graphics& g, const rect& r) {
    const float s = form_->get_scale();
    purchase_left_->draw(g, r.x, r.y);
    purchase_middle_->draw(g, r.x + purchase_left_->width(), r.y);
    purchase_right_->draw(g, r.x + purchase_left_->width() + purchase_middle_->width(), r.y);

    const int half = r.h / 2;
    HWND window = form_->get_hwnd();
    const std::wstring value = round_value(purchase_percent_) + L"%";
    font_holder value_face(scaled(value_font, s), 700);
    const rect value_box{r.x + text_inset, r.y, r.w - 2 * text_inset, r.h};
    const int value_width = text_extent(window, value_face, value).width;

    const std::wstring title = L"ПОКУПКА ЗАКАЗА";
    const rect title_box = text_box_left_of(rect{r.x + text_inset, r.y, r.w, half}, value_box, value_width);
    font_holder title_face(fitted_font_height(window, title, title_box.w, 700, title_font, title_font / 2, s), 700);
    g.draw_text(title_face, title_box, title, title_format, TRANSPARENT, white);
    const std::wstring subtitle = L"НО НЕ МЕНЕЕ " + round_value(purchase_minimum_) + L" РУБ.";
    const rect subtitle_box = text_box_left_of(rect{r.x + text_inset, r.y + half, r.w, half}, value_box, value_width);
    font_holder subtitle_face(
        fitted_font_height(window, subtitle, subtitle_box.w, 700, subtitle_font, subtitle_font / 2, s), 700);
    g.draw_text(subtitle_face, subtitle_box, subtitle, subtitle_format, TRANSPARENT, subtitle_green);
    g.draw_text(value_face, value_box, value, value_format, TRANSPARENT, amber);
}

} // namespace zel::form
