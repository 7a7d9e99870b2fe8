#include "platform/text/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/platform_log.h"

namespace platform {

namespace {

// Wine's folder lies outside fontconfig's search path; its Tahoma covers Cyrillic.
constexpr const char* wine_fonts = "/usr/share/wine/fonts";

int round_div(std::int64_t a, std::int64_t b) {
    return static_cast<int>((a + b / 2) / b);
}

} // namespace

font_engine& font_engine::instance() {
    static font_engine* engine = new font_engine; // lives as long as the process: fonts may be used at exit
    return *engine;
}

font_engine::font_engine() {
    const char* font = std::getenv("MORVIK_FONT");
    box_ = font && std::strcmp(font, "box") == 0;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        log_line("FreeType cannot start: no text will be drawn");
    }
    library_ = library;
}

std::string font_engine::resolve(const std::string& family, bool bold) {
    auto key = std::make_pair(family, bold);
    if (auto it = files_.find(key); it != files_.end()) {
        return it->second;
    }
    std::string file;
    // A configuration of our own, destroyed after the match: fontconfig's global one is never freed.
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(wine_fonts));
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // Without the face asked for, DejaVu Sans stands in.
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    if (file.empty()) {
        log_line("no font file for \"" + family + "\"");
    }
    files_[key] = file;
    return file;
}

sized_font* font_engine::box_font_for(int requested) {
    const int cell = requested < 0 ? -requested : requested;
    auto key = std::make_pair(std::string(), cell);
    if (auto it = fonts_.find(key); it != fonts_.end()) {
        return it->second.get();
    }
    std::unique_ptr<sized_font> font(new sized_font);
    font->box_ = true;
    font->descent_ = cell / 5;
    font->ascent_ = cell - font->descent_;
    sized_font* raw = font.get();
    fonts_[key] = std::move(font);
    return raw;
}

sized_font* font_engine::font_for(const LOGFONTW& logfont) {
    if (box_) {
        return box_font_for(logfont.lfHeight == 0 ? 16 : logfont.lfHeight);
    }
    if (!library_) {
        return nullptr;
    }
    std::string family;
    for (int i = 0; i < LF_FACESIZE && logfont.lfFaceName[i]; ++i) {
        const wchar_t c = logfont.lfFaceName[i];
        family += c < 0x80 ? static_cast<char>(c) : '?';
    }
    if (family.empty()) {
        family = "Tahoma";
    }
    const std::string file = resolve(family, logfont.lfWeight >= 550);
    if (file.empty()) {
        return nullptr;
    }
    const int requested = logfont.lfHeight == 0 ? 16 : logfont.lfHeight;
    auto key = std::make_pair(file, static_cast<int>(requested));
    if (auto it = fonts_.find(key); it != fonts_.end()) {
        return it->second.get();
    }
    FT_Face face = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), 0, &face) != 0) {
        log_line("cannot open font " + file);
        fonts_[key] = nullptr;
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    const int upem = face->units_per_EM ? face->units_per_EM : 2048;
    int win_ascent = face->ascender;
    int win_descent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
        win_ascent = os2->usWinAscent;
        win_descent = os2->usWinDescent;
    }
    std::unique_ptr<sized_font> font(new sized_font);
    font->face_ = face;
    font->file_ = file;
    // A positive height is the cell (ascent plus descent), a negative one the em.
    std::int64_t ppem64;
    const int cell = win_ascent + win_descent > 0 ? win_ascent + win_descent : upem;
    if (requested > 0) {
        ppem64 = static_cast<std::int64_t>(requested) * 64 * upem / cell;
        font->ascent_ = round_div(static_cast<std::int64_t>(requested) * win_ascent, cell);
        font->descent_ = requested - font->ascent_;
    } else {
        ppem64 = static_cast<std::int64_t>(-requested) * 64;
        font->ascent_ = round_div(static_cast<std::int64_t>(-requested) * win_ascent, upem);
        font->descent_ = round_div(static_cast<std::int64_t>(-requested) * win_descent, upem);
    }
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(ppem64 < 64 ? 64 : ppem64), 72, 72);
    const double scale = static_cast<double>(ppem64) / 64.0 / upem;
    font->underline_offset_ = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
    font->underline_thickness_ = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    sized_font* raw = font.get();
    fonts_[key] = std::move(font);
    return raw;
}

sized_font::~sized_font() {
    if (face_) {
        FT_Done_Face(static_cast<FT_Face>(face_));
    }
}

const glyph_image& sized_font::glyph(char32_t c) {
    if (auto it = glyphs_.find(c); it != glyphs_.end()) {
        return it->second;
    }
    glyph_image& g = glyphs_[c];
    if (c < 0x20 || c == 0x7F) {
        return g;
    }
    if (box_) {
        g.advance = std::max(1, height() / 2);
        if (c != U' ' && c != 0xA0) {
            g.width = std::max(1, g.advance - 1);
            g.rows = ascent_;
            g.top = ascent_;
            g.coverage.assign(static_cast<std::size_t>(g.width) * g.rows, 255);
        }
        return g;
    }
    auto face = static_cast<FT_Face>(face_);
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0 ||
        face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        return g;
    }
    // Embedded bitmap strikes are skipped above: they are one-bit, and the text is anti-aliased.
    const FT_GlyphSlot slot = face->glyph;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(slot->bitmap.width);
    g.rows = static_cast<int>(slot->bitmap.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.rows);
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char* src = slot->bitmap.buffer + static_cast<std::ptrdiff_t>(y) * slot->bitmap.pitch;
        std::copy(src, src + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
    }
    return g;
}

void set_box_font(bool on) {
    font_engine::instance().set_box(on);
}

bool box_font() {
    return font_engine::instance().box();
}

} // namespace platform
