// keypad_dialog: a bar with "Ок" and "Отмена" over a keypad that it owns, draws and passes the pen to. One
// callback gets the keypad's codes 0-11, 100 for "Ок" and 101 for "Отмена"; an empty callback does nothing.
// UI thread only.
//
// Bar buttons (the keypad keeps its own press state):
//   pressed   event                       -> pressed   effect
//   any       down in the keypad          -> unchanged keypad's down
//   any       down on "Ок" / "Отмена"     -> 1 / 2     repaint that button
//   any       down elsewhere              -> 0         nothing
//   any       up in the keypad            -> 0         keypad's up
//   1         up on "Ок"                  -> 0         callback(100), repaint "Ок"
//   2         up on "Отмена"              -> 0         callback(101), repaint "Отмена"
//   any       up elsewhere                -> 0         repaint both
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;
class keypad;

class keypad_dialog : public control {
public:
    static constexpr int ok_code = 100;
    static constexpr int cancel_code = 101;

    keypad_dialog(manager_2* form, const rect& r);
    ~keypad_dialog() override;

    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;
    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    // Also the keypad's.
    void set_visible(bool visible) override;
    void set_enabled(bool enabled) override;

    void set_callback(std::function<void(int)> callback);
    void set_point_enabled(bool enabled);
    std::wstring key_caption(int code) const;

    const rect& ok_rect() const {
        return ok_;
    }
    const rect& cancel_rect() const {
        return cancel_;
    }
    const rect& keypad_rect() const {
        return keypad_rect_;
    }
    keypad& pad() const {
        return *keypad_;
    }
    int pressed_button() const {
        return pressed_;
    }

private:
    void notify(int code) const;

    rect keypad_rect_;
    rect ok_;
    rect cancel_;
    std::function<void(int)> callback_;
    int pressed_ = 0;
    // Frame corners 1022, 1021, 1024, 1023; inner corners 1018, 1017, 1019, 1020.
    std::shared_ptr<Image> images_[8];
    std::unique_ptr<keypad> keypad_;
};

} // namespace zel::form
