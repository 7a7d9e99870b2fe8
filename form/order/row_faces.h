// row_faces: the two faces of a list's rows (normal and pressed), each drawn once on a surface of its own at the
// row's size and copied into every row of its kind afterwards. Drawing them there rather than copying them back
// from the screen keeps a row cut at the list's bottom from spoiling them. A face of another size is drawn
// again. UI thread only.
#pragma once

#include <functional>
#include <memory>

#include "form/drawing/geometry.h"

namespace zel::form {

class Graphics;

class row_faces {
public:
    // Draws the face of the given size at (0, 0) of the surface.
    using painter = std::function<void(Graphics& face, int width, int height, bool pressed)>;

    row_faces();
    ~row_faces();

    // Copies the face of the kind into r, drawing it first when none of r's size is kept.
    void blit(Graphics& g, const rect& r, bool pressed, const painter& draw);

private:
    std::unique_ptr<Graphics> normal_;
    std::unique_ptr<Graphics> pressed_;
};

} // namespace zel::form
