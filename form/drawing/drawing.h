// The drawing helpers that panels and controls share: measuring text, the slate background, the pen's hit
// rule and the two stock text colours. Stateless; any thread that owns the Graphics it draws on.
#pragma once

#include <cstdint>
#include <string>

#include "form/drawing/geometry.h"

namespace zel::form {

class Graphics;
class font_holder;

// The stock text colours.
inline constexpr rgb white{255, 255, 255};
inline constexpr rgb black{0, 0, 0};

// The screens' background colour.
inline constexpr rgb slate_colour{31, 37, 45};

// The text's extent in the font, measured on the window's device context; an empty text is one line high
// and 0 wide; {0, 0} when measuring fails.
size text_extent(HWND window, const font_holder& font, const std::wstring& text);

// The height of the largest font, of the design sizes from `largest` down to `smallest` in steps of one times the
// scale, in which the text is at most `width` pixels wide; the smallest such height (at least 1 pixel) when the
// text fits none. A caption that fits at `largest` keeps exactly that font, so a box wide enough looks as before.
int fitted_font_height(HWND window, const std::wstring& text, int width, int weight, double largest, double smallest,
                       float scale);

// A whole number as a box shows it: its text, and the font to draw that text in as a design size and as the
// height in pixels that the size gives at the scale.
struct fitted_figure {
    std::wstring text;
    double size = 0;
    int height = 0;
};

// Follows a figure held at what its box holds: the true figure lies beyond the one shown.
inline constexpr wchar_t held_mark = L'+';

// The number ("%ld") in the font that fitted_font_height picks for it. A number wider than `width` even in the
// smallest font is held at the longest run of nines of its sign that fits there, followed by held_mark ("9999+",
// "-99+"): a clipped or shortened figure would read as another number.
fitted_figure fit_figure(HWND window, std::int64_t value, int width, int weight, double largest, double smallest,
                         float scale);

// Fills the update rectangle (one pixel more each way, as fill_rect does) with the slate colour.
void paint_background_slate(Graphics& g, const rect& update);

// Fills the part of the area that lies inside the update rectangle, and not a pixel beyond the area (a
// column of a landscape screen next to another of its own shade).
void fill_inside(Graphics& g, const rect& area, const rect& update, const rgb& colour);

// A landscape screen's two columns: the content on the left, and on the right the buttons' column, a button's
// width (220 design pixels) and 40 more; the two one-pixel rules between them, dark then light, and the
// buttons' column's shade.
rect content_column(const rect& work, float scale);
rect button_column(const rect& work, float scale);
// The one-pixel rules, dark then light (0xRRGGBB), between a landscape screen's columns and between the parts
// of a card or an order's summary.
inline constexpr unsigned rule_dark = 0x15131F;
inline constexpr unsigned rule_light = 0x3D4349;
inline constexpr rgb button_column_colour{41, 48, 49};

// The size of a screen's large action buttons ("Взять заказ", "Завершить заказ", ...), in design pixels.
inline constexpr double action_button_width = 220;
inline constexpr double action_button_height = 117;

// The scroll arrows' pictures, up and down, each with its pressed face.
inline constexpr int arrow_up_image = 1046;
inline constexpr int arrow_up_pressed_image = 1047;
inline constexpr int arrow_down_image = 1044;
inline constexpr int arrow_down_pressed_image = 1045;

// The darker background of cards and list rows.
inline constexpr rgb dark_colour{38, 44, 52};

// Fills the update rectangle as paint_background_slate does, with the dark colour.
void paint_background_dark(Graphics& g, const rect& update);

// The pen's rule: the left and top edges lie outside, the right and bottom edges inside.
inline bool point_in_rect(const rect& r, int x, int y) {
    return x > r.x && x <= r.x + r.w && y > r.y && y <= r.y + r.h;
}

// Whether two rectangles share a pixel (right and bottom exclusive).
inline bool rect_overlaps(const rect& a, const rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// A design size times the screen scale, truncated (fonts, margins, steps).
inline int scaled(double size, float scale) {
    return static_cast<int>(static_cast<float>(size) * scale);
}

// A one-pixel bevel and a vertical gradient inside: style 0 grey, 1 yellow (pressed), 2 green, 3 red; any
// other style has the grey lines and a black face. The line ends follow GDI, so the bottom-right pixel
// (x + w, y + h) stays as it was.
void draw_gradient_frame(Graphics& g, const rect& r, int style);

// Set the triple to white or grey and return it.
inline rgb& white_rgb(rgb& colour) {
    colour = rgb{255, 255, 255};
    return colour;
}
inline rgb& grey_rgb(rgb& colour) {
    colour = rgb{150, 150, 150};
    return colour;
}

} // namespace zel::form
