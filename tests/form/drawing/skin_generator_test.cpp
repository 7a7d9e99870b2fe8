// The skin generator's parts: the table reader's refusals, the drawing rules it enforces, the primitives'
// coverage and halving behaviour, every pictogram inside its box, and the PNG form of its output.
#include <gtest/gtest.h>

#include <memory>

#include "tools/skin/skin_canvas.h"
#include "tools/skin/skin_checks.h"
#include "tools/skin/skin_glyphs.h"
#include "tools/skin/skin_painter.h"
#include "tools/skin/skin_png.h"
#include "tools/skin/skin_table.h"

using namespace skin_tools;

namespace {

struct bad_table_case {
    const char* what;
    const char* text;
    int line;
    const char* message;
};

const bad_table_case bad_tables[] = {
    {"short row", "# a comment\n\n1001 button 4x4 A\n", 3, "a row needs"},
    {"id not a number", "10x1 button 4x4 A clear\n", 1, "bad id"},
    {"unknown library", "1001 buttons 4x4 A clear\n", 1, "unknown library"},
    {"id outside its library", "1001 help 4x4 A clear\n", 1, "outside the range"},
    {"id between the ranges", "3000 help 4x4 A clear\n", 1, "outside the range"},
    {"size without x", "1001 button 44 A clear\n", 1, "bad size"},
    {"zero size", "1001 button 0x4 A clear\n", 1, "bad size"},
    {"negative size", "1001 button 4x-4 A clear\n", 1, "bad size"},
    {"unknown type", "1001 button 4x4 RGBA clear\n", 1, "RGB or A"},
    {"parameter without a value", "1001 button 4x4 A clear stretch\n", 1, "NAME=VALUE"},
    {"id twice", "1001 button 4x4 A clear\n1002 button 4x4 A clear\n1001 button 4x4 A clear\n", 3, "twice"},
};

class skin_table_refuses : public testing::TestWithParam<bad_table_case> {};

TEST_P(skin_table_refuses, naming_the_line) {
    const bad_table_case& c = GetParam();
    try {
        skin_table::parse(c.text);
        FAIL() << c.what << ": accepted";
    } catch (const table_error& error) {
        EXPECT_EQ(error.line, c.line) << c.what;
        EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what << ": " << error.what();
        EXPECT_EQ(std::string(error.what()).rfind("line " + std::to_string(c.line) + ":", 0), 0u) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(cases, skin_table_refuses, testing::ValuesIn(bad_tables));

TEST(skin_table, reads_a_row_with_its_parameters_and_colours) {
    const skin_table table = skin_table::parse(
        "# comment\n2203 help 170x120 A box r=12 face=well border=edge_light/128 tint=1,2,3 # tail comment\n");
    ASSERT_EQ(table.rows().size(), 1u);
    const skin_row& row = table.rows()[0];
    EXPECT_EQ(row.line, 2);
    EXPECT_EQ(row.library, "help");
    EXPECT_EQ(row.width, 170);
    EXPECT_EQ(row.height, 120);
    EXPECT_TRUE(row.alpha);
    EXPECT_EQ(row.kind, "box");
    EXPECT_EQ(row.number("r", 0), 12);
    EXPECT_EQ(row.colour("face", {}), (rgba{19, 22, 27, 255}));
    EXPECT_EQ(row.colour("border", {}), (rgba{61, 67, 73, 128}));
    EXPECT_EQ(row.colour("tint", {}), (rgba{1, 2, 3, 255}));
    EXPECT_FALSE(row.has("tail"));
}

struct bad_paint_case {
    const char* what;
    const char* row;
    const char* message;
};

const bad_paint_case bad_paints[] = {
    {"unknown kind", "1001 button 4x4 A sparkle", "unknown kind"},
    {"unknown glyph", "1001 button 32x32 A icon glyph=unicorn", "unknown glyph"},
    {"bad colour name", "1001 button 4x4 A fill colour=chartreuse", "bad colour"},
    {"colour out of range", "1001 button 4x4 A fill colour=1,2,300", "bad colour"},
    {"number that is not one", "1001 button 32x32 A box r=big", "not a number"},
    {"slice without a part", "1001 button 4x10 A slice", "part"},
    {"slice longer than its box", "1001 button 40x10 A slice part=left ref=20", "longer"},
    {"unknown figure", "1001 button 16x28 A digit d=7b", "figure"},
    {"unknown country", "1001 button 72x48 RGB flag country=xx", "country"},
    {"short list", "1001 button 40x40 A icon glyph=star gat=4", "numbers"},
};

class skin_painter_refuses : public testing::TestWithParam<bad_paint_case> {};

TEST_P(skin_painter_refuses, naming_the_line) {
    const bad_paint_case& c = GetParam();
    const skin_table table = skin_table::parse(std::string("\n") + c.row + "\n");
    try {
        skin_painter::paint(table.rows()[0]);
        FAIL() << c.what << ": painted";
    } catch (const table_error& error) {
        EXPECT_EQ(error.line, 2) << c.what;
        EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what << ": " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(cases, skin_painter_refuses, testing::ValuesIn(bad_paints));

struct rule_case {
    const char* what;
    const char* row;
    const char* broken; // empty: every rule holds
};

const rule_case picture_rules[] = {
    {"odd width", "2203 help 33x32 A box r=4 face=well", "odd size"},
    {"odd height", "2203 help 32x31 A box r=4 face=well", "odd size"},
    {"RGB picture with a soft corner", "2020 help 32x32 RGB box r=8 face=panel", "alpha below 255"},
    {"RGB picture that is opaque", "2020 help 32x32 RGB box face=panel", ""},
    {"horizontal middle with a border at its side", "2185 help 8x8 RGB box face=well border=yellow stretch=h",
     "horizontal"},
    {"horizontal middle cut from a box",
     "2185 help 4x70 RGB slice part=middle ref=120 r=10 face=well border=yellow stretch=h", ""},
    {"vertical middle cut from a box's side",
     "2020 help 480x8 RGB slice part=top dir=v ref=200 face=panel border=edge_light stretch=v", "vertical"},
    {"vertical middle cut from a box's middle",
     "2020 help 480x8 RGB slice part=middle dir=v ref=200 face=panel border=edge_light stretch=v", ""},
    {"tile that is not one colour", "1052 button 4x4 A fill top=black bottom=white stretch=hv", "vertical"},
    {"tile of one colour", "1052 button 4x4 A fill colour=black/160 stretch=hv", ""},
};

class skin_picture_rules : public testing::TestWithParam<rule_case> {};

TEST_P(skin_picture_rules, are_checked) {
    const rule_case& c = GetParam();
    const skin_table table = skin_table::parse(std::string(c.row) + "\n");
    const skin_row& row = table.rows()[0];
    const std::vector<std::string> broken = skin_checks::picture(row, skin_painter::paint(row));
    if (*c.broken == '\0') {
        EXPECT_TRUE(broken.empty()) << c.what << ": " << (broken.empty() ? "" : broken[0]);
    } else {
        ASSERT_FALSE(broken.empty()) << c.what;
        EXPECT_NE(broken[0].find(c.broken), std::string::npos) << c.what << ": " << broken[0];
    }
}

INSTANTIATE_TEST_SUITE_P(cases, skin_picture_rules, testing::ValuesIn(picture_rules));

// A table of every expected id as a placeholder, with extra rows replacing some of them.
std::string full_table(const std::string& extra) {
    std::string text;
    for (int id : skin_checks::expected_ids()) {
        if (extra.find(std::to_string(id) + " ") != std::string::npos) {
            continue;
        }
        const char* library = id < 2001   ? "button"
                              : id < 5000 ? "help"
                              : id < 7000 ? "main"
                              : id < 8000 ? "order"
                                          : "toolbar";
        text += std::to_string(id) + " " + library + " 4x4 A clear\n";
    }
    return text + extra;
}

const rule_case table_rules[] = {
    {"every id present", "", ""},
    {"strip height fixed", "8018 toolbar 480x56 RGB fill colour=slate fixed_h=54\n", "fixed_h"},
    {"arrow no taller than the strip", "1046 button 60x56 A clear max_h=54\n", "max_h"},
    {"box bottom high enough", "2019 help 480x50 A clear min_h=56\n", "min_h"},
    {"border as high as the dividers", "2107 help 4x120 A clear\n2109 help 4x118 A clear same_h=2107\n", "same_h"},
    {"own-tariff label no wider than the class label",
     "7014 order 110x46 A clear\n7062 order 112x46 A clear max_w_of=7014\n", "max_w_of"},
    {"caps and middle of one height",
     "2015 help 16x80 A clear set=n\n2014 help 4x80 RGB clear set=n\n2016 help 16x78 A clear set=n\n", "set n"},
    {"a limit that names no row", "2109 help 4x120 A clear same_h=3999\n", "names no row"},
};

class skin_table_rules : public testing::TestWithParam<rule_case> {};

TEST_P(skin_table_rules, are_checked) {
    const rule_case& c = GetParam();
    const std::vector<std::string> broken = skin_checks::table(skin_table::parse(full_table(c.row)));
    if (*c.broken == '\0') {
        EXPECT_TRUE(broken.empty()) << c.what << ": " << (broken.empty() ? "" : broken[0]);
    } else {
        ASSERT_EQ(broken.size(), 1u) << c.what;
        EXPECT_NE(broken[0].find(c.broken), std::string::npos) << c.what << ": " << broken[0];
    }
}

INSTANTIATE_TEST_SUITE_P(cases, skin_table_rules, testing::ValuesIn(table_rules));

TEST(skin_checks, a_missing_id_is_named) {
    std::string text = full_table("");
    const auto at = text.find("2164 help");
    text.erase(at, text.find('\n', at) + 1 - at);
    const std::vector<std::string> broken = skin_checks::table(skin_table::parse(text));
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0], "id 2164 has no row");
}

TEST(skin_canvas, coverage_is_counted_on_a_four_by_four_grid) {
    skin_canvas c(4, 1);
    // Half of pixel 1, a quarter of pixel 2 (in eighths of a pixel), all of pixel 0.
    c.fill(rect_shape(0, 0, px(1) + 4 + 0, px(1)), rgba{255, 255, 255, 255});
    c.fill(rect_shape(px(2), 0, px(2) + 2, px(1)), rgba{255, 255, 255, 255});
    EXPECT_EQ(c.at(0, 0).a, 255);
    EXPECT_EQ(c.at(1, 0).a, 128);
    EXPECT_EQ(c.at(2, 0).a, 64);
    EXPECT_EQ(c.at(3, 0).a, 0);
}

TEST(skin_canvas, source_over_keeps_straight_alpha) {
    skin_canvas c(1, 1);
    c.fill(rect_shape(0, 0, px(1), px(1)), rgba{200, 100, 0, 128});
    c.fill(rect_shape(0, 0, px(1), px(1)), rgba{0, 0, 200, 128});
    const rgba p = c.at(0, 0);
    EXPECT_EQ(p.a, 192);
    // The second layer weighs 128 of 192, the first 64 of 192.
    EXPECT_NEAR(p.r, 67, 1);
    EXPECT_NEAR(p.g, 33, 1);
    EXPECT_NEAR(p.b, 133, 1);
}

TEST(skin_canvas, shapes_on_even_coordinates_survive_halving) {
    // The program halves by taking every other row and column; a 2x2 block of one colour loses nothing.
    skin_canvas c(16, 16);
    c.fill(rect_shape(px(2), px(4), px(10), px(12)), rgba{254, 220, 0, 255});
    for (int y = 0; y < 16; y += 2) {
        for (int x = 0; x < 16; x += 2) {
            EXPECT_EQ(c.at(x, y), c.at(x + 1, y + 1)) << x << "," << y;
            EXPECT_EQ(c.at(x, y), c.at(x + 1, y)) << x << "," << y;
        }
    }
}

TEST(skin_canvas, clearing_cuts_by_coverage) {
    skin_canvas c(2, 1);
    c.fill(rect_shape(0, 0, px(2), px(1)), rgba{10, 20, 30, 200});
    c.clear(rect_shape(px(1), 0, px(1) + 4, px(1)));
    EXPECT_EQ(c.at(0, 0), (rgba{10, 20, 30, 200}));
    EXPECT_EQ(c.at(1, 0).a, 100);
}

TEST(skin_glyphs, every_glyph_draws_inside_its_box) {
    for (const std::string& name : glyph_names()) {
        for (int size : {32, 64}) {
            skin_canvas c(size + 16, size + 16);
            ASSERT_TRUE(draw_glyph(c, name, 8, 8, size, {255, 255, 255, 255}, {200, 40, 30, 255})) << name;
            int inside = 0, outside = 0;
            for (int y = 0; y < c.height(); ++y) {
                for (int x = 0; x < c.width(); ++x) {
                    const bool in_box = x >= 8 && y >= 8 && x < 8 + size && y < 8 + size;
                    (in_box ? inside : outside) += c.at(x, y).a > 0;
                }
            }
            EXPECT_GT(inside, size * size / 20) << name << " at " << size << " draws almost nothing";
            EXPECT_EQ(outside, 0) << name << " at " << size << " spills out of its box";
        }
    }
    EXPECT_FALSE(draw_glyph(*std::make_unique<skin_canvas>(8, 8), "unicorn", 0, 0, 8, {}, {}));
}

TEST(skin_png, output_is_eight_bit_with_only_the_three_chunks) {
    skin_canvas c(6, 4);
    c.fill(ellipse_shape(px(3), px(2), px(2), px(2)), rgba{255, 195, 0, 255});
    for (bool alpha : {false, true}) {
        const std::vector<std::uint8_t> png = encode_png(c, alpha);
        ASSERT_GT(png.size(), 8u + 25u);
        std::vector<std::string> chunks;
        for (std::size_t at = 8; at + 8 <= png.size();) {
            const std::uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
            chunks.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
            at += 12 + length;
        }
        ASSERT_GE(chunks.size(), 3u);
        EXPECT_EQ(chunks.front(), "IHDR");
        EXPECT_EQ(chunks.back(), "IEND");
        for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i], "IDAT");
        }
        EXPECT_EQ(png[8 + 8 + 8], 8) << "bit depth";
        EXPECT_EQ(png[8 + 8 + 9], alpha ? 6 : 2) << "colour type";
        EXPECT_EQ(png[8 + 8 + 12], 0) << "interlace";
        bool decoded_alpha = !alpha;
        const skin_canvas back = decode_png(png, decoded_alpha);
        EXPECT_EQ(decoded_alpha, alpha);
        EXPECT_EQ(pixel_digest(back, alpha), pixel_digest(c, alpha));
        EXPECT_EQ(encode_png(back, alpha), png) << "the same pixels give the same bytes";
    }
}

} // namespace
