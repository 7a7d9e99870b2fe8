// color_box: the dark inset (19, 22, 27) behind value fields, filled as fill_rect does. UI thread only.
#pragma once

#include "form/controls/control.h"

namespace zel::form {

class color_box : public control {
public:
    color_box(manager_2* form, const rect& r) : control(form, r) {}

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
};

} // namespace zel::form
