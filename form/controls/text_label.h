// text_label: one line of text in a rectangle (centred both ways unless the panel sets other DrawText
// flags), "Tahoma" of a design size times the scale; white, size 30, weight 400 until the panel sets them.
// UI thread only.
#pragma once

#include <string>

#include "form/controls/control.h"

namespace zel::form {

class text_label : public control {
public:
    text_label(manager_2* form, const rect& r, std::wstring text);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores both and repaints.
    void set_text(const std::wstring& text, int weight);
    // These store only; the caller repaints.
    void set_font_size(int size) {
        font_size_ = size;
    }
    void set_color(unsigned rrggbb) {
        colour_ = rrggbb;
    }
    void set_format(unsigned flags) {
        flags_ = flags;
    }

    const std::wstring& text() const {
        return text_;
    }
    int weight() const {
        return weight_;
    }

private:
    std::wstring text_;
    int font_size_ = 30;
    unsigned colour_ = 0xFFFFFF;
    unsigned flags_ = 37;
    int weight_ = 400;
};

} // namespace zel::form
