#include "form/order/taximeter_display.h"

#include <atomic>
#include <cmath>

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

constexpr double largest_sum = 99999.0;
constexpr double digits_top = 15.0;  // the digits' band starts this far below the display's top
constexpr double digits_trim = 23.0; // and is this much lower than the fields
constexpr double glare_top = 23.0;
constexpr double cashless_font = 40.0;
constexpr rgb cashless_colour{248, 175, 47};
constexpr UINT cashless_format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;

// Lit: the next paint of any display draws the lit lamp.
std::atomic<bool> lamp_lit_next{true};

std::wstring at_least_two_digits(long value) {
    std::wstring text = int_to_wstring(static_cast<int32_t>(value));
    return text.size() == 1 ? L"0" + text : text;
}

void fit_width(Image& image, int width) {
    if (width > 0 && width != image.width()) {
        image.resize(width, image.height());
    }
}

// The picture of one digit character; none for anything else.
Image* digit_of(const std::array<std::shared_ptr<Image>, 10>& set, wchar_t c) {
    return c >= L'0' && c <= L'9' ? set[static_cast<std::size_t>(c - L'0')].get() : nullptr;
}

} // namespace

taximeter_display::taximeter_display(manager_2* form, const rect& r)
    : control(form, r), left_end_(form_image(form, 2110)), rouble_field_(form_image(form, 2111)),
      kopeck_field_(form_image(form, 2112)), right_end_(form_image(form, 2113)), kopeck_end_(form_image(form, 2114)),
      lamp_good_(form_image(form, 2207)), lamp_poor_(form_image(form, 2208)), lamp_off_(form_image(form, 2209)),
      cashless_left_(form_image(form, 2210)), cashless_fill_(form_image(form, 2211)),
      cashless_right_(form_image(form, 2212)), glare_(form_image(form, 2165)), rouble_divider_(form_image(form, 2107)),
      kopeck_divider_(form_image(form, 2108)), field_border_(form_image(form, 2109)) {
    for (int d = 0; d < 10; ++d) {
        roubles_2_3_[d] = form_image(form, 2047 + d);
        kopecks_2_[d] = form_image(form, 2057 + d);
        roubles_4_[d] = form_image(form, 2067 + d);
        kopecks_3_[d] = form_image(form, 2077 + d);
        roubles_5_[d] = form_image(form, 2087 + d);
    }
    // The fields fit the display from the start, before the first sum.
    layout();
}

taximeter_display::~taximeter_display() = default;

void taximeter_display::reset_lamp_blink() {
    lamp_lit_next = true;
}

void taximeter_display::set_sum(double value) {
    if (value >= 0 && value <= largest_sum) {
        // Whole kopecks, rounded once: 1.05 held as 1.0499999 is 1 rouble 5 kopecks, not 4.
        const long kopecks = std::lround(value * 100.0);
        roubles_ = at_least_two_digits(kopecks / 100);
        kopecks_ = at_least_two_digits(kopecks % 100);
    } else {
        roubles_ = L"00";
        kopecks_ = L"00";
    }
    layout();
    invalidate();
}

void taximeter_display::set_gps_ok(bool ok) {
    if (ok != gps_ok_) {
        gps_ok_ = ok;
        invalidate();
    }
}

void taximeter_display::set_cashless(bool cashless) {
    if (cashless != cashless_) {
        cashless_ = cashless;
        invalidate();
    }
}

void taximeter_display::layout() {
    const int w = rect_.w;
    const int fields = w - right_end_->width() - left_end_->width();
    switch (roubles_.size()) {
    case 2:
        fit_width(*rouble_field_, (fields / 5) * 3);
        fit_width(*kopeck_field_, fields - (fields / 5) * 3);
        fit_width(*glare_, fields);
        break;
    case 3:
        fit_width(*rouble_field_, w - kopeck_end_->width() - left_end_->width());
        break;
    case 4:
    case 5:
        fit_width(*rouble_field_, fields);
        break;
    default:
        break;
    }
}

void taximeter_display::paint(Graphics& g, const rect&, int dx, int dy) {
    const int x = rect_.x + dx;
    const int y = rect_.y + dy;
    if (cashless_) {
        draw_cashless(g, x, y);
    } else {
        left_end_->draw(g, x, y);
        const int x0 = x + left_end_->width();
        const std::size_t length = roubles_.size();
        rouble_field_->draw(g, x0, y);
        if (length == 2) {
            right_end_->draw(g, x + rect_.w - right_end_->width(), y);
            kopeck_field_->draw(g, x0 + rouble_field_->width(), y);
        } else if (length == 3) {
            kopeck_end_->draw(g, x + rect_.w - kopeck_end_->width(), y);
        } else {
            right_end_->draw(g, x + rect_.w - right_end_->width(), y);
        }
        draw_digits(g, x, y);
        glare_->draw(g, x + left_end_->width() - 1, static_cast<int>(y + glare_top * form_->get_scale()));
    }
    draw_lamp(g, x, y);
}

void taximeter_display::draw_digits(Graphics& g, int x, int y) {
    const float s = form_->get_scale();
    const int x0 = x + left_end_->width();
    const int x1 = x0 + rouble_field_->width();
    const int y0 = static_cast<int>(y + digits_top * s);
    const int band = static_cast<int>(rouble_field_->height() - digits_trim * s);
    const int middle = y0 + band / 2;

    // A digit of the set centred at c (or with its left edge at `left`), its top placed by the height of the
    // set's "9" (or of another set's, where the layout says so).
    auto centred = [&](const digit_set& set, wchar_t c, int centre, const digit_set& height_set) {
        if (Image* image = digit_of(set, c)) {
            image->draw(g, centre - set[9]->width() / 2, middle - height_set[9]->height() / 2);
        }
    };
    auto divider = [&](Image& image, int left) { image.draw(g, left, middle - image.height() / 2); };
    // The border between roubles and kopecks stands as high as the rouble dividers.
    auto border = [&] { field_border_->draw(g, x1 - 1, middle - rouble_divider_->height() / 2); };

    const int field = rouble_field_->width();
    switch (roubles_.size()) {
    case 2: {
        const int q = field / 4;
        const int p = kopeck_field_->width() / 4;
        centred(roubles_2_3_, roubles_[0], x0 + q, roubles_2_3_);
        centred(roubles_2_3_, roubles_[1], x0 + 3 * q, roubles_2_3_);
        centred(kopecks_2_, kopecks_[0], x1 + p, kopecks_2_);
        centred(kopecks_2_, kopecks_[1], x1 + 3 * p, kopecks_2_);
        divider(*rouble_divider_, x0 + field / 2);
        divider(*kopeck_divider_, x1 + kopeck_field_->width() / 2);
        border();
        break;
    }
    case 3: {
        const int t = field / 3;
        for (int i = 0; i < 3; ++i) {
            centred(roubles_2_3_, roubles_[i], x0 + i * t + t / 2, kopecks_2_);
        }
        // The two kopeck digits side by side on the kopeck window, the second where the first ends.
        const int w9 = kopecks_3_[9]->width();
        const int top = middle - kopecks_3_[9]->height() / 2;
        const int first = x1 + kopeck_end_->width() / 4 - w9 / 2;
        if (Image* k1 = digit_of(kopecks_3_, kopecks_[0])) {
            k1->draw(g, first, top);
        }
        if (Image* k2 = digit_of(kopecks_3_, kopecks_[1])) {
            k2->draw(g, first + w9, top);
        }
        divider(*rouble_divider_, x0 + t);
        divider(*rouble_divider_, x0 + 2 * t);
        border();
        break;
    }
    case 4:
    case 5: {
        const int count = static_cast<int>(roubles_.size());
        const digit_set& set = count == 4 ? roubles_4_ : roubles_5_;
        const int cell = field / count;
        for (int i = 0; i < count; ++i) {
            centred(set, roubles_[i], x0 + i * cell + cell / 2, set);
        }
        for (int i = 1; i < count; ++i) {
            divider(*rouble_divider_, x0 + i * cell);
        }
        border();
        break;
    }
    default:
        break;
    }
}

void taximeter_display::draw_cashless(Graphics& g, int x, int y) {
    cashless_left_->draw(g, x, y);
    cashless_right_->draw(g, x + rect_.w - cashless_right_->width(), y);
    const int inner_x = x + cashless_left_->width();
    const int inner_w = rect_.w - cashless_right_->width() - cashless_left_->width();
    cashless_fill_->tile_in_rect(g, rect{inner_x, y, inner_w, cashless_fill_->height()});
    font_holder font(scaled(cashless_font, form_->get_scale()), 400);
    g.draw_text(font, rect{inner_x, y, inner_w, rect_.h}, L"Безналичный", cashless_format, TRANSPARENT,
                cashless_colour);
}

void taximeter_display::draw_lamp(Graphics& g, int x, int y) {
    const bool lit = lamp_lit_next.load();
    lamp_lit_next = !lit;
    Image& lamp = lit ? (gps_ok_ ? *lamp_good_ : *lamp_poor_) : *lamp_off_;
    lamp.draw(g, x + rect_.w - 2 * lamp_good_->width(), y);
}

} // namespace zel::form
