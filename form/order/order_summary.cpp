// Sections: layout numbers | badges and destinations | making | the fill.
#include "form/order/order_summary.h"

#include <initializer_list>
#include <type_traits>

#include "form/controls/image_control.h"
#include "form/controls/line_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/order_figures.h"
#include "form/order/unit_text.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

// --- layout numbers (fonts before scaling, colours 0xRRGGBB)

constexpr int pin_image = 7042;
constexpr int divider_image = 7044;

// Text rows: font size, colour.
constexpr int line_font = 40;
constexpr int figure_font = 45;
constexpr int unit_font = 25;
constexpr unsigned line_colour = white.rrggbb();
constexpr unsigned information_colour = 0xCFD3D3;
constexpr unsigned sum_colour = 0xFFC300;
constexpr unsigned distance_colour = 0x329B05;
// The units stand this share of the sum's height below the figures' top.
constexpr double unit_drop = 0.4;
// The divider's rules, dark then light, stand this many pixels above the middle of its picture.
constexpr int dark_rule_rise = 3;
constexpr int light_rule_rise = 2;

const wchar_t* const rouble_unit = L" р.";
const wchar_t* const kilometre_unit = L" км.";
// The widest distance figure the line's first layout leaves room for.
const wchar_t* const distance_sample = L"5.3";

constexpr uint64_t option_bit = 0x20;
constexpr int32_t cashless_icl = 1;
constexpr int32_t osid_badge = 5;

int text_width(const manager_2& form, int size, int weight, const std::wstring& text) {
    const font_holder font(scaled(size, form.get_scale()), weight);
    return text_extent(form.get_hwnd(), font, text).width;
}

std::unique_ptr<multiline_text> make_row(manager_2& form, int x, int y, int width, int size, bool bold,
                                         unsigned colour) {
    auto row = std::make_unique<multiline_text>(&form, x, y, width);
    row->set_font(size, bold);
    row->set_color(colour);
    return row;
}

// A unit: drawn exactly (unit_text) or as a wrapped text block (multiline_text).
template <class Unit> std::unique_ptr<Unit> make_unit(manager_2& form, int x, int y, int width, unsigned colour) {
    if constexpr (std::is_same_v<Unit, unit_text>) {
        auto unit = std::make_unique<unit_text>(&form, unit_font, colour);
        unit->set_position(x, y, width);
        return unit;
    } else {
        return make_row(form, x, y, width, unit_font, false, colour);
    }
}

// Places a row at (x, y, width) and shows it with its text, or hides and empties it there; its height when
// shown, else 0.
template <class Row> int stack_row(Row& row, int x, int y, int width, const std::wstring& text) {
    row.set_position(x, y, width);
    if (text.empty()) {
        row.set_visible(false);
        row.set_text(L"");
        return 0;
    }
    row.set_text(text);
    row.set_visible(true);
    return row.get_rect().h;
}

} // namespace

// --- badges and destinations

std::array<bool, static_cast<size_t>(order_badge::count)> order_badges_shown(const zel_api::command::order& o) {
    const bool osid_five = o.osid && *o.osid == osid_badge;
    std::array<bool, static_cast<size_t>(order_badge::count)> shown{};
    shown[static_cast<size_t>(order_badge::cashless)] = o.icl && *o.icl == cashless_icl;
    shown[static_cast<size_t>(order_badge::trade)] = o.trade && *o.trade && !osid_five;
    shown[static_cast<size_t>(order_badge::option)] = o.of && (*o.of & option_bit) != 0;
    shown[static_cast<size_t>(order_badge::osid5)] = osid_five;
    return shown;
}

std::wstring destinations_text(const std::vector<zel_api::command::order_point>& points) {
    std::wstring text;
    for (size_t i = 0; i < points.size(); ++i) {
        text += points[i].t;
        if (!points[i].tx.empty()) {
            text += L" (" + points[i].tx + L")";
        }
        if (i + 1 < points.size()) {
            text += L", ";
        }
    }
    return text;
}

// --- making

template <class Unit>
order_summary<Unit>::order_summary(manager_2& form, scroll_view& view, const rect& column,
                                   const order_summary_rules& rules)
    : form_(form), column_(column), rules_(rules) {
    const skin_images* skin = form_.get_skin_images();
    pin_image_ = skin_images::image_of(skin, pin_image);
    divider_image_ = skin_images::image_of(skin, divider_image);
    const int w = column_.w;
    const int top = column_.y;
    unit_width_ = text_width(form_, unit_font, 400, kilometre_unit);
    const int sample = text_width(form_, figure_font, 700, distance_sample);
    const int hs = divider_image_->height();
    const int rule_y = top + hs / 2 + hs / 2;

    pickup_ = make_row(form_, 0, top, w, line_font, true, line_colour);
    pickup_note_ = make_row(form_, 0, top, w, line_font, false, line_colour);
    information_ = make_row(form_, 0, top, w, line_font, false, information_colour);
    sum_ = make_row(form_, 0, top, w / 2, figure_font, true, sum_colour);
    sum_unit_ = make_unit<Unit>(form_, 0, top, w / 2, sum_colour);
    distance_unit_ = make_unit<Unit>(form_, w - unit_width_, top, unit_width_, distance_colour);
    distance_ =
        make_row(form_, w - unit_width_ - sample - rules_.figure_gap, top, sample, figure_font, true, distance_colour);
    pin_ = std::make_unique<image_control>(&form_, rect{0, top, pin_image_->width(), pin_image_->height()}, pin_image_);
    pin_->set_visible(false);
    divider_dark_ = std::make_unique<line_control>(&form_, rect{0, rule_y - dark_rule_rise, w, 0}, rule_dark);
    divider_light_ = std::make_unique<line_control>(&form_, rect{0, rule_y - light_rule_rise, w, 0}, rule_light);
    divider_ = std::make_unique<image_control>(
        &form_, rect{0, top + hs / 2, divider_image_->width(), divider_image_->height()}, divider_image_);
    destinations_ = make_row(form_, 0, top, w, line_font, false, line_colour);

    for (control* row : std::initializer_list<control*>{pickup_.get(), pickup_note_.get(), information_.get(),
                                                        sum_.get(), sum_unit_.get(), distance_unit_.get(),
                                                        distance_.get(), pin_.get(), divider_dark_.get(),
                                                        divider_light_.get(), divider_.get(), destinations_.get()}) {
        view.add(row);
    }
}

template <class Unit> order_summary<Unit>::~order_summary() = default;

// --- the fill

template <class Unit> void order_summary<Unit>::fill(const zel_api::command::order& o) {
    const int w = column_.w;
    int y = column_.y;
    y += stack_row(*pickup_, 0, y, w, o.af.t);
    y += stack_row(*pickup_note_, 0, y, w, o.af.tx);
    y += stack_row(*information_, 0, y, w, o.i);

    // The sum at the left, the distance at the right, the units lowered beside their figures.
    const bool sum_shown = o.msum && *o.msum != 0.0f;
    const int sum_height = stack_row(*sum_, 0, y, w / 2, sum_shown ? line_roubles_text(*o.msum) : L"");
    const int unit_y = static_cast<int>(y + unit_drop * sum_height);
    stack_row(*sum_unit_, sum_shown ? sum_->first_line_width() : 0, unit_y, w / 2, sum_shown ? rouble_unit : L"");

    const bool distance_shown =
        o.dist_to_driver &&
        (rules_.distance == order_summary_rules::distance_rule::when_present || *o.dist_to_driver > 0);
    const int unit_x = w - unit_width_;
    stack_row(*distance_unit_, unit_x, unit_y, unit_width_, distance_shown ? kilometre_unit : L"");
    int distance_height = 0;
    if (distance_shown) {
        const std::wstring figure = line_kilometres_text(*o.dist_to_driver);
        const int fw = text_width(form_, figure_font, 700, figure);
        distance_height = stack_row(*distance_, unit_x - fw - rules_.figure_gap, y, fw, figure);
        const int pw = pin_image_->width();
        const int ph = pin_image_->height();
        pin_->set_rect(rect{distance_->get_rect().x - pw, y + distance_height / 2 - ph / 2, pw, ph});
        pin_->set_visible(true);
    } else {
        const rect& figure = distance_->get_rect();
        stack_row(*distance_, figure.x, y, figure.w, L"");
        pin_->set_visible(false);
        pin_->set_rect(rect{0, column_.y, pin_image_->width(), pin_image_->height()});
    }
    y += sum_shown ? sum_height : distance_height;

    const int hs = divider_image_->height();
    divider_->set_rect(rect{0, y + hs / 2, divider_image_->width(), hs});
    divider_dark_->set_rect(rect{0, y + hs / 2 + hs / 2 - dark_rule_rise, w, 0});
    divider_light_->set_rect(rect{0, y + hs / 2 + hs / 2 - light_rule_rise, w, 0});
    y += hs;

    stack_row(*destinations_, 0, y, w, destinations_text(o.at));
}

template class order_summary<unit_text>;
template class order_summary<multiline_text>;

} // namespace zel::form
