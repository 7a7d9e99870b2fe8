#include "app/screen_texts.h"

namespace zel::app {

void screen_texts::drawn(const std::wstring& text, const RECT& rect, COLORREF, UINT) {
    std::lock_guard guard(lock_);
    if (keeping_) {
        texts_.push_back({text, rect});
    }
}

void screen_texts::begin() {
    std::lock_guard guard(lock_);
    texts_.clear();
    keeping_ = true;
}

std::vector<screen_texts::drawn_text> screen_texts::end() {
    std::lock_guard guard(lock_);
    keeping_ = false;
    std::vector<drawn_text> kept;
    kept.swap(texts_);
    return kept;
}

std::optional<RECT> screen_texts::find(const std::vector<drawn_text>& texts, const std::wstring& text) {
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
        if (it->text == text) {
            return it->rect;
        }
    }
    return std::nullopt;
}

} // namespace zel::app
