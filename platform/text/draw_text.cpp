// DrawTextW: lays the text out, then either reports its extent or draws it glyph by glyph.
#include <atomic>
#include <cwchar>

#include "platform/gdi/gdi_object.h"
#include "platform/text/text_layout.h"

using namespace platform;

namespace {

inline std::uint32_t blend(std::uint32_t dst, std::uint32_t src, unsigned a) {
    auto channel = [&](int shift) {
        const unsigned t = ((src >> shift) & 0xFF) * a + ((dst >> shift) & 0xFF) * (255 - a) + 128;
        return ((t + (t >> 8)) >> 8) << shift; // t / 255, rounded
    };
    return channel(0) | channel(8) | channel(16);
}

void draw_glyph(surface& s, const RECT& clip, const glyph_image& g, int pen_x, int baseline, std::uint32_t colour) {
    const int x0 = pen_x + g.left;
    const int y0 = baseline - g.top;
    const RECT r = intersect({x0, y0, x0 + g.width, y0 + g.rows}, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        // Indexed from the row's start: a pointer moved back by x0 could point before the array.
        const std::size_t row = static_cast<std::size_t>(y - y0) * static_cast<std::size_t>(g.width);
        for (int x = r.left; x < r.right; ++x) {
            const unsigned a = g.coverage[row + static_cast<std::size_t>(x - x0)];
            if (a == 0) {
                continue;
            }
            s.set(x, y, a == 255 ? colour : blend(s.get(x, y), colour, a));
        }
    }
}

std::atomic<text_recorder*> recorder{nullptr};

void fill(surface& s, const RECT& area, std::uint32_t pixel) {
    for (int y = area.top; y < area.bottom; ++y) {
        s.fill(y, area.left, area.right, pixel);
    }
}

} // namespace

void platform::set_text_recorder(text_recorder* installed) {
    recorder.store(installed, std::memory_order_release);
}

int DrawTextW(HDC handle, LPCWSTR text, int count, RECT* rect, UINT format) {
    device_context* dc = dc_of(handle);
    if (!dc || !text || !rect) {
        return 0;
    }
    const std::size_t length = count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    font_engine& engine = font_engine::instance();
    std::lock_guard<std::mutex> lock(engine.lock());
    sized_font* font = dc->state.font ? engine.font_for(dc->state.font->logfont) : nullptr;
    if (!font) {
        return 0;
    }
    const text_layout layout = lay_out_text(*font, text, length, *rect, format);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + layout.width;
        rect->bottom = rect->top + layout.height;
        return layout.height;
    }
    const int result = layout.lines.front().y + layout.height - rect->top;
    surface* s = dc->target();
    if (!s) {
        return result;
    }
    const RECT clip = (format & DT_NOCLIP) ? dc->clip_box() : intersect(*rect, dc->clip_box());
    if (is_empty(clip)) {
        return result;
    }
    if (text_recorder* r = recorder.load(std::memory_order_acquire)) {
        r->drawn(std::wstring(text, length), *rect, dc->state.text_colour, format);
    }
    const std::uint32_t colour = colour_to_pixel(dc->state.text_colour);
    for (const text_line& line : layout.lines) {
        if (dc->state.bk_mode == OPAQUE) {
            fill(*s, intersect({line.x, line.y, line.x + line.width, line.y + layout.line_height}, clip),
                 colour_to_pixel(dc->state.bk_colour));
        }
        const int baseline = line.y + layout.ascent;
        int pen = line.x;
        for (std::size_t i = 0; i < line.chars.size(); ++i) {
            const glyph_image& g = font->glyph(line.chars[i]);
            draw_glyph(*s, clip, g, pen, baseline, colour);
            if (static_cast<int>(i) == line.underline) {
                const int top = baseline + font->underline_offset();
                fill(*s, intersect({pen, top, pen + g.advance, top + font->underline_thickness()}, clip), colour);
            }
            pen += g.advance;
        }
    }
    return result;
}
