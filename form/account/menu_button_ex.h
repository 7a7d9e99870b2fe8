// menu_button_ex: a menu cell with a badge picture on the lower right corner of its picture and a short
// badge text in it (a count), shown only when the picture, the badge and the text are all there. In a cell too
// low for the picture and the caption apart (the landscape menu) the badge rises so as to end a gap above the
// caption. UI thread only.
#pragma once

#include "form/account/menu_button.h"

namespace zel::form {

class menu_button_ex : public menu_button {
public:
    menu_button_ex(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                   std::shared_ptr<Image> disabled, std::wstring caption, std::shared_ptr<Image> badge);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores the caption and repaints.
    void set_caption(const std::wstring& text);
    // Stores the badge text; the caller repaints.
    void set_subcaption(const std::wstring& text);

    // Where the badge picture and its text go; empty rectangles while no badge is shown.
    rect badge_rect() const;
    rect badge_text_rect() const;
    // The badge text's font height: as tall as the badge's inside allows, smaller for a text too wide for it.
    int badge_text_height() const;

private:
    bool badge_shown() const;

    std::shared_ptr<Image> badge_;
    std::wstring badge_text_;
};

} // namespace zel::form
