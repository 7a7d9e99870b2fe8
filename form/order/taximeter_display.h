// taximeter_display: the sum of the ride screen in digit pictures — roubles and kopecks while the roubles
// have two or three digits, roubles alone with four or five — or, for a cashless order, the caption
// "Безналичный" in place of the digits; and the GPS lamp, which blinks. It owns its 65 pictures (the fields
// resized to its width for the number of rouble digits) and the rouble and kopeck texts. Always visible and
// enabled; takes no pen. UI thread only.
//
// The lamp's blink is one toggle shared by every display of the program, flipped by each paint of any
// display:
//   toggle  paint of a display draws                       -> toggle
//   lit     2207 with a good GPS fix, else 2208            -> dark
//   dark    2209                                           -> lit
// reset_lamp_blink makes the next paint draw the lit lamp (tests, so pictures do not depend on how many
// paints came before).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class taximeter_display : public control {
public:
    taximeter_display(manager_2* form, const rect& r);
    ~taximeter_display() override;

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    bool is_visible() const override {
        return true;
    }
    bool is_enabled() const override {
        return true;
    }
    void set_visible(bool) override {}
    void set_enabled(bool) override {}

    // Roubles and kopecks of a sum from 0 to 99999, each at least two digits; "00" and "00" outside. Lays the
    // fields out for the number of rouble digits and repaints, also when the sum is unchanged: the ride
    // screen's once-a-second sum is what makes the lamp blink.
    void set_sum(double value);
    // Both repaint when the flag changed.
    void set_gps_ok(bool ok);
    void set_cashless(bool cashless);

    const std::wstring& rouble_text() const {
        return roubles_;
    }
    const std::wstring& kopeck_text() const {
        return kopecks_;
    }

    static void reset_lamp_blink();

private:
    using picture = std::shared_ptr<Image>;
    using digit_set = std::array<picture, 10>;

    void layout();
    void draw_digits(Graphics& g, int x, int y);
    void draw_cashless(Graphics& g, int x, int y);
    void draw_lamp(Graphics& g, int x, int y);

    std::wstring roubles_ = L"12";
    std::wstring kopecks_ = L"34";
    bool gps_ok_ = false;
    bool cashless_ = false;

    picture left_end_;       // 2110
    picture rouble_field_;   // 2111
    picture kopeck_field_;   // 2112
    picture right_end_;      // 2113
    picture kopeck_end_;     // 2114: the kopeck window and the right end of three-digit sums
    picture lamp_good_;      // 2207
    picture lamp_poor_;      // 2208
    picture lamp_off_;       // 2209
    picture cashless_left_;  // 2210
    picture cashless_fill_;  // 2211, tiled
    picture cashless_right_; // 2212
    picture glare_;          // 2165
    picture rouble_divider_; // 2107
    picture kopeck_divider_; // 2108
    picture field_border_;   // 2109
    digit_set roubles_2_3_;  // 2047-2056: roubles of two- and three-digit sums
    digit_set kopecks_2_;    // 2057-2066: kopecks beside two-digit roubles
    digit_set roubles_4_;    // 2067-2076
    digit_set kopecks_3_;    // 2077-2086: kopecks beside three-digit roubles
    digit_set roubles_5_;    // 2087-2096
};

} // namespace zel::form
