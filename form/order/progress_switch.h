// progress_switch: the waiting switch of the ride screen. Off it shows a grey face with an hourglass; on (or
// pressed) a yellow face with the waiting time as minutes and seconds and a bar that fills towards the moment
// waiting starts to be paid. It owns its five pictures (the bars resized to 92 x scale wide at creation) and
// the callback, which is given the state before each tap. UI thread only.
//
// Pen (rule of point_in_rect):
//   state, pressed   event                          -> state, pressed  effect
//   s, no            down inside, enabled           -> s, yes          repaint
//   s, any           down outside, or disabled      -> unchanged       nothing
//   s, yes           up inside, enabled             -> !s, no          callback(s) first, then repaint
//   s, any           any other up                   -> s, no           repaint
//   s, any           turn_off                       -> off, no         repaint; no callback
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class progress_switch : public control {
public:
    // The state given to the callback: 1 when waiting was being counted before the tap.
    progress_switch(manager_2* form, const rect& r, std::function<void(int)> on_tap);
    ~progress_switch() override;

    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Seconds of waiting; repaints when it changed.
    void set_value(int seconds);
    // Kept within 0 and 1; repaints when it changed.
    void set_progress(float progress);
    bool is_on() const {
        return on_;
    }
    bool is_pressed() const {
        return pressed_;
    }
    void turn_off();

    // "mm:ss" of a count of seconds, each part with a leading "0" below 10.
    static std::wstring time_text(int seconds);

private:
    int value_ = 0;
    float progress_ = 0;
    bool pressed_ = false;
    bool on_ = false;
    std::function<void(int)> on_tap_;
    std::shared_ptr<Image> face_on_;
    std::shared_ptr<Image> face_off_;
    std::shared_ptr<Image> bar_empty_;
    std::shared_ptr<Image> bar_full_;
    std::shared_ptr<Image> icon_off_;
};

} // namespace zel::form
