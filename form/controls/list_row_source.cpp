#include "form/controls/list_row_source.h"

#include "api/command/command.h"

namespace zel::form {

void list_row_source::draw_row_dispatch(Graphics& g, const rect& r, int value, int row, int pressed_row,
                                        int clickable) {
    draw_row(g, r, value, row, pressed_row, clickable);
}

void list_row_source::clear_map() {
    rows_.clear();
}

} // namespace zel::form
