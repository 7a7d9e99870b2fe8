#include "form/controls/multiline_text.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

// A character no text carries, so no word can be mistaken for it.
const std::wstring multiline_text::line_break(1, L'\n');

multiline_text::multiline_text(manager_2* form, int x, int y, int width) : control(form, rect{x, y, width, 0}) {}

int multiline_text::font_height() const {
    return scaled(font_size_, form_->get_scale());
}

void multiline_text::set_font(int size, bool bold) {
    font_size_ = size;
    bold_ = bold;
    invalidate();
}

void multiline_text::set_color(unsigned rrggbb) {
    colour_ = rrggbb;
    invalidate();
}

void multiline_text::set_format(unsigned flags) {
    flags_ = flags;
    invalidate();
}

void multiline_text::set_position(int x, int y, int width) {
    rect_.x = x;
    rect_.y = y;
    rect_.w = width;
    invalidate();
}

void multiline_text::set_visible(bool visible) {
    if (!visible) {
        rect_.h = 0;
    }
    visible_ = visible;
    if (visible) {
        rect_.h = text_height();
    }
    invalidate();
}

std::vector<std::wstring> multiline_text::split_words(const std::wstring& text) {
    std::vector<std::wstring> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t feed = text.find(L'\n', start);
        const std::size_t end = feed == std::wstring::npos ? text.size() : feed;
        const std::wstring piece = text.substr(start, end - start);
        if (!piece.empty()) {
            std::size_t word_start = 0;
            while (true) {
                const std::size_t blank = piece.find(L' ', word_start);
                if (blank == std::wstring::npos) {
                    words.push_back(piece.substr(word_start));
                    break;
                }
                words.push_back(piece.substr(word_start, blank - word_start));
                word_start = blank + 1;
            }
        }
        if (feed == std::wstring::npos) {
            break;
        }
        words.push_back(line_break);
        start = feed + 1;
    }
    return words;
}

std::vector<std::wstring> multiline_text::wrap_words(const std::vector<std::wstring>& words) const {
    font_holder font(font_height(), bold_ ? 700 : 400);
    const HWND window = form_->get_hwnd();
    const int max_width = rect_.w;
    auto width_of = [&](const std::wstring& text) { return text_extent(window, font, text).width; };
    std::vector<std::wstring> lines;
    for (const std::wstring& word : words) {
        if (word == line_break) {
            lines.emplace_back();
        } else if (width_of(word) >= max_width) {
            lines.push_back(word);
        } else if (lines.empty()) {
            lines.push_back(word);
        } else if (width_of(lines.back() + L" " + word) <= max_width) {
            // A line may fill the block: a unit laid in a block exactly its own width stays on its line.
            if (!lines.back().empty() && lines.back() != L" ") {
                lines.back() += L" " + word;
            } else {
                lines.back() = word;
            }
        } else {
            lines.push_back(word);
        }
    }
    if (!lines.empty() && (lines.back().empty() || lines.back() == L" ")) {
        lines.pop_back();
    }
    return lines;
}

void multiline_text::set_text(const std::wstring& text) {
    lines_ = wrap_words(split_words(text));
    rect_.h = text_height();
    invalidate();
}

int multiline_text::text_height() const {
    font_holder font(font_height(), bold_ ? 700 : 400);
    return static_cast<int>(lines_.size()) * text_extent(form_->get_hwnd(), font, L"а").height;
}

int multiline_text::first_line_width() const {
    if (lines_.empty()) {
        return 0;
    }
    font_holder font(font_height(), bold_ ? 700 : 400);
    return text_extent(form_->get_hwnd(), font, lines_.front()).width;
}

void multiline_text::paint(Graphics& g, const rect&, int dx, int dy) {
    if (!visible_) {
        return;
    }
    font_holder font(font_height(), bold_ ? 700 : 400);
    const HWND window = form_->get_hwnd();
    Graphics::saved_state keep(g);
    g.clip_to({rect_.x + dx, rect_.y + dy, rect_.w, max_height_ >= 0 ? max_height_ : rect_.h});
    int y = rect_.y + dy;
    for (const std::wstring& line : lines_) {
        g.draw_text(font, {rect_.x + dx, y, rect_.w, rect_.h}, line, flags_, TRANSPARENT, rgb::from_rrggbb(colour_));
        y += text_extent(window, font, line).height;
    }
}

} // namespace zel::form
