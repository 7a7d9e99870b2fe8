#include "tools/skin/skin_painter.h"

#include <algorithm>
#include <sstream>

#include "tools/skin/skin_glyphs.h"

namespace skin_tools {

namespace {

const rgba clear_colour{0, 0, 0, 0};

std::vector<int> numbers(const skin_row& row, const std::string& name, std::size_t count, char separator = ',') {
    std::vector<int> out;
    std::istringstream in(row.text(name));
    for (std::string part; std::getline(in, part, separator);) {
        try {
            std::size_t used = 0;
            out.push_back(std::stoi(part, &used));
            if (used != part.size()) {
                throw table_error(row.line, name + " is not a list of numbers");
            }
        } catch (const std::logic_error&) {
            throw table_error(row.line, name + " is not a list of numbers");
        }
    }
    if (out.size() != count) {
        throw table_error(row.line, name + " needs " + std::to_string(count) + " numbers");
    }
    return out;
}

// The face of a box or slice, drawn over a canvas of any size (the reference box of a slice).
void draw_box(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height();
    if (const auto background = row.colour("background")) {
        c.fill(rect_shape(0, 0, px(w), px(h)), *background);
    }
    const int inset = row.number("inset", 0);
    const int x0 = inset, x1 = w - inset;
    const int y0 = row.number("inset_top", inset), y1 = h - row.number("inset_bottom", inset);
    const int r = row.number("r", 0);
    const int r_tl = row.number("r_tl", r), r_tr = row.number("r_tr", r), r_br = row.number("r_br", r),
              r_bl = row.number("r_bl", r);
    auto area = [&](int d) {
        auto less = [d](int radius) { return std::max(0, radius - d); };
        return round_rect_shape(px(x0 + d), px(y0 + d), px(x1 - d), px(y1 - d), px(less(r_tl)), px(less(r_tr)),
                                px(less(r_br)), px(less(r_bl)));
    };
    const int bw = row.has("border") ? row.number("bw", 2) : 0;
    const shape outer = area(0);
    if (bw > 0) {
        c.fill(minus(outer, area(bw)), row.colour("border", clear_colour));
    }
    const shape inner = area(bw);
    if (row.has("top")) {
        c.fill(inner, vertical_gradient(row.colour("top", clear_colour), row.colour("bottom", clear_colour), y0, y1));
    } else if (const auto face = row.colour("face")) {
        c.fill(inner, *face);
    }
    if (const auto window = row.colour("window")) {
        const int wx = row.number("wx", 8);
        const shape pane = rect_shape(px(wx), px(row.number("wy0", 24)), px(w - wx), px(row.number("wy1", h - 16)));
        c.fill(intersect(pane, inner), *window);
    }
    if (const auto split = row.colour("split")) {
        const int sh = row.number("split_h", 4);
        c.fill(intersect(rect_shape(0, px(h / 2 - sh / 2), px(w), px(h / 2 + (sh + 1) / 2)), inner), *split);
    }
    if (const auto edges = row.colour("edges")) {
        c.fill(rect_shape(0, 0, px(2), px(h)), *edges);
        c.fill(rect_shape(px(w - 2), 0, px(w), px(h)), *edges);
    }
    const int line_h = row.number("line_h", 2);
    if (const auto line = row.colour("line_bottom")) {
        c.fill(rect_shape(0, px(h - line_h), px(w), px(h)), *line);
    }
    if (const auto line = row.colour("line_right")) {
        c.fill(rect_shape(px(w - 2), 0, px(w), px(h)), *line);
    }
}

void draw_fill(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height();
    const shape all = rect_shape(0, 0, px(w), px(h));
    if (row.has("top")) {
        c.fill(all, vertical_gradient(row.colour("top", clear_colour), row.colour("bottom", clear_colour), 0, h));
    } else {
        c.fill(all, row.colour("colour", clear_colour));
    }
    const int line_h = row.number("line_h", 2);
    if (const auto line = row.colour("line_bottom")) {
        c.fill(rect_shape(0, px(h - line_h), px(w), px(h)), *line);
    }
    if (const auto edges = row.colour("edges")) {
        c.fill(rect_shape(0, 0, px(2), px(h)), *edges);
        c.fill(rect_shape(px(w - 2), 0, px(w), px(h)), *edges);
    }
}

skin_canvas draw_slice(const skin_row& row) {
    const bool vertical = row.text("dir", "h") == "v";
    const int ref = row.number("ref", 200);
    skin_canvas whole = vertical ? skin_canvas(row.width, ref) : skin_canvas(ref, row.height);
    draw_box(whole, row);
    const std::string part = row.text("part");
    const int length = vertical ? row.height : row.width;
    int from = 0;
    if (part == "left" || part == "top") {
        from = 0;
    } else if (part == "right" || part == "bottom") {
        from = ref - length;
    } else if (part == "middle") {
        from = ref / 2 - length / 2;
    } else {
        throw table_error(row.line, "a slice's part is left, middle, right, top or bottom");
    }
    if (length > ref) {
        throw table_error(row.line, "the slice is longer than its reference box");
    }
    return vertical ? whole.crop(0, from, row.width, row.height) : whole.crop(from, 0, row.width, row.height);
}

void draw_corner(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height(), r = row.number("r", w);
    const std::string at = row.text("at");
    int cx = 0, cy = 0;
    if (at == "tl") {
        cx = w, cy = h;
    } else if (at == "tr") {
        cx = 0, cy = h;
    } else if (at == "bl") {
        cx = w, cy = 0;
    } else if (at == "br") {
        cx = 0, cy = 0;
    } else {
        throw table_error(row.line, "a corner's at is tl, tr, bl or br");
    }
    c.fill(minus(rect_shape(0, 0, px(w), px(h)), ellipse_shape(px(cx), px(cy), px(r), px(r))),
           row.colour("outside", clear_colour));
}

// Segments a..g of the figures 0-9, bit 0 = a.
constexpr int segment_bits[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

shape segment(bool horizontal, int from, int to, int across, int t) {
    const int half = t / 2;
    if (horizontal) {
        return polygon_shape({{from, across}, {from + half, across - half}, {to - half, across - half}, {to, across},
                              {to - half, across + half}, {from + half, across + half}});
    }
    return polygon_shape({{across, from}, {across + half, from + half}, {across + half, to - half}, {across, to},
                          {across - half, to - half}, {across - half, from + half}});
}

void draw_seven_segment(skin_canvas& c, const skin_row& row, int bx, int by, int bw, int bh) {
    const std::string d = row.text("d");
    const int t = px(row.number("stroke", 4));
    const rgba on = row.colour("colour", {255, 255, 255, 255});
    const int off_alpha = row.number("off", 0);
    const int x0 = px(bx), y0 = px(by), x1 = px(bx + bw), y1 = px(by + bh);
    const int left = x0 + t / 2, right = x1 - t / 2, top = y0 + t / 2, bottom = y1 - t / 2, mid = (y0 + y1) / 2;
    const int gap = row.number("gap", t / 4); // eighths of a pixel
    if (d == "blank") {
        return;
    }
    if (d == "colon" || d == "point") {
        const int cx = (x0 + x1) / 2;
        auto dot = [&](int cy) { return rect_shape(cx - t / 2, cy - t / 2, cx + t - t / 2, cy + t - t / 2); };
        if (d == "colon") {
            c.fill(dot(y0 + (y1 - y0) / 3), on);
            c.fill(dot(y0 + 2 * (y1 - y0) / 3), on);
        } else {
            c.fill(dot(bottom), on);
        }
        return;
    }
    int bits = 0;
    if (d == "dash") {
        bits = 0x40;
    } else if (d.size() == 1 && d[0] >= '0' && d[0] <= '9') {
        bits = segment_bits[d[0] - '0'];
    } else {
        throw table_error(row.line, "d is a figure, colon, point, dash or blank");
    }
    const shape segments[7] = {
        segment(true, left + gap, right - gap, top, t),    segment(false, top + gap, mid - gap, right, t),
        segment(false, mid + gap, bottom - gap, right, t), segment(true, left + gap, right - gap, bottom, t),
        segment(false, mid + gap, bottom - gap, left, t),  segment(false, top + gap, mid - gap, left, t),
        segment(true, left + gap, right - gap, mid, t),
    };
    for (int i = 0; i < 7; ++i) {
        if (bits & (1 << i)) {
            c.fill(segments[i], on);
        } else if (off_alpha > 0) {
            c.fill(segments[i], with_alpha(on, off_alpha));
        }
    }
}

skin_canvas draw_digit(const skin_row& row) {
    const std::string half = row.text("half");
    const int full_h = half.empty() ? row.height : row.height * 2;
    skin_canvas c(row.width, full_h);
    std::vector<int> box = row.has("box") ? numbers(row, "box", 4) : std::vector<int>{0, 0, row.width, full_h};
    if (row.has("plate")) {
        // a count icon: the disc first, the figure over it
        c.fill(ellipse_shape(px(row.width) / 2, px(row.height) / 2, px(row.width) / 2, px(row.height) / 2),
               row.colour("plate_colour", clear_colour));
    }
    draw_seven_segment(c, row, box[0], box[1], box[2], box[3]);
    if (row.number("plus", 0)) {
        const int t = px(row.number("stroke", 4));
        const int cx = px(box[0] + box[2]) + t * 2, cy = px(box[1]) + t * 2;
        const rgba on = row.colour("colour", {255, 255, 255, 255});
        c.fill(rect_shape(cx - t * 3 / 2, cy - t / 2, cx + t * 3 / 2, cy + t / 2), on);
        c.fill(rect_shape(cx - t / 2, cy - t * 3 / 2, cx + t / 2, cy + t * 3 / 2), on);
    }
    if (half == "upper") {
        return c.crop(0, 0, row.width, row.height);
    }
    if (half == "lower") {
        return c.crop(0, row.height, row.width, row.height);
    }
    if (!half.empty()) {
        throw table_error(row.line, "half is upper or lower");
    }
    return c;
}

void draw_flag(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height();
    auto band = [&](int x0, int y0, int x1, int y1, rgba colour) {
        c.fill(rect_shape(px(x0), px(y0), px(x1), px(y1)), colour);
    };
    const rgba white{255, 255, 255, 255}, red{213, 43, 30, 255}, blue{0, 57, 166, 255}, yellow{255, 213, 0, 255};
    const std::string country = row.text("country");
    if (country == "ru") {
        band(0, 0, w, h / 3, white), band(0, h / 3, w, 2 * h / 3, blue), band(0, 2 * h / 3, w, h, red);
    } else if (country == "kz") {
        band(0, 0, w, h, {0, 175, 202, 255});
        c.fill(ellipse_shape(px(w / 2), px(h / 2 - 2), px(h / 5), px(h / 5)), yellow);
    } else if (country == "by") {
        band(0, 0, w, h * 2 / 3, {200, 16, 46, 255}), band(0, h * 2 / 3, w, h, {0, 122, 61, 255});
        band(0, 0, 12, h, white);
        for (int y = 4; y + 8 <= h; y += 10) {
            c.fill(polygon_shape({{px(6), px(y)}, {px(10), px(y + 4)}, {px(6), px(y + 8)}, {px(2), px(y + 4)}}),
                   {200, 16, 46, 255});
        }
    } else if (country == "ua") {
        band(0, 0, w, h / 2, {0, 87, 183, 255}), band(0, h / 2, w, h, yellow);
    } else if (country == "us") {
        for (int i = 0; i < 6; ++i) {
            band(0, i * 8, w, i * 8 + 8, i % 2 ? white : rgba{178, 34, 52, 255});
        }
        band(0, 0, 32, 24, {60, 59, 110, 255});
        for (int y = 4; y < 24; y += 8) {
            for (int x = 4; x < 32; x += 8) {
                band(x, y, x + 2, y + 2, white);
            }
        }
    } else if (country == "pt") {
        band(0, 0, w * 2 / 5 / 2 * 2, h, {0, 102, 0, 255}), band(w * 2 / 5 / 2 * 2, 0, w, h, {255, 0, 0, 255});
        c.fill(ellipse_shape(px(w * 2 / 5 / 2 * 2), px(h / 2), px(10), px(10)), yellow);
    } else if (country == "kg") {
        band(0, 0, w, h, {232, 17, 45, 255});
        c.fill(ellipse_shape(px(w / 2), px(h / 2), px(h / 4), px(h / 4)), yellow);
    } else {
        throw table_error(row.line, "unknown country " + country);
    }
}

void draw_battery(skin_canvas& c, const skin_row& row) {
    const rgba outline = row.colour("colour", {255, 255, 255, 255});
    const int bars = row.number("bars", 0);
    const rgba bar = row.colour("bar", {75, 143, 46, 255});
    c.fill(minus(round_rect_shape(px(2), px(8), px(26), px(24), px(2)), rect_shape(px(4), px(10), px(24), px(22))),
           outline);
    c.fill(rect_shape(px(26), px(12), px(30), px(20)), outline);
    for (int i = 0; i < bars; ++i) {
        c.fill(rect_shape(px(6 + i * 4 + i), px(12), px(6 + i * 4 + i + 4), px(20)), bar);
    }
    if (row.number("mains", 0)) {
        c.fill(polygon_shape({{px(18), px(0)}, {px(8), px(18)}, {px(15), px(18)}, {px(12), px(32)}, {px(24), px(12)},
                              {px(17), px(12)}}),
               row.colour("accent", {254, 220, 0, 255}));
    }
}

void draw_sections(skin_canvas& c, const skin_row& row) {
    for (const char* name : {"a", "b"}) {
        if (!row.has(name)) {
            continue;
        }
        std::istringstream in(row.text(name));
        std::string x0, x1, colour;
        std::getline(in, x0, ':'), std::getline(in, x1, ':'), std::getline(in, colour);
        try {
            c.fill(round_rect_shape(px(std::stoi(x0)), 0, px(std::stoi(x1)), px(c.height()), px(row.number("r", 6))),
                   parse_colour(colour, row.line));
        } catch (const std::logic_error&) {
            throw table_error(row.line, "a section is X0:X1:COLOUR");
        }
    }
    if (row.has("dots")) {
        const auto dots = numbers(row, "dots", 2, ':');
        const rgba colour = row.colour("dot_colour", {255, 255, 255, 255});
        const int h = c.height(), size = dots[1] - dots[0];
        c.fill(rect_shape(px(dots[0]), px(h / 3 - size / 2), px(dots[1]), px(h / 3 - size / 2 + size)), colour);
        c.fill(rect_shape(px(dots[0]), px(2 * h / 3 - size / 2), px(dots[1]), px(2 * h / 3 - size / 2 + size)),
               colour);
    }
}

void draw_plate(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height();
    const shape outer = round_rect_shape(0, 0, px(w), px(h), px(6));
    c.fill(outer, rgba{0, 0, 0, 255});
    c.fill(round_rect_shape(px(2), px(2), px(w - 2), px(h - 2), px(4)), row.colour("face", {255, 255, 255, 255}));
    if (row.number("region", 0)) {
        c.fill(rect_shape(px(170), px(2), px(172), px(h - 2)), rgba{0, 0, 0, 255});
        const int fx = 184, fy = h - 18;
        c.fill(rect_shape(px(fx), px(fy), px(fx + 20), px(fy + 4)), rgba{255, 255, 255, 255});
        c.fill(rect_shape(px(fx), px(fy + 4), px(fx + 20), px(fy + 8)), rgba{0, 57, 166, 255});
        c.fill(rect_shape(px(fx), px(fy + 8), px(fx + 20), px(fy + 12)), rgba{213, 43, 30, 255});
        c.fill(minus(rect_shape(px(fx - 2), px(fy - 2), px(fx + 22), px(fy + 14)),
                     rect_shape(px(fx), px(fy), px(fx + 20), px(fy + 12))),
               rgba{0, 0, 0, 255});
    }
}

void draw_torn(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height(), teeth = row.number("teeth", 8);
    const rgba paper = row.colour("face", {236, 234, 226, 255});
    std::vector<point> outline = {{0, 0}, {px(w), 0}};
    for (int x = w; x >= 0; x -= teeth) {
        outline.push_back({px(x), px(((x / teeth) % 2) ? h - teeth : h)});
    }
    c.fill(polygon_shape(outline), paper);
    if (const auto edges = row.colour("edges")) {
        c.fill(intersect(polygon_shape(outline), rect_shape(0, 0, px(2), px(h))), *edges);
        c.fill(intersect(polygon_shape(outline), rect_shape(px(w - 2), 0, px(w), px(h))), *edges);
    }
}

void draw_decorations(skin_canvas& c, const skin_row& row) {
    const int w = c.width(), h = c.height();
    const std::string plate = row.text("plate");
    if (row.kind != "digit" && !plate.empty()) {
        const rgba colour = row.colour("plate_colour", clear_colour);
        if (plate == "disc") {
            c.fill(ellipse_shape(px(w) / 2, px(h) / 2, px(w) / 2, px(h) / 2), colour);
        } else if (plate == "round") {
            c.fill(round_rect_shape(0, 0, px(w), px(h), px(row.number("plate_r", 8))), colour);
        } else {
            throw table_error(row.line, "plate is disc or round");
        }
    }
    if (const auto ring = row.colour("ring")) {
        const int rw = row.number("ring_w", 4);
        const auto centre = row.has("ring_c") ? numbers(row, "ring_c", 2) : std::vector<int>{w / 2, h / 2};
        const int r = row.number("ring_r", std::min(w, h) / 2 - rw / 2 - row.number("ring_margin", 2));
        c.fill(ring_shape(px(centre[0]), px(centre[1]), px(r) + px(rw) / 2, px(r) - px(rw) / 2), *ring);
    }
    if (row.has("disc")) {
        const auto centre = numbers(row, "disc_c", 2);
        const int r = row.number("disc_r", 8);
        c.fill(ellipse_shape(px(centre[0]), px(centre[1]), px(r), px(r)), row.colour("disc", clear_colour));
    }
    auto glyph = [&](const std::string& prefix, const std::string& name_key, rgba fallback) {
        if (!row.has(name_key)) {
            return;
        }
        const int size = row.number(prefix + "size", std::min(w, h));
        int x = (w - size) / 2, y = (h - size) / 2;
        if (row.has(prefix + "at")) {
            const auto at = numbers(row, prefix + "at", 2);
            x = at[0], y = at[1];
        } else if (row.has(prefix + "c")) {
            const auto centre = numbers(row, prefix + "c", 2);
            x = centre[0] - size / 2, y = centre[1] - size / 2;
        }
        skin_canvas layer(w, h);
        const rgba colour = row.colour(prefix + "colour", fallback);
        const rgba accent = row.colour("accent", {200, 40, 30, 255});
        if (!draw_glyph(layer, row.text(name_key), x, y, size, colour, accent)) {
            throw table_error(row.line, "unknown glyph " + row.text(name_key));
        }
        if (prefix == "g" && row.has("over") && !draw_glyph(layer, row.text("over"), x, y, size, accent, accent)) {
            throw table_error(row.line, "unknown glyph " + row.text("over"));
        }
        if (row.number("outline", 0)) {
            layer.outline(2, {0, 0, 0, 160});
        }
        c.draw(layer, 0, 0);
    };
    glyph("g", "glyph", {255, 255, 255, 255});
    glyph("g2", "glyph2", {255, 255, 255, 255});
    if (row.has("note")) {
        const auto note = numbers(row, "note", 4);
        c.fill(round_rect_shape(px(note[0]), px(note[1]), px(note[0] + note[2]), px(note[1] + note[3]), px(4)),
               row.colour("note_colour", {236, 234, 226, 255}));
    }
}

} // namespace

skin_canvas skin_painter::paint(const skin_row& row) {
    skin_canvas c(row.width, row.height);
    const std::string& kind = row.kind;
    if (kind == "clear" || kind == "icon") {
        // nothing beyond the decorations
    } else if (kind == "corner") {
        draw_corner(c, row);
    } else if (kind == "fill") {
        draw_fill(c, row);
    } else if (kind == "box") {
        draw_box(c, row);
    } else if (kind == "slice") {
        c = draw_slice(row);
    } else if (kind == "digit") {
        c = draw_digit(row);
    } else if (kind == "flag") {
        draw_flag(c, row);
    } else if (kind == "battery") {
        draw_battery(c, row);
    } else if (kind == "sections") {
        draw_sections(c, row);
    } else if (kind == "checker") {
        const int cell = row.number("cell", 16);
        for (int y = 0; y < row.height; y += cell) {
            for (int x = 0; x < row.width; x += cell) {
                const bool first = ((x / cell) + (y / cell)) % 2 == 0;
                c.fill(rect_shape(px(x), px(y), px(x + cell), px(y + cell)),
                       row.colour(first ? "a" : "b", clear_colour));
            }
        }
    } else if (kind == "plate") {
        draw_plate(c, row);
    } else if (kind == "torn") {
        draw_torn(c, row);
    } else if (kind == "dashes") {
        const int on = row.number("on", 8), off = row.number("off", 8);
        for (int x = 0; x < row.width; x += on + off) {
            c.fill(rect_shape(px(x), 0, px(std::min(row.width, x + on)), px(row.height)),
                   row.colour("colour", {149, 149, 149, 255}));
        }
    } else if (kind == "route") {
        const rgba colour = row.colour("colour", {255, 255, 255, 255});
        const int cx = px(row.width / 2);
        c.fill(ellipse_shape(cx, px(8), px(6), px(6)), colour);
        c.fill(rect_shape(cx - px(2), px(14), cx + px(2), px(row.height - 16)), colour);
        c.fill(ring_shape(cx, px(row.height - 10), px(8), px(4)), colour);
    } else {
        throw table_error(row.line, "unknown kind " + kind);
    }
    draw_decorations(c, row);
    return c;
}

} // namespace skin_tools
