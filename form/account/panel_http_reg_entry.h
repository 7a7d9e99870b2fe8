// The shape that the two registration screens share (the telephone, panel 18, and the code, panel 19): a hint
// on top, a number field below it with the typed text in amber, and the keypad with "Ок" and "Отмена" under the
// field. On a landscape screen the hint and the field take the left half of the work rectangle and the keypad
// the right half: the landscape twins override screen_areas, and nothing else.
//
// It owns the field's pictures from show to hide; the controls are the panel base's, until the clear after the
// hide. The screen that derives from it decides what the keys do and what the field shows. UI thread only.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "form/shell/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class keypad_dialog;
class multiline_text;
class text_label;

class panel_http_reg_entry : public panel_base {
public:
    // Where every control goes.
    struct layout {
        int hint_x = 0, hint_y = 0, hint_w = 0;
        rect field_middle;
        rect field_left;
        rect field_right;
        rect label;
        rect keypad;
    };

    ~panel_http_reg_entry() override;

    void paint_background(Graphics& g, const rect& update) override;
    void hide() override;

    // The keypad dialog's callback: 0-8 the digits 1-9, 10 the digit 0, 11 delete, 100 "Ок", 101 "Отмена".
    virtual void on_key(int key) = 0;

    // The rule in an area: the hint of that height from its top, the field (pictures of these sizes) under it,
    // the keypad from below the field to the area's bottom.
    static layout lay_out(const rect& area, float scale, int hint_h, size left_end, size middle, size right_end);

    // Tests look at these while the screen is shown.
    text_label* label() const {
        return label_;
    }
    keypad_dialog* keys() const {
        return keys_;
    }
    multiline_text* hint() const {
        return hint_;
    }
    // Whether the keypad has an area of its own beside the field.
    bool landscape() const {
        return screen_areas().keypad.has_value();
    }
    rect left_half() const {
        return {own_.x, own_.y, own_.w / 2, own_.h};
    }
    rect right_half() const {
        return {own_.x + own_.w / 2, own_.y, own_.w - own_.w / 2, own_.h};
    }

protected:
    // The hint's text; the field's font size (before scaling), and the smaller one taken when the field is
    // narrower than the sample text at the larger size.
    panel_http_reg_entry(manager_2& form, std::wstring hint, std::wstring sample, int font_size, int small_font_size);

    manager_2& form() const {
        return form_;
    }
    // Where the hint with the field, and the keypad go: the portrait screen has them one under the other in the
    // work rectangle (the keypad takes what the field leaves below it); a landscape twin gives the keypad an
    // area of its own.
    struct areas {
        rect entry;
        std::optional<rect> keypad;
    };
    virtual areas screen_areas() const {
        return {own_, std::nullopt};
    }
    // Builds the controls; the field shows nothing yet.
    void build_controls();
    // Shows the text in the field (regular weight).
    void show_text(const std::wstring& text);

private:
    manager_2& form_;
    std::wstring hint_text_;
    std::wstring sample_;
    int font_size_;
    int small_font_size_;
    // The field's middle, left end and right end (2014, 2015, 2016).
    std::array<std::shared_ptr<Image>, 3> field_images_;
    // The controls touched after show; null while hidden.
    multiline_text* hint_ = nullptr;
    keypad_dialog* keys_ = nullptr;
    text_label* label_ = nullptr;
};

} // namespace zel::form
