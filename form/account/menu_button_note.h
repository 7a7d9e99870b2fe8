// menu_button_note: a menu cell with a second line, the note, drawn in black over the cell's middle. UI
// thread only.
#pragma once

#include "form/account/menu_button.h"

namespace zel::form {

class menu_button_note : public menu_button {
public:
    menu_button_note(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                     std::shared_ptr<Image> disabled, std::wstring caption, std::wstring note);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores the note; the caller repaints.
    void set_note(const std::wstring& text) {
        note_ = text;
    }
    // Half a line above the cell, as high as the cell.
    rect note_rect() const;

private:
    std::wstring note_;
};

} // namespace zel::form
