#include "form/controls/text_label.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

text_label::text_label(manager_2* form, const rect& r, std::wstring text) : control(form, r), text_(std::move(text)) {}

void text_label::set_text(const std::wstring& text, int weight) {
    text_ = text;
    weight_ = weight;
    invalidate();
}

void text_label::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    font_holder font(scaled(font_size_, form_->get_scale()), weight_);
    g.draw_text(font, rect_, text_, flags_, TRANSPARENT, rgb::from_rrggbb(colour_));
}

} // namespace zel::form
