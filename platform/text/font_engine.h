// FreeType faces at pixel sizes, with their glyph caches, behind one lock.
//
// FreeType is not thread-safe and the load thread measures text while the UI thread draws, so every use of a
// sized_font (metrics, glyphs) happens while the caller holds font_engine::lock(). Fonts are cached by file and
// size for the life of the process; glyph bitmaps are cached per font.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text.h"

namespace platform {

struct glyph_image {
    int advance = 0; // whole pixels
    int left = 0;    // bitmap offset from the pen position
    int top = 0;     // bitmap top above the baseline
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage; // width x rows grey levels
};

class sized_font {
public:
    ~sized_font();

    int height() const {
        return ascent_ + descent_;
    }
    int ascent() const {
        return ascent_;
    }
    int underline_offset() const {
        return underline_offset_;
    }
    int underline_thickness() const {
        return underline_thickness_;
    }
    const std::string& file() const {
        return file_;
    }
    // The glyph of a character, rendered once; control characters have no ink and no advance.
    const glyph_image& glyph(char32_t c);

private:
    friend class font_engine;
    sized_font() = default;

    void* face_ = nullptr; // FT_Face, kept out of this header; null for the box font
    std::string file_;
    bool box_ = false;
    int ascent_ = 0;
    int descent_ = 0;
    int underline_offset_ = 1;
    int underline_thickness_ = 1;
    std::unordered_map<char32_t, glyph_image> glyphs_;
};

class font_engine {
public:
    static font_engine& instance();

    std::mutex& lock() {
        return mutex_;
    }
    // The font of a LOGFONTW, null when no face can be opened. Call with the lock held.
    sized_font* font_for(const LOGFONTW& font);
    bool box() const {
        return box_;
    }
    void set_box(bool on) {
        box_ = on;
    }
    // The file a family and weight resolve to. Call with the lock held.
    std::string resolve(const std::string& family, bool bold);

private:
    font_engine();

    sized_font* box_font_for(int requested);

    std::mutex mutex_;
    std::atomic<bool> box_{false};
    void* library_ = nullptr; // FT_Library
    std::map<std::pair<std::string, bool>, std::string> files_;
    std::map<std::pair<std::string, int>, std::unique_ptr<sized_font>> fonts_;
};

} // namespace platform
