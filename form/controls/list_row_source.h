// A list_view's row source with the records of its rows: the second base of the list panels (and of the row
// sources the screens keep beside their panels). It draws through draw_row_dispatch, answers 0 for every row
// value and keeps a map of the shown rows' records by a row key, which the panel fills when it builds its rows
// and empties with clear_map (after a rebuild, and in hide). UI thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "form/controls/list_source.h"

namespace zel_api::command {
class command;
}

namespace zel::form {

class Graphics;

class list_row_source : public list_source {
public:
    using row_records = std::map<std::int32_t, std::shared_ptr<const zel_api::command::command>>;

    list_row_source() = default;
    ~list_row_source() override = default;
    list_row_source(const list_row_source&) = delete;
    list_row_source& operator=(const list_row_source&) = delete;

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
