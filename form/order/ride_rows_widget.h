// ride_rows_widget: the ride time and the distance of the ride screen, written in digit pictures on a
// three-part background: "m:ss" below an hour, "h:mm" with the seconds as two half-size digits from an hour
// on, and the kilometres as "dddd.d" with blanks for leading zeros. It owns its pictures (the half-size digits
// made from the full ones at creation) and the figures last set. Always visible and enabled; takes no pen.
// UI thread only.
#pragma once

#include <array>
#include <memory>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class ride_rows_widget : public control {
public:
    ride_rows_widget(manager_2* form, const rect& r);
    ~ride_rows_widget() override;

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    bool is_visible() const override {
        return true;
    }
    bool is_enabled() const override {
        return true;
    }
    void set_visible(bool) override {}
    void set_enabled(bool) override {}

    // Repaints. Hours outside 0-99 and minutes or seconds outside 0-59 are shown as 0.
    void set_time(int hours, int minutes, int seconds);
    // Stores only: the caller repaints (the time is set on the same tick). Below 0 or above 9999 shows 9999.0.
    void set_distance(float km);
    // The time last set.
    int hours() const {
        return hours_;
    }
    int minutes() const {
        return minutes_;
    }
    int seconds() const {
        return seconds_;
    }

private:
    using picture = std::shared_ptr<Image>;
    void draw_time(Graphics& g, int x, int y);
    void draw_distance(Graphics& g, int x, int y);

    picture left_;
    picture middle_;
    picture right_;
    std::array<picture, 10> digits_;
    std::array<picture, 10> small_digits_;
    picture blank_;
    picture colon_;
    picture second_point_; // loaded with the others, never drawn
    picture point_;
    int hours_ = 0;
    int minutes_ = 0;
    int seconds_ = 0;
    float km_ = 0;
};

} // namespace zel::form
