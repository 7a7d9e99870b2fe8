#include "form/account/panel_master_panel_2.h"

#include "form/drawing.h"

namespace zel::form {

void panel_master_panel_2::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

} // namespace zel::form
