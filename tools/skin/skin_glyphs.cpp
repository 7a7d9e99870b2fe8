#include "tools/skin/skin_glyphs.h"

#include <functional>
#include <map>

namespace skin_tools {

namespace {

// sin of 0, 15, ... 345 degrees, times 1024.
constexpr int sine_table[24] = {0,    265,   512,   724,   887,   989,  1024, 989,  887,  724,  512,  265,
                                0,    -265,  -512,  -724,  -887,  -989, -1024, -989, -887, -724, -512, -265};

int sin15(int step) {
    return sine_table[((step % 24) + 24) % 24];
}
int cos15(int step) {
    return sin15(step + 6);
}

// Maps the 64-unit grid onto the box; all results in eighths of a pixel.
class pen {
public:
    pen(skin_canvas& canvas, int x, int y, int size, rgba colour, rgba accent)
        : c(canvas), x0(px(x)), y0(px(y)), size(size), main(colour), accent(accent) {}

    int u(int units) const {
        return units * size * sub / 64;
    }
    point p(int gx, int gy) const {
        return {x0 + u(gx), y0 + u(gy)};
    }
    std::vector<point> pts(std::initializer_list<std::pair<int, int>> list) const {
        std::vector<point> out;
        for (auto [gx, gy] : list) {
            out.push_back(p(gx, gy));
        }
        return out;
    }
    // An arc of centre (cx, cy), radius r from step a to step b (15-degree steps, clockwise on screen).
    std::vector<point> arc(int cx, int cy, int r, int a, int b) const {
        std::vector<point> out;
        for (int s = a; s <= b; ++s) {
            out.push_back({x0 + u(cx) + u(r) * cos15(s) / 1024, y0 + u(cy) + u(r) * sin15(s) / 1024});
        }
        return out;
    }

    shape line(int w, std::initializer_list<std::pair<int, int>> list) const {
        return stroke_shape(pts(list), u(w));
    }
    shape poly(std::initializer_list<std::pair<int, int>> list) const {
        return polygon_shape(pts(list));
    }
    shape disc(int cx, int cy, int r) const {
        return ellipse_shape(x0 + u(cx), y0 + u(cy), u(r), u(r));
    }
    shape ellipse(int cx, int cy, int rx, int ry) const {
        return ellipse_shape(x0 + u(cx), y0 + u(cy), u(rx), u(ry));
    }
    shape ring(int cx, int cy, int r, int w) const {
        return ring_shape(x0 + u(cx), y0 + u(cy), u(r) + u(w) / 2, u(r) - u(w) / 2);
    }
    shape box(int ax, int ay, int bx, int by, int r = 0) const {
        return round_rect_shape(x0 + u(ax), y0 + u(ay), x0 + u(bx), y0 + u(by), u(r));
    }
    shape frame(int ax, int ay, int bx, int by, int r, int w) const {
        return minus(box(ax, ay, bx, by, r), box(ax + w, ay + w, bx - w, by - w, r > w ? r - w : 0));
    }
    shape arc_line(int w, int cx, int cy, int r, int a, int b) const {
        return stroke_shape(arc(cx, cy, r, a, b), u(w));
    }

    void fill(const shape& s) const {
        c.fill(s, main);
    }
    void fill_accent(const shape& s) const {
        c.fill(s, accent);
    }
    void cut(const shape& s) const {
        c.clear(s);
    }

    skin_canvas& c;
    int x0, y0, size;
    rgba main, accent;
};

void car_side(const pen& g, int dy = 0) {
    g.fill(g.poly({{4, 40 + dy}, {8, 30 + dy}, {18, 28 + dy}, {26, 18 + dy}, {44, 18 + dy}, {52, 28 + dy},
                   {60, 31 + dy}, {60, 44 + dy}, {4, 44 + dy}}));
    g.cut(g.poly({{24, 28 + dy}, {29, 22 + dy}, {34, 22 + dy}, {34, 28 + dy}}));
    g.cut(g.poly({{38, 28 + dy}, {38, 22 + dy}, {42, 22 + dy}, {48, 28 + dy}}));
    g.cut(g.disc(18, 44 + dy, 8));
    g.cut(g.disc(46, 44 + dy, 8));
    g.fill(g.disc(18, 44 + dy, 6));
    g.fill(g.disc(46, 44 + dy, 6));
}

void car_front(const pen& g) {
    g.fill(g.poly({{12, 28}, {18, 12}, {46, 12}, {52, 28}, {56, 30}, {56, 50}, {8, 50}, {8, 30}}));
    g.cut(g.poly({{20, 26}, {23, 17}, {41, 17}, {44, 26}}));
    g.cut(g.disc(17, 37, 4));
    g.cut(g.disc(47, 37, 4));
    g.cut(g.box(24, 38, 40, 44));
    g.fill(g.box(10, 48, 20, 58, 2));
    g.fill(g.box(44, 48, 54, 58, 2));
}

void person(const pen& g, int cx, int top, int scale_pct = 100) {
    auto s = [&](int v) { return v * scale_pct / 100; };
    g.fill(g.disc(cx, top + s(10), s(10)));
    g.fill(g.box(cx - s(18), top + s(24), cx + s(18), top + s(50), s(10)));
}

void dial(const pen& g) {
    g.fill(g.arc_line(8, 32, 36, 24, 12, 24));
    g.fill(g.line(6, {{32, 36}, {46, 22}}));
    g.fill(g.disc(32, 36, 6));
    g.fill(g.box(20, 50, 44, 56, 2));
}

void clock(const pen& g, int cx, int cy, int r) {
    g.fill(g.ring(cx, cy, r, 6));
    g.fill(g.line(6, {{cx, cy - r / 2 - 2}, {cx, cy}, {cx + r / 2, cy}}));
}

void card(const pen& g, int ax, int ay, int bx, int by) {
    g.fill(g.frame(ax, ay, bx, by, 4, 6));
    g.fill(g.box(ax + 10, ay + 12, bx - 10, ay + 17));
}

void hourglass(const pen& g) {
    g.fill(g.box(14, 6, 50, 12, 2));
    g.fill(g.box(14, 52, 50, 58, 2));
    g.fill(g.poly({{18, 12}, {46, 12}, {35, 32}, {46, 52}, {18, 52}, {29, 32}}));
    g.cut(g.poly({{25, 16}, {39, 16}, {32, 28}}));
    g.cut(g.poly({{32, 38}, {40, 48}, {24, 48}}));
    g.fill(g.poly({{32, 40}, {38, 48}, {26, 48}}));
}

void pin(const pen& g, int cx, int top, int h) {
    const int r = h * 36 / 100;
    g.fill(union_of({g.disc(cx, top + r, r), g.poly({{cx - r + r / 6, top + r + r / 2}, {cx + r - r / 6, top + r + r / 2},
                                                     {cx, top + h}})}));
    g.cut(g.disc(cx, top + r, r * 4 / 10));
}

void car_bay(const pen& g) {
    g.fill(g.line(6, {{6, 8}, {6, 58}, {58, 58}, {58, 8}}));
    pen inner(g.c, 0, 0, 1, g.main, g.accent);
    inner.x0 = g.x0 + g.u(12);
    inner.y0 = g.y0 + g.u(8);
    inner.size = g.size * 40 / 64;
    car_front(inner);
}

const std::map<std::string, std::function<void(const pen&)>>& glyphs() {
    static const std::map<std::string, std::function<void(const pen&)>> table = {
        {"chevron_left", [](const pen& g) { g.fill(g.line(8, {{40, 12}, {22, 32}, {40, 52}})); }},
        {"chevron_right", [](const pen& g) { g.fill(g.line(8, {{24, 12}, {42, 32}, {24, 52}})); }},
        {"chevron_up", [](const pen& g) { g.fill(g.line(8, {{12, 40}, {32, 22}, {52, 40}})); }},
        {"chevron_down", [](const pen& g) { g.fill(g.line(8, {{12, 24}, {32, 42}, {52, 24}})); }},
        {"arrow_left",
         [](const pen& g) {
             g.fill(g.poly({{6, 32}, {30, 10}, {30, 24}, {58, 24}, {58, 40}, {30, 40}, {30, 54}}));
         }},
        {"cross", [](const pen& g) { g.fill(g.line(10, {{14, 14}, {50, 50}})), g.fill(g.line(10, {{50, 14}, {14, 50}})); }},
        {"tick", [](const pen& g) { g.fill(g.line(10, {{10, 34}, {26, 50}, {54, 16}})); }},
        {"plus", [](const pen& g) { g.fill(g.line(10, {{32, 12}, {32, 52}})), g.fill(g.line(10, {{12, 32}, {52, 32}})); }},
        {"play", [](const pen& g) { g.fill(g.poly({{16, 8}, {56, 32}, {16, 56}})); }},
        {"pencil",
         [](const pen& g) {
             g.fill(g.poly({{44, 6}, {58, 20}, {22, 56}, {8, 56}, {8, 42}}));
             g.cut(g.line(3, {{38, 14}, {50, 26}}));
         }},
        {"handset",
         [](const pen& g) {
             g.fill(g.line(12, {{16, 10}, {10, 22}, {14, 36}, {28, 50}, {42, 54}, {54, 48}}));
             g.fill(g.box(8, 6, 22, 20, 4));
             g.fill(g.box(44, 42, 58, 56, 4));
         }},
        {"bubble",
         [](const pen& g) {
             g.fill(g.box(6, 8, 58, 44, 10));
             g.fill(g.poly({{16, 40}, {30, 40}, {12, 58}}));
         }},
        {"envelope",
         [](const pen& g) {
             g.fill(g.box(6, 14, 58, 50, 4));
             g.cut(g.line(4, {{10, 18}, {32, 36}, {54, 18}}));
         }},
        {"bell",
         [](const pen& g) {
             g.fill(g.poly({{20, 20}, {44, 20}, {48, 44}, {56, 50}, {8, 50}, {16, 44}}));
             g.fill(g.disc(32, 22, 12));
             g.fill(g.disc(32, 54, 6));
             g.fill(g.disc(32, 8, 4));
         }},
        {"globe",
         [](const pen& g) {
             g.fill(g.ring(32, 32, 24, 6));
             g.fill(minus(g.ellipse(32, 32, 12, 26), g.ellipse(32, 32, 6, 21)));
             g.fill(g.line(5, {{8, 32}, {56, 32}}));
         }},
        {"person", [](const pen& g) { person(g, 32, 8); }},
        {"person_plus",
         [](const pen& g) {
             person(g, 26, 10);
             g.fill_accent(g.line(6, {{50, 8}, {50, 28}}));
             g.fill_accent(g.line(6, {{40, 18}, {60, 18}}));
         }},
        {"people",
         [](const pen& g) {
             person(g, 22, 10, 80);
             person(g, 44, 14, 80);
         }},
        {"house",
         [](const pen& g) {
             g.fill(g.poly({{4, 30}, {32, 6}, {60, 30}}));
             g.fill(g.box(12, 28, 52, 58));
             g.cut(g.box(26, 38, 38, 58));
         }},
        {"building",
         [](const pen& g) {
             g.fill(g.box(14, 6, 50, 58));
             for (int row = 0; row < 4; ++row) {
                 g.cut(g.box(20, 12 + row * 10, 28, 18 + row * 10));
                 g.cut(g.box(36, 12 + row * 10, 44, 18 + row * 10));
             }
         }},
        {"door",
         [](const pen& g) {
             g.fill(g.frame(14, 4, 50, 60, 2, 6));
             g.fill(g.box(18, 8, 40, 58));
             g.cut(g.disc(34, 34, 3));
         }},
        {"door_arrow",
         [](const pen& g) {
             g.fill(g.line(6, {{30, 16}, {30, 6}, {6, 6}, {6, 58}, {30, 58}, {30, 48}}));
             g.fill(g.poly({{60, 32}, {44, 18}, {44, 26}, {22, 26}, {22, 38}, {44, 38}, {44, 46}}));
         }},
        {"power",
         [](const pen& g) {
             g.fill(g.arc_line(8, 32, 34, 22, -3, 15));
             g.fill(g.line(8, {{32, 6}, {32, 30}}));
         }},
        {"cup",
         [](const pen& g) {
             g.fill(g.box(10, 18, 46, 52, 8));
             g.fill(g.ring(48, 32, 8, 6));
             g.fill(g.box(6, 54, 54, 60, 2));
             g.fill(g.line(4, {{22, 4}, {22, 12}}));
             g.fill(g.line(4, {{32, 4}, {32, 12}}));
         }},
        {"wrench",
         [](const pen& g) {
             g.fill(g.line(10, {{16, 48}, {40, 24}}));
             g.fill(minus(g.disc(44, 20, 14), g.poly({{44, 20}, {64, 0}, {64, 20}, {44, 4}})));
             g.cut(g.disc(48, 16, 5));
         }},
        {"gear",
         [](const pen& g) {
             for (int step = 0; step < 24; step += 3) {
                 g.fill(g.line(10, {{32, 32}, {32 + 26 * cos15(step) / 1024, 32 + 26 * sin15(step) / 1024}}));
             }
             g.fill(g.disc(32, 32, 20));
             g.cut(g.disc(32, 32, 8));
         }},
        {"star",
         [](const pen& g) {
             g.fill(g.poly({{32, 2}, {40, 22}, {62, 24}, {45, 38}, {51, 60}, {32, 48}, {13, 60}, {19, 38}, {2, 24},
                            {24, 22}}));
         }},
        {"calendar",
         [](const pen& g) {
             g.fill(g.frame(6, 10, 58, 58, 4, 6));
             g.fill(g.box(6, 10, 58, 22, 4));
             g.fill(g.line(6, {{20, 4}, {20, 14}}));
             g.fill(g.line(6, {{44, 4}, {44, 14}}));
             for (int r = 0; r < 2; ++r) {
                 for (int col = 0; col < 3; ++col) {
                     g.fill(g.box(16 + col * 12, 28 + r * 12, 24 + col * 12, 36 + r * 12));
                 }
             }
         }},
        {"clock", [](const pen& g) { clock(g, 32, 32, 24); }},
        {"clock_stop",
         [](const pen& g) {
             clock(g, 28, 28, 22);
             g.fill_accent(g.box(40, 40, 60, 60, 2));
         }},
        {"hourglass", hourglass},
        {"dial", dial},
        {"compass", [](const pen& g) { g.fill(g.poly({{32, 4}, {54, 58}, {32, 46}, {10, 58}})); }},
        {"pin", [](const pen& g) { pin(g, 32, 4, 56); }},
        {"pin_person",
         [](const pen& g) {
             pin(g, 40, 4, 44);
             person(g, 18, 18, 80);
         }},
        {"map",
         [](const pen& g) {
             g.fill(g.poly({{4, 14}, {22, 8}, {42, 14}, {60, 8}, {60, 54}, {42, 60}, {22, 54}, {4, 60}}));
             g.cut(g.line(3, {{22, 8}, {22, 54}}));
             g.cut(g.line(3, {{42, 14}, {42, 60}}));
             g.cut(g.disc(42, 26, 12));
             g.fill_accent(g.disc(42, 24, 10));
             g.fill_accent(g.poly({{33, 28}, {51, 28}, {42, 44}}));
         }},
        {"car_side", [](const pen& g) { car_side(g); }},
        {"car_front", car_front},
        {"car_motion",
         [](const pen& g) {
             pen small = g;
             small.x0 += g.u(10);
             small.y0 += g.u(4);
             small.size = g.size * 84 / 100;
             car_side(small, 0);
             g.fill(g.line(4, {{4, 30}, {10, 30}}));
             g.fill(g.line(4, {{2, 38}, {10, 38}}));
         }},
        {"car_dial",
         [](const pen& g) {
             car_side(g, 8);
             g.fill(g.arc_line(5, 32, 18, 12, 12, 24));
             g.fill(g.line(5, {{32, 18}, {40, 10}}));
         }},
        {"car_bay", car_bay},
        {"roof_sign",
         [](const pen& g) {
             g.fill(g.poly({{10, 44}, {16, 20}, {48, 20}, {54, 44}}));
             g.fill(g.box(4, 44, 60, 52, 2));
             for (int i = 0; i < 4; ++i) {
                 g.cut(g.box(18 + i * 8, 24 + (i % 2) * 6, 24 + i * 8, 30 + (i % 2) * 6));
             }
         }},
        {"road",
         [](const pen& g) {
             g.fill(g.poly({{22, 4}, {42, 4}, {60, 60}, {4, 60}}));
             g.cut(g.box(30, 10, 34, 22));
             g.cut(g.box(30, 30, 34, 42));
             g.cut(g.box(30, 48, 34, 58));
         }},
        {"coins",
         [](const pen& g) {
             for (int i = 0; i < 3; ++i) {
                 g.fill(g.ellipse(30, 48 - i * 14, 22, 8));
                 g.cut(g.line(3, {{8, 44 - i * 14}, {52, 44 - i * 14}}));
             }
             g.fill_accent(g.disc(50, 16, 10));
         }},
        {"wallet",
         [](const pen& g) {
             g.fill(g.box(4, 14, 60, 56, 6));
             g.cut(g.box(38, 28, 60, 42, 4));
             g.fill(g.disc(46, 35, 4));
             g.fill(g.box(10, 6, 44, 12, 2));
         }},
        {"bank_card",
         [](const pen& g) {
             g.fill(g.box(4, 12, 60, 52, 6));
             g.cut(g.box(4, 20, 60, 28));
             g.cut(g.box(12, 38, 26, 44));
         }},
        {"funnel", [](const pen& g) { g.fill(g.poly({{4, 8}, {60, 8}, {38, 32}, {38, 58}, {26, 50}, {26, 32}})); }},
        {"target",
         [](const pen& g) {
             g.fill(g.ring(32, 32, 20, 6));
             g.fill(g.disc(32, 32, 6));
             g.fill(g.line(6, {{32, 4}, {32, 14}}));
             g.fill(g.line(6, {{32, 50}, {32, 60}}));
             g.fill(g.line(6, {{4, 32}, {14, 32}}));
             g.fill(g.line(6, {{50, 32}, {60, 32}}));
         }},
        {"antenna",
         [](const pen& g) {
             g.fill(g.poly({{32, 20}, {44, 60}, {20, 60}}));
             g.cut(g.poly({{32, 32}, {37, 52}, {27, 52}}));
             g.fill(g.disc(32, 18, 6));
             g.fill(g.arc_line(5, 32, 18, 14, 9, 15));
             g.fill(g.arc_line(5, 32, 18, 14, -3, 3));
             g.fill(g.arc_line(5, 32, 18, 24, 10, 14));
             g.fill(g.arc_line(5, 32, 18, 24, -2, 2));
         }},
        {"lightning", [](const pen& g) { g.fill(g.poly({{38, 2}, {12, 36}, {30, 36}, {24, 62}, {52, 26}, {34, 26}})); }},
        {"pennant",
         [](const pen& g) {
             g.fill(g.line(6, {{14, 6}, {14, 60}}));
             g.fill(g.poly({{14, 6}, {56, 20}, {14, 34}}));
         }},
        {"newspaper",
         [](const pen& g) {
             g.fill(g.frame(6, 8, 58, 56, 4, 6));
             g.fill(g.box(14, 16, 30, 30));
             for (int i = 0; i < 3; ++i) {
                 g.fill(g.box(34, 16 + i * 7, 50, 20 + i * 7));
                 g.fill(g.box(14, 36 + i * 7, 50, 40 + i * 7));
             }
         }},
        {"chequered_flag",
         [](const pen& g) {
             g.fill(g.line(6, {{8, 4}, {8, 60}}));
             g.fill(g.frame(8, 6, 58, 42, 0, 4));
             for (int r = 0; r < 4; ++r) {
                 for (int col = 0; col < 6; ++col) {
                     if ((r + col) % 2 == 0) {
                         g.fill(g.box(10 + col * 8, 8 + r * 8, 18 + col * 8, 16 + r * 8));
                     }
                 }
             }
         }},
        {"refresh",
         [](const pen& g) {
             g.fill(g.arc_line(7, 32, 32, 22, 14, 22));
             g.fill(g.arc_line(7, 32, 32, 22, 2, 10));
             g.fill(g.poly({{54, 14}, {56, 34}, {40, 24}}));
             g.fill(g.poly({{10, 50}, {8, 30}, {24, 40}}));
         }},
        {"backspace",
         [](const pen& g) {
             g.fill(g.line(8, {{22, 10}, {58, 10}, {58, 54}, {22, 54}, {6, 32}, {22, 10}}));
             g.fill(g.line(8, {{30, 22}, {46, 42}}));
             g.fill(g.line(8, {{46, 22}, {30, 42}}));
         }},
        {"arrow_down_bar",
         [](const pen& g) {
             g.fill(g.poly({{32, 44}, {12, 22}, {24, 22}, {24, 4}, {40, 4}, {40, 22}, {52, 22}}));
             g.fill(g.box(8, 52, 56, 60, 2));
         }},
        {"cards",
         [](const pen& g) {
             g.fill(g.frame(14, 4, 58, 44, 4, 5));
             g.fill(g.frame(6, 12, 50, 60, 4, 6));
         }},
        {"clock_card",
         [](const pen& g) {
             card(g, 6, 26, 58, 62);
             clock(g, 32, 16, 12);
         }},
        {"person_card",
         [](const pen& g) {
             card(g, 22, 22, 62, 58);
             person(g, 16, 10, 70);
         }},
        {"id_card",
         [](const pen& g) {
             g.fill(g.frame(4, 10, 60, 54, 4, 5));
             person(g, 20, 18, 60);
             g.fill(g.box(34, 22, 54, 27));
             g.fill(g.box(34, 34, 54, 39));
         }},
        {"arrows_updown",
         [](const pen& g) {
             g.fill(g.poly({{20, 4}, {34, 20}, {24, 20}, {24, 58}, {16, 58}, {16, 20}, {6, 20}}));
             g.fill(g.poly({{44, 60}, {30, 44}, {40, 44}, {40, 6}, {48, 6}, {48, 44}, {58, 44}}));
         }},
        {"arrows_trade",
         [](const pen& g) {
             g.fill(g.poly({{4, 20}, {20, 6}, {20, 14}, {56, 14}, {56, 26}, {20, 26}, {20, 34}}));
             g.fill(g.poly({{60, 44}, {44, 30}, {44, 38}, {8, 38}, {8, 50}, {44, 50}, {44, 58}}));
         }},
        {"list",
         [](const pen& g) {
             for (int i = 0; i < 3; ++i) {
                 g.fill(g.box(6, 10 + i * 18, 14, 18 + i * 18, 2));
                 g.fill(g.box(20, 10 + i * 18, 58, 18 + i * 18, 2));
             }
         }},
        {"sheet",
         [](const pen& g) {
             g.fill(g.poly({{10, 4}, {42, 4}, {54, 16}, {54, 60}, {10, 60}}));
             for (int i = 0; i < 3; ++i) {
                 g.cut(g.box(18, 22 + i * 12, 46, 26 + i * 12));
             }
         }},
        {"slash", [](const pen& g) { g.fill_accent(g.line(8, {{8, 56}, {56, 8}})); }},
        {"ring", [](const pen& g) { g.fill(g.ring(32, 32, 24, 8)); }},
        {"car_away",
         [](const pen& g) {
             pen small = g;
             small.x0 += g.u(14);
             small.y0 += g.u(6);
             small.size = g.size * 78 / 100;
             car_side(small, 0);
             for (int i = 0; i < 3; ++i) {
                 g.fill(g.line(4, {{2 + i * 2, 22 + i * 8}, {12, 22 + i * 8}}));
             }
         }},
        {"reject",
         [](const pen& g) {
             g.fill(g.ring(32, 32, 26, 6));
             g.fill(g.line(7, {{20, 20}, {44, 44}}));
             g.fill(g.line(7, {{44, 20}, {20, 44}}));
         }},
        {"attention",
         [](const pen& g) {
             g.fill(g.poly({{32, 4}, {62, 58}, {2, 58}}));
             g.fill_accent(g.box(28, 20, 36, 42, 2));
             g.fill_accent(g.disc(32, 50, 4));
         }},
    };
    return table;
}

} // namespace

bool draw_glyph(skin_canvas& canvas, const std::string& name, int x, int y, int size, rgba colour, rgba accent) {
    const auto& table = glyphs();
    const auto it = table.find(name);
    if (it == table.end()) {
        return false;
    }
    it->second(pen(canvas, x, y, size, colour, accent));
    return true;
}

std::vector<std::string> glyph_names() {
    std::vector<std::string> names;
    for (const auto& [name, draw] : glyphs()) {
        names.push_back(name);
    }
    return names;
}

} // namespace skin_tools
