#include "form/controls/elapsed_time_box.h"

#include <algorithm>

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"
#include "foundation/saturating.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int time_box_id = 7025;

// Design lengths from the box's left edge.
constexpr double elapsed_left = 12.0;
constexpr double elapsed_width = 40.0;
constexpr double field_height = 37.0;
constexpr double hour_left = 68.0;
constexpr double minute_left = 106.0;
constexpr double clock_width = 30.0;

constexpr double number_font = 28.0;
constexpr double unit_font = 15.0;
constexpr double clock_font = 28.0;
constexpr rgb dark_text{46, 66, 60};
constexpr UINT centred = 0x25; // both ways, single line

// The widest the number and its unit may be together: centred on the band's middle, they stay inside the
// picture's left field (its first 60 design pixels).
constexpr double figure_room = 56.0;
// The number's font steps down to half its size before the figure is held.
constexpr double smallest_number_font = number_font / 2;

std::wstring two_digits(int value) {
    std::wstring text = int_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

// The left field's figure as drawn (the number, or its held form) and its font.
fitted_figure figure_for(HWND window, const elapsed_time_box::texts& shown, float s) {
    const int unit_width =
        shown.unit.empty() ? 0 : text_extent(window, font_holder(scaled(unit_font, s), 400), shown.unit).width;
    return fit_figure(window, shown.count, scaled(figure_room, s) - unit_width, 700, number_font, smallest_number_font,
                      s);
}

} // namespace

elapsed_time_box::elapsed_time_box(manager_2* form, const rect& r)
    : control(form, r), image_(form_image(form, time_box_id)) {}

void elapsed_time_box::set_times(int64_t now_ms, int64_t start_s, int64_t offset_s) {
    if (now_ms == now_ms_ && start_s == start_s_ && offset_s == offset_s_) {
        return;
    }
    now_ms_ = now_ms;
    start_s_ = start_s;
    offset_s_ = offset_s;
    invalidate();
}

elapsed_time_box::texts elapsed_time_box::texts_for(int64_t now_ms, int64_t start_s, int64_t offset_s) {
    texts out;
    // The times come from the server: any 64-bit value, so the difference saturates.
    const int64_t minutes = ms_minus_seconds(now_ms, start_s) / 60 / 1000;
    if (minutes < 60) {
        out.count = minutes;
    } else {
        out.count = minutes / 60;
        out.unit = L"ч";
    }
    out.number = int64_to_wstring(out.count);
    const int64_t local = now_ms / 1000 + offset_s;
    out.hour = two_digits(unix_time_hour(local));
    out.minute = two_digits(unix_time_minute(local));
    return out;
}

void elapsed_time_box::paint_texts(Graphics& g, HWND window, float s, int x, int y, const texts& shown) {
    const int height = static_cast<int>(field_height * s);

    // The number and its unit side by side, the pair centred in the left field.
    const fitted_figure figure = figure_for(window, shown, s);
    font_holder number(figure.height, 700);
    font_holder unit(static_cast<int>(unit_font * s), 400);
    const size number_size = text_extent(window, number, figure.text);
    const size unit_size = shown.unit.empty() ? size{} : text_extent(window, unit, shown.unit);
    const int band_left = static_cast<int>(elapsed_left * s + x);
    const int number_left = static_cast<int>(band_left + elapsed_width * s / 2 -
                                             static_cast<double>(number_size.width + unit_size.width) / 2);
    g.draw_text(number, rect{number_left, y, number_size.width, height}, figure.text, centred, TRANSPARENT, dark_text);
    if (!shown.unit.empty()) {
        g.draw_text(unit, rect{number_left + number_size.width, y, unit_size.width, height}, shown.unit, centred,
                    TRANSPARENT, dark_text);
    }

    font_holder clock(static_cast<int>(clock_font * s), 400);
    const int width = static_cast<int>(clock_width * s);
    g.draw_text(clock, rect{static_cast<int>(hour_left * s + x), y, width, height}, shown.hour, centred, TRANSPARENT,
                white);
    g.draw_text(clock, rect{static_cast<int>(minute_left * s + x), y, width, height}, shown.minute, centred,
                TRANSPARENT, white);
}

void elapsed_time_box::paint(Graphics& g, const rect&, int dx, int dy) {
    if (!visible_) {
        return;
    }
    const int x = rect_.x + dx;
    const int y = rect_.y + dy;
    image_->draw(g, x, y);
    paint_texts(g, form_->get_hwnd(), form_->get_scale(), x, y, texts_for(now_ms_, start_s_, offset_s_));
}

} // namespace zel::form
