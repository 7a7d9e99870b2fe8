// list_view: the scrolling list of the list screens. It keeps no rows of its own: its row source (a
// list_row_source, not owned; none until set) counts, measures, draws and clicks them, and is asked again at
// every paint and tap. Rows stack from the view's top, starting with the first visible row, each as wide and
// high as the source says; rows above the first visible one are not laid out. The view scrolls by whole rows
// and clips every row to itself. UI thread only.
//
// Pressed row (the pen rule of point_in_rect, on the row rectangles inside the view):
//   pressed  event                                    -> pressed  effect
//   any      down on row r                            -> r        source pen_down_on_row, repaint row r
//   any      down on no row                           -> -1       nothing
//   r        up on row r, r clickable                 -> -1       source pen_up_on_row, row_clicked(r), repaint r
//   r        up on another row, off the rows, or r    -> -1       repaint row r
//            not clickable
//   -1       up anywhere                              -> -1       nothing
//
// Scrolling: down by one row while the first visible row is not the last and the rows from it do not fit in
// the view, so the list stops once its remaining rows fit; up by one while above row 0. When the source lost
// rows (or the view got taller) past that stop, the first visible row comes back to the stop, so the view
// never shows blank space with rows hidden above it.
#pragma once

#include "form/controls/control.h"

namespace zel::form {

class list_row_source;

class list_view : public control {
public:
    // The row under a point and its rectangle; row -1 and an empty rectangle for none.
    struct row_hit {
        int row = -1;
        rect r;
    };

    list_view(manager_2* form, const rect& r) : control(form, r) {}

    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Both repaint the view when they moved.
    virtual void scroll_down();
    virtual void scroll_up();
    // These store only; no repaint.
    virtual void set_source(list_row_source* source) {
        source_ = source;
    }
    virtual void reset_first_row() {
        first_row_ = 0;
    }
    virtual int& first_row_ref() {
        return first_row_;
    }
    virtual void set_first_row(const int& row) {
        first_row_ = row;
    }

    row_hit row_at(int x, int y) const;
    // The heights of the rows from the first visible one to the last.
    int rows_height() const;
    // The first visible row as shown: the stored one, within 0 and the scroll stop.
    int first_row() const;
    int pressed_row() const {
        return pressed_;
    }
    list_row_source* source() const {
        return source_;
    }

private:
    int row_count() const;
    // The source's size of the row; a negative height counts as 0.
    size row_size(int row) const;
    // The first row from which the rows fit in the view (the last row when even it alone does not).
    int scroll_stop() const;

    list_row_source* source_ = nullptr;
    int first_row_ = 0;
    int pressed_ = -1;
    rect pressed_rect_;
};

} // namespace zel::form
