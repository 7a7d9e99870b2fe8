// keypad: the on-screen number pad, twelve keys in four rows of three over its rectangle. Codes 0-8 are the
// digits 1-9, 9 the decimal point (dead and blank while the point is disabled), 10 the digit 0, 11 erase.
// The key callback gets the code of a completed tap; an empty callback does nothing. UI thread only.
//
// Key press (enabled; a disabled keypad ignores the pen):
//   pressed  event                 -> pressed  effect
//   -1       down on key k         -> k        repaint k
//   -1       down on no key        -> -1       nothing
//   k        up on k               -> -1       callback(k) (while k is still pressed), repaint k
//   k        up elsewhere          -> -1       repaint k
//   -1       up anywhere           -> -1       nothing
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class keypad : public control {
public:
    static constexpr int point_key = 9;
    static constexpr int erase_key = 11;

    keypad(manager_2* form, const rect& r);

    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    void set_callback(std::function<void(int)> callback) {
        callback_ = std::move(callback);
    }
    // Stores and repaints the point key.
    void set_point_enabled(bool enabled);
    std::wstring key_caption(int code) const;
    // The digit of a digit key's code ('1' to '9', '0'); 0 for the point, the erase key and any other code.
    static wchar_t digit_of(int code);
    // The first key, in code order, that holds the point (the point key only while enabled); -1 when none.
    int key_at(int x, int y) const;

    const rect& key_rect(int code) const {
        return keys_[static_cast<std::size_t>(code)];
    }
    int pressed_key() const {
        return pressed_;
    }

private:
    void draw_key_frame(Graphics& g, int code) const;
    void draw_key_face(Graphics& g, int code) const;

    std::function<void(int)> callback_;
    std::array<rect, 12> keys_{};
    int pressed_ = -1;
    // Key corners top-left, bottom-left, top-right, bottom-right; frame corners in the same order; erase.
    std::shared_ptr<Image> images_[9];
    bool point_enabled_ = false;
};

// Draws the four outer frame corners (skin 1022, 1021, 1024, 1023) on a rectangle's corners.
void draw_frame_corners(Graphics& g, const rect& r, const std::shared_ptr<Image> corners[4]);

} // namespace zel::form
