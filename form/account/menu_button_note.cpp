#include "form/account/menu_button_note.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

menu_button_note::menu_button_note(manager_2* form, const rect& r, std::function<void()> on_click,
                                   std::shared_ptr<Image> normal, std::shared_ptr<Image> disabled, std::wstring caption,
                                   std::wstring note)
    : menu_button(form, r, std::move(on_click), std::move(normal), std::move(disabled), std::move(caption)),
      note_(std::move(note)) {}

rect menu_button_note::note_rect() const {
    const int f = scaled(27, form_->get_scale());
    return {rect_.x, static_cast<int>(rect_.y - f / 2.0), rect_.w, rect_.h};
}

void menu_button_note::paint(Graphics& g, const rect& update, int dx, int dy) {
    menu_button::paint(g, update, dx, dy);
    if (!visible_) {
        return;
    }
    font_holder font(scaled(27, form_->get_scale()), 400);
    g.draw_text(font, note_rect(), note_, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS, TRANSPARENT,
                rgb{0, 0, 0});
}

} // namespace zel::form
