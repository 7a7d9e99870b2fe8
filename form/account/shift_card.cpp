#include "form/account/shift_card.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "api/command/received/sell_shift.h"
#include "api/command/received/shift.h"
#include "controller/controller.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "foundation/logger.h"
#include "foundation/server_clock.h"
#include "foundation/text_utils.h"

namespace zel::form {

namespace {

// The time strip's places, in design pixels from its left and top.
constexpr double clock_left = 10.0;
constexpr double minutes_left = 48.0;
constexpr double clock_top = 10.0;
constexpr double clock_size = 30.0;
constexpr double length_left = 90.0;
constexpr double length_width = 43.0;
// The number's font steps down to half its size before the number is held.
constexpr double smallest_number_font = shift_card::length_number_font / 2.0;

// Lengths from this many hours up are told in days.
constexpr int32_t days_from = 25;

// The length's number and unit: hours below days_from, whole days from there; a negative length reads as none.
std::pair<int32_t, const wchar_t*> length_in_units(int32_t dur) {
    const int32_t hours = std::max(dur, 0);
    return hours < days_from ? std::pair{hours, L"ч"} : std::pair{hours / 24, L"д"};
}

int64_t time_zone_seconds() {
    const auto* c = controller_::controller::instance();
    const auto clock = c ? c->get_server_clock() : nullptr;
    return clock ? clock->server_seconds() : 0;
}

} // namespace

shift_card::length_text shift_card::length(const zel_api::command::shift& shift) {
    if (!shift.dur) {
        return {};
    }
    const auto [number, unit] = length_in_units(*shift.dur);
    return {int_to_wstring(number), unit, length_number_font};
}

shift_card::length_text shift_card::fitted_length(HWND window, const zel_api::command::shift& shift, float s) {
    length_text shown = length(shift);
    if (shown.number.empty()) {
        return shown;
    }
    const int unit_width = text_extent(window, font_holder(scaled(length_unit_font, s), 400), shown.unit).width;
    const fitted_figure figure =
        fit_figure(window, length_in_units(*shift.dur).first, scaled(length_width, s) - unit_width, 400,
                   length_number_font, smallest_number_font, s);
    shown.number = figure.text;
    shown.number_size = static_cast<int>(figure.size);
    return shown;
}

shift_card::start_text shift_card::start(const zel_api::command::shift& shift) {
    if (shift.st_dt_str.size() != 5) {
        return {};
    }
    return {shift.st_dt_str.substr(0, 2), shift.st_dt_str.substr(3, 2)};
}

shift_card::purchases shift_card::bought(const sales& all, int64_t shift_id) {
    purchases found;
    for (const auto& sale : all) {
        if (!sale || !sale->id_shift || *sale->id_shift != shift_id) {
            continue;
        }
        purchase_place& place = found.places[found.found++];
        if (sale->st_dt) {
            place.shown = true;
            place.day = date_text_ru(*sale->st_dt / 1000 + time_zone_seconds());
        }
        if (found.found == 2) {
            break;
        }
    }
    return found;
}

int32_t shift_card::sale_status(const sales& all, int64_t shift_id) {
    int32_t status = 0;
    bool any = false;
    for (const auto& sale : all) {
        if (sale && sale->id_shift && *sale->id_shift == shift_id && sale->status) {
            status = any ? std::max(status, *sale->status) : *sale->status;
            any = true;
        }
    }
    return status;
}

std::wstring shift_card::price(const zel_api::command::shift& shift) {
    if (!shift.c) {
        return {};
    }
    const double value = *shift.c;
    // A price that no 32-bit number holds is held at the range's end, with a line, instead of overflowing.
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    if (std::isnan(value) || value < low || value > high) {
        log(logger::warning, L"shift_card: a price beyond the 32-bit range");
        return int_to_wstring(std::isnan(value) ? 0
                              : value < 0       ? std::numeric_limits<int32_t>::min()
                                                : std::numeric_limits<int32_t>::max());
    }
    return int_to_wstring(static_cast<int32_t>(value));
}

shift_card::time_places shift_card::places(int ix, int sy, float s) {
    const int y = scaled(clock_top, s) + sy;
    const int box = scaled(clock_size, s);
    return {rect{static_cast<int>(clock_left * s + ix), y, box, box},
            rect{static_cast<int>(minutes_left * s + ix), y, box, box},
            rect{static_cast<int>(length_left * s + ix), y, scaled(length_width, s), box}};
}

} // namespace zel::form
