#include "form/order/ride_rows_widget.h"

#include <algorithm>

#include "form/controls/image_box.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr int left_id = 2116;
constexpr int middle_id = 2117;
constexpr int right_id = 2118;
constexpr int first_digit_id = 2145; // "0" to "9"
constexpr int blank_id = 2155;
constexpr int colon_id = 2156;
constexpr int second_point_id = 2157;
constexpr int point_id = 2158;

constexpr double digits_left = 75.0; // both rows start here
constexpr double time_top = 28.0;
constexpr double distance_middle = 70.0;
constexpr float longest_distance = 9999.0f;

} // namespace

ride_rows_widget::ride_rows_widget(manager_2* form, const rect& r)
    : control(form, r), left_(form_image(form, left_id)), middle_(form_image(form, middle_id)),
      right_(form_image(form, right_id)), blank_(form_image(form, blank_id)), colon_(form_image(form, colon_id)),
      second_point_(form_image(form, second_point_id)), point_(form_image(form, point_id)) {
    const int fill = r.w - right_->width() - left_->width();
    if (fill > 1 && fill != middle_->width()) {
        middle_->resize(fill, middle_->height());
    }
    for (int d = 0; d < 10; ++d) {
        digits_[d] = form_image(form, first_digit_id + d);
        small_digits_[d] = std::make_shared<Image>();
        small_digits_[d]->assign(*digits_[d]);
        if (!digits_[d]->empty()) {
            small_digits_[d]->resize(std::max(1, digits_[d]->width() / 2), std::max(1, digits_[d]->height() / 2));
        }
    }
}

ride_rows_widget::~ride_rows_widget() = default;

void ride_rows_widget::set_time(int hours, int minutes, int seconds) {
    hours_ = hours >= 0 && hours <= 99 ? hours : 0;
    minutes_ = minutes >= 0 && minutes <= 59 ? minutes : 0;
    seconds_ = seconds >= 0 && seconds <= 59 ? seconds : 0;
    invalidate();
}

void ride_rows_widget::set_distance(float km) {
    km_ = km >= 0 && km <= longest_distance ? km : longest_distance; // not a number too
}

void ride_rows_widget::paint(Graphics& g, const rect&, int dx, int dy) {
    const int x = rect_.x + dx;
    const int y = rect_.y + dy;
    left_->draw(g, x, y);
    middle_->draw(g, x + left_->width(), y);
    right_->draw(g, x + left_->width() + middle_->width(), y);
    draw_time(g, x, y);
    draw_distance(g, x, y);
}

void ride_rows_widget::draw_time(Graphics& g, int x, int y) {
    const float s = form_->get_scale();
    const int step = digits_[0]->width();
    const int top = y + scaled(time_top, s);
    int left = x + scaled(digits_left, s);
    auto put = [&](Image& image) {
        image.draw(g, left, top);
        left += step;
    };
    // The leading figure loses its leading zero; the rest keep two digits.
    const int leading = hours_ > 0 ? hours_ : minutes_;
    put(leading >= 10 ? *digits_[leading / 10] : *blank_);
    put(*digits_[leading % 10]);
    put(*colon_);
    if (hours_ > 0) {
        put(*digits_[minutes_ / 10]);
        put(*digits_[minutes_ % 10]);
        put(*small_digits_[seconds_ / 10]);
        put(*small_digits_[seconds_ % 10]);
    } else {
        put(*digits_[seconds_ / 10]);
        put(*digits_[seconds_ % 10]);
    }
}

void ride_rows_widget::draw_distance(Graphics& g, int x, int y) {
    const float s = form_->get_scale();
    const int step = digits_[0]->width();
    const int middle = y + scaled(distance_middle, s);
    int left = x + scaled(digits_left, s);
    auto put = [&](Image& image) {
        image.draw(g, left, middle - image.height() / 2);
        left += step;
    };
    const int whole = static_cast<int>(km_);
    put(whole >= 1000 ? *digits_[whole / 1000 % 10] : *blank_);
    put(whole >= 100 ? *digits_[whole / 100 % 10] : *blank_);
    put(whole >= 10 ? *digits_[whole / 10 % 10] : *blank_);
    put(*digits_[whole % 10]);
    put(*point_);
    put(*digits_[static_cast<int>(km_ * 10) % 10]);
}

} // namespace zel::form
