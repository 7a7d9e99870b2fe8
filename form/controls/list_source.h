// The row source of a list_view. The view keeps no rows: every paint and every tap asks the source again how
// many rows there are, how big each one is, and lets it draw and click them, so a change of the source's rows
// shows at the next paint. This is the interface the view calls; it holds no state. UI thread only.
#pragma once

#include "form/drawing/geometry.h"

namespace zel::form {

class Graphics;

class list_source {
public:
    virtual int row_count() const = 0;
    // A value of the row that the view hands back to its drawing.
    virtual int row_value(int row) const = 0;
    // Draws the row in its rectangle (clipped to the view by the caller); pressed_row is the view's pressed row
    // (-1 for none) and clickable the row's row_clickable answer.
    virtual void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) = 0;
    // Width and height of the row, already multiplied by the screen's scale.
    virtual size row_size(int row) const = 0;
    virtual void row_clicked(int row) = 0;
    virtual void pen_down_on_row(int, int) {}
    // The pen was lifted over the pressed row; row_clicked follows.
    virtual void pen_up_on_row(int, int) {}
    // 1: a pen lifted over the pressed row clicks it.
    virtual int row_clickable(int) const {
        return 1;
    }
    // A second per-row answer; the view never asks it.
    virtual int row_flag(int) const {
        return 1;
    }
    virtual ~list_source() = default;
};

} // namespace zel::form
