// value_radio_button: a radio row with a caption at the left, a value box (three skin pieces, half the row
// wide, lit while checked) holding a figure in the largest bold size that fits, and an icon at the right end.
// Missing pictures draw nothing and measure 0. The display mode is stored for the panel; painting does not
// read it. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/radio_button.h"

namespace zel::form {

class Image;

class value_radio_button : public radio_button {
public:
    value_radio_button(manager_2* form, const rect& r, std::function<void()> on_select, std::shared_ptr<Image> icon,
                       std::wstring caption, radio_group* group);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    const std::wstring& value_text() const {
        return value_;
    }
    // Empty becomes "0"; otherwise at most 6 characters with at most one digit after a single point, else the
    // old value stays. Repaints when taken.
    void set_value(const std::wstring& text);
    void set_mode(int mode) {
        mode_ = mode;
    }
    int mode() const {
        return mode_;
    }

    // The value box's rectangle.
    rect value_box() const;
    // The font's pixel height that the fitted figure is drawn with in a box of that width: the largest of
    // 65 x scale down to 1 x scale whose text fits, else the smallest that is not 0 (the text is clipped).
    int fitted_height(const std::wstring& text, int box_width) const;
    // The caption's box left of the value box, and the font's pixel height it is drawn with: 38 x scale, or
    // the largest smaller size down to half of it in which the caption fits the box.
    rect caption_rect() const;
    int caption_height() const;

private:
    void draw_fitted_text(Graphics& g, const rect& box, const std::wstring& text, unsigned rrggbb) const;

    std::shared_ptr<Image> icon_;
    // Unchecked left, middle, right; checked left, middle, right.
    std::shared_ptr<Image> pieces_[6];
    std::wstring caption_;
    std::wstring value_;
    int mode_ = 0;
};

} // namespace zel::form
