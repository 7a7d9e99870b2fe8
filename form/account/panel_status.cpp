#include "form/account/panel_status.h"

#include "form/drawing.h"

namespace zel::form {

void panel_status::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

} // namespace zel::form
