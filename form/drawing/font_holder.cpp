#include "form/drawing/font_holder.h"

#include <cwchar>

#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

font_holder::font_holder(int height, int weight) : height_(height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = RUSSIAN_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    std::wcsncpy(font.lfFaceName, L"Tahoma", LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&font);
}

font_holder::~font_holder() {
    if (font_) {
        DeleteObject(font_);
    }
}

} // namespace zel::form
