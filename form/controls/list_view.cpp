#include "form/controls/list_view.h"

#include <algorithm>

#include "form/controls/list_row_source.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"

namespace zel::form {

int list_view::row_count() const {
    return source_ ? std::max(0, source_->row_count()) : 0;
}

size list_view::row_size(int row) const {
    size s = source_->row_size(row);
    s.height = std::max(0, s.height);
    return s;
}

int list_view::scroll_stop() const {
    const int count = row_count();
    int rest = 0;
    for (int row = count - 1; row >= 0; --row) {
        rest += row_size(row).height;
        if (rest > rect_.h) {
            return std::min(row + 1, count - 1);
        }
    }
    return 0;
}

int list_view::first_row() const {
    return std::clamp(first_row_, 0, scroll_stop());
}

int list_view::rows_height() const {
    const int count = row_count();
    int height = 0;
    for (int row = first_row(); row < count; ++row) {
        height += row_size(row).height;
    }
    return height;
}

list_view::row_hit list_view::row_at(int x, int y) const {
    if (!point_in_rect(rect_, x, y)) {
        return {};
    }
    const int count = row_count();
    const int bottom = rect_.y + rect_.h;
    int top = rect_.y;
    // A row that starts at the view's bottom or below cannot hold a point inside the view.
    for (int row = first_row(); row < count && top < bottom; ++row) {
        const size s = row_size(row);
        const rect r{rect_.x, top, s.width, s.height};
        if (point_in_rect(r, x, y)) {
            return {row, r};
        }
        top += s.height;
    }
    return {};
}

void list_view::on_pen_down(int x, int y) {
    const row_hit hit = row_at(x, y);
    pressed_ = hit.row;
    if (pressed_ < 0) {
        return;
    }
    source_->pen_down_on_row(x, y);
    pressed_rect_ = hit.r;
    if (form_) {
        form_->invalidate_rect(intersection(pressed_rect_, rect_));
    }
}

void list_view::on_pen_up(int x, int y) {
    if (pressed_ < 0) {
        return;
    }
    const int pressed = pressed_;
    if (source_ && row_at(x, y).row == pressed && source_->row_clickable(pressed) == 1) {
        source_->pen_up_on_row(x, y);
        source_->row_clicked(pressed);
    }
    if (form_) {
        form_->invalidate_rect(intersection(pressed_rect_, rect_));
    }
    pressed_ = -1;
}

void list_view::scroll_up() {
    first_row_ = first_row();
    if (first_row_ > 0) {
        --first_row_;
        invalidate();
    }
}

void list_view::scroll_down() {
    first_row_ = first_row();
    if (first_row_ < row_count() - 1 && rows_height() > rect_.h) {
        ++first_row_;
        invalidate();
    }
}

void list_view::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_ || !source_) {
        return;
    }
    first_row_ = first_row();
    const rect view{rect_.x + dx, rect_.y + dy, rect_.w, rect_.h};
    const int bottom = view.y + view.h;
    const int count = row_count();
    int top = view.y;
    // A row that starts at the bottom edge has nothing to show; drawing it would still tell its source that it
    // was seen.
    for (int row = first_row_; row < count && top < bottom; ++row) {
        const size s = row_size(row);
        const rect r{view.x, top, s.width, s.height};
        if (rect_overlaps(r, update)) {
            const int value = source_->row_value(row);
            const int clickable = source_->row_clickable(row);
            Graphics::saved_state keep(g);
            g.clip_to(intersection(r, view));
            source_->draw_row_dispatch(g, r, value, row, pressed_, clickable);
        }
        top += s.height;
    }
}

} // namespace zel::form
