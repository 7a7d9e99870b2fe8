// The start screen of a landscape screen (panel 5): the server rows on the left, the two buttons stacked at the
// bottom of a column on the right ("Обновить" above "Создать профиль"), two separator lines between them, the
// arrows at the list's right corners. Behaviour and texts are the portrait screen's. UI thread only.
#pragma once

#include "form/account/panel_start2.h"

namespace zel::form {

class panel_start2_hor : public panel_start2 {
public:
    explicit panel_start2_hor(manager_2& form) : panel_start2(form) {}

    // The list area dark, the button column a shade of its own.
    void paint_background(Graphics& g, const rect& update) override;

    // The width of the list area; the button column takes the rest.
    int list_width() const;

protected:
    layout lay_out(int arrow_w, int arrow_h) const override;
};

} // namespace zel::form
