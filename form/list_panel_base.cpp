#include "form/list_panel_base.h"

#include "api/command/command.h"

namespace zel::form {

void list_panel_base::draw_row_dispatch(Graphics& g, const rect& r, int value, int row, int pressed_row,
                                        int clickable) {
    draw_row(g, r, value, row, pressed_row, clickable);
}

void list_panel_base::clear_map() {
    rows_.clear();
}

} // namespace zel::form
