#include "platform/text/text_layout.h"

namespace platform {

namespace {

// Splits at CR, LF or CR LF unless the text is one line; a break at the very end starts no further line.
std::vector<std::u32string> split_lines(const wchar_t* text, std::size_t count, bool single_line) {
    std::vector<std::u32string> lines(1);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t c = static_cast<char32_t>(text[i]);
        if (!single_line && (c == U'\r' || c == U'\n')) {
            if (c == U'\r' && i + 1 < count && text[i + 1] == L'\n') {
                ++i;
            }
            if (i + 1 < count) {
                lines.emplace_back();
            }
            continue;
        }
        lines.back() += c;
    }
    return lines;
}

// "&x" shows x underlined, "&&" one '&', a lone '&' at the end nothing.
void apply_prefixes(text_line& line) {
    std::u32string out;
    for (std::size_t i = 0; i < line.chars.size(); ++i) {
        if (line.chars[i] != U'&') {
            out += line.chars[i];
            continue;
        }
        if (++i >= line.chars.size()) {
            break;
        }
        if (line.chars[i] != U'&') {
            line.underline = static_cast<int>(out.size());
        }
        out += line.chars[i];
    }
    line.chars = std::move(out);
}

int measure(sized_font& font, const std::u32string& chars) {
    int width = 0;
    for (char32_t c : chars) {
        width += font.glyph(c).advance;
    }
    return width;
}

// Drops characters from the end (and the blanks before the cut) until the rest and "..." fit.
void shorten(sized_font& font, text_line& line, int room) {
    const std::u32string dots = U"...";
    const int dots_width = measure(font, dots);
    while (!line.chars.empty() && line.width + dots_width > room) {
        line.width -= font.glyph(line.chars.back()).advance;
        line.chars.pop_back();
    }
    while (!line.chars.empty() && line.chars.back() == U' ') {
        line.width -= font.glyph(line.chars.back()).advance;
        line.chars.pop_back();
    }
    if (line.underline >= static_cast<int>(line.chars.size())) {
        line.underline = -1;
    }
    line.chars += dots;
    line.width += dots_width;
}

} // namespace

text_layout lay_out_text(sized_font& font, const wchar_t* text, std::size_t count, const RECT& rect, UINT format) {
    text_layout layout;
    layout.line_height = font.height();
    layout.ascent = font.ascent();
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool measuring = (format & DT_CALCRECT) != 0;
    const int room = rect.right - rect.left;
    for (auto& chars : split_lines(text, count, single)) {
        text_line line;
        line.chars = std::move(chars);
        if (!(format & DT_NOPREFIX)) {
            apply_prefixes(line);
        }
        line.width = measure(font, line.chars);
        if ((format & DT_WORD_ELLIPSIS) && !measuring && line.width > room) {
            shorten(font, line, room);
        }
        layout.width = std::max(layout.width, line.width);
        layout.lines.push_back(std::move(line));
    }
    layout.height = static_cast<int>(layout.lines.size()) * layout.line_height;

    int top = rect.top;
    if (single && !measuring) {
        if (format & DT_BOTTOM) {
            top = rect.bottom - layout.height;
        } else if (format & DT_VCENTER) {
            top = rect.top + (rect.bottom - rect.top - layout.height) / 2;
        }
    }
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        text_line& line = layout.lines[i];
        line.y = top + static_cast<int>(i) * layout.line_height;
        line.x = rect.left;
        if (!measuring) {
            if (format & DT_CENTER) {
                line.x = rect.left + (room - line.width) / 2;
            } else if (format & DT_RIGHT) {
                line.x = rect.right - line.width;
            }
        }
    }
    return layout;
}

} // namespace platform
