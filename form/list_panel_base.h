// The row source of a list_view. The view keeps no rows: every paint and every tap asks the source again how
// many rows there are, how big each one is, and lets it draw and click them, so a change of the source's rows
// shows at the next paint. `list_source` is the interface the view calls; `list_panel_base` is the second base
// of the list panels (and of the row sources the screens keep beside their panels): it draws through
// draw_row_dispatch, answers 0 for every row value and keeps a map of the shown rows' records by a row key,
// which the panel fills when it builds its rows and empties with clear_map (after a rebuild, and in hide).
// UI thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "form/geometry.h"

namespace zel_api::command {
class command;
}

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

class list_panel_base : public list_source {
public:
    using row_records = std::map<std::int32_t, std::shared_ptr<const zel_api::command::command>>;

    list_panel_base() = default;
    ~list_panel_base() override = default;
    list_panel_base(const list_panel_base&) = delete;
    list_panel_base& operator=(const list_panel_base&) = delete;

    int row_value(int) const override {
        return 0;
    }
    // The view draws every row through this; it calls draw_row with the same arguments.
    virtual void draw_row_dispatch(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable);
    // The row's own flag (a list panel's "not yet drawn" mark).
    virtual int row_selected(int row) const = 0;
    virtual void clear_map();

protected:
    row_records& row_map() {
        return rows_;
    }
    const row_records& row_map() const {
        return rows_;
    }

private:
    row_records rows_;
};

} // namespace zel::form
