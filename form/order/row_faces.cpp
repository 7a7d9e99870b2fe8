#include "form/order/row_faces.h"

#include "form/drawing/graphics.h"

namespace zel::form {

row_faces::row_faces() = default;

row_faces::~row_faces() = default;

void row_faces::blit(Graphics& g, const rect& r, bool pressed, const painter& draw) {
    std::unique_ptr<Graphics>& face = pressed ? pressed_ : normal_;
    if (!face || face->width() != r.w || face->height() != r.h) {
        face = std::make_unique<Graphics>(r.w, r.h, g.dc());
        draw(*face, r.w, r.h, pressed);
    }
    face->blit_to(g, r, 0, 0);
}

} // namespace zel::form
