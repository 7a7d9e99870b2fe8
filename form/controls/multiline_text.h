// multiline_text: a block of text wrapped at blanks to its width (a line may fill it exactly), its height always
// the number of lines times the height of one line ("а") in its font, 0 while hidden. A word as wide as the block
// or wider is never broken: it takes a line of its own and is clipped. A maximum height (0 or more) cuts the
// block when painting. White, size 30, regular until the panel sets them. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "form/controls/control.h"

namespace zel::form {

class font_holder;

class multiline_text : public control {
public:
    multiline_text(manager_2* form, int x, int y, int width);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // These store and repaint.
    void set_font(int size, bool bold);
    void set_color(unsigned rrggbb);
    void set_format(unsigned flags);
    void set_position(int x, int y, int width);
    void set_visible(bool visible) override;
    // Wraps the text, takes its height and repaints.
    void set_text(const std::wstring& text);
    // Stores only; below 0 means none.
    void set_max_height(int height) {
        max_height_ = height;
    }

    int max_height() const {
        return max_height_;
    }
    int text_height() const;
    int first_line_width() const;
    const std::vector<std::wstring>& lines() const {
        return lines_;
    }

    // The words of a text: pieces between line feeds, each followed by the line-break token, cut at every
    // blank (two blanks give an empty word).
    static std::vector<std::wstring> split_words(const std::wstring& text);
    static const std::wstring line_break;

private:
    std::vector<std::wstring> wrap_words(const std::vector<std::wstring>& words) const;
    int font_height() const;

    std::vector<std::wstring> lines_;
    int font_size_ = 30;
    unsigned colour_ = 0xFFFFFF;
    bool bold_ = false;
    unsigned flags_ = 32;
    int max_height_ = -1;
};

} // namespace zel::form
