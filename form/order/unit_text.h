// unit_text: the unit written after a figure (" р.", " км."): one line drawn exactly as given, leading blank
// included, from the rectangle's top-left corner, moved with the scroll view that carries it. Word wrapping
// (multiline_text) would drop that blank and, in a rectangle exactly as wide as the text, push the unit to a
// second line. Its height is one line of its font while shown, 0 while hidden or empty. UI thread only.
#pragma once

#include <string>

#include "form/controls/control.h"

namespace zel::form {

class unit_text : public control {
public:
    // Font size before scaling, weight 400, colour 0xRRGGBB; empty and visible.
    unit_text(manager_2* form, int size, unsigned rrggbb);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // These store, take the height and repaint.
    void set_text(const std::wstring& text);
    void set_position(int x, int y, int width);
    void set_visible(bool visible) override;

    const std::wstring& text() const {
        return text_;
    }

private:
    int line_height() const;

    std::wstring text_;
    int size_;
    unsigned colour_;
};

} // namespace zel::form
